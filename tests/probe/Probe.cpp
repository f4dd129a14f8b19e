// Reads the real windows of the other processes on the desktop, visible or not,
// and prints one line per window (and one per child control), so that a test
// can check texts, styles, owners and rectangles. Texts are printed as hex of
// their bytes in the ANSI code page.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

std::string Hex(const char* text) {
    std::string out;
    char digits[3];
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        std::snprintf(digits, sizeof digits, "%02x", *p);
        out += digits;
    }
    return out;
}

void PrintWindow(HWND w, const char* kind) {
    char cls[256] = "", title[4096] = "";
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, title, sizeof title);
    RECT r{};
    GetWindowRect(w, &r);
    HWND owner = GetWindow(w, GW_OWNER);
    std::printf("%s hwnd=%lx class=%s title=%s visible=%d style=%lx exstyle=%lx owner=%lx ownerexstyle=%lx "
                "id=%ld rect=%ld,%ld,%ld,%ld",
                kind, static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(w)), cls, Hex(title).c_str(),
                IsWindowVisible(w) ? 1 : 0, static_cast<unsigned long>(GetWindowLongA(w, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongA(w, GWL_EXSTYLE)),
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(owner)),
                owner ? static_cast<unsigned long>(GetWindowLongA(owner, GWL_EXSTYLE)) : 0UL,
                static_cast<long>(GetDlgCtrlID(w)), r.left, r.top, r.right, r.bottom);
    if (std::string(cls) == PROGRESS_CLASSA) {
        // Values, not pointers: a pointer into this process means nothing there.
        std::printf(" range=%ld,%ld pos=%ld", static_cast<long>(SendMessageA(w, PBM_GETRANGE, TRUE, 0)),
                    static_cast<long>(SendMessageA(w, PBM_GETRANGE, FALSE, 0)),
                    static_cast<long>(SendMessageA(w, PBM_GETPOS, 0, 0)));
    }
    if (std::string(cls) == "Static" && (GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        std::printf(" icon=%lx", static_cast<unsigned long>(SendMessageA(w, STM_GETICON, 0, 0)));
    if (kind[0] == 'w') {
        RECT c{};
        GetClientRect(w, &c);
        POINT origin{0, 0};
        ClientToScreen(w, &origin);
        std::printf(" client=%ld,%ld,%ld,%ld", origin.x, origin.y, c.right, c.bottom);
    }
    std::printf("\n");
}

BOOL CALLBACK OnChild(HWND w, LPARAM) {
    PrintWindow(w, "child");
    return TRUE;
}

BOOL CALLBACK OnTop(HWND w, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId()) return TRUE;
    char cls[256] = "";
    GetClassNameA(w, cls, sizeof cls);
    // The desktop's own helper windows are not the program's.
    if (std::string(cls).rfind("__wine", 0) == 0 || std::string(cls) == "IME") return TRUE;
    std::printf("pid=%lu ", static_cast<unsigned long>(pid));
    PrintWindow(w, "window");
    EnumChildWindows(w, OnChild, 0);
    return TRUE;
}

}  // namespace

int main() {
    std::printf("screen=%d,%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EnumWindows(OnTop, 0);
    return 0;
}
