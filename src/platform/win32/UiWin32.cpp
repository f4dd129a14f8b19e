#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "platform/Runtime.h"
#include "platform/Ui.h"
#include "platform/win32/Win32Internal.h"

struct ui::Window {
    WindowTemplate tpl;
    HWND handle = nullptr;
    HWND bar = nullptr;
    bool held = true;   // events are held back while the window is being built
    bool alive = true;
};

namespace {

constexpr const char* kWindowClass = "VelmoraUpdaterWindow";
constexpr UINT_PTR kTimerId = 1;
int liveWindows = 0;

LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* w = reinterpret_cast<ui::Window*>(GetWindowLongPtrA(handle, GWLP_USERDATA));
    switch (message) {
    case WM_GETMINMAXINFO:
        // The system's smallest tracking size is wider than StartWindow's 106
        // pixels; the template's size stands.
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{0, 0};
        return 0;
    case WM_TIMER:
        // A tick is a queued message: it runs only inside a message loop.
        if (w && !w->held && !platform::Ending() && w->tpl.onTimer) w->tpl.onTimer(w);
        return 0;
    case WM_DESTROY:
        if (w && w->alive) {
            w->alive = false;
            KillTimer(handle, kTimerId);
            if (w->tpl.onDestroy && !platform::Ending()) w->tpl.onDestroy(w);
            if (--liveWindows == 0) PostQuitMessage(0);
        }
        return 0;
    default:
        return DefWindowProcA(handle, message, wParam, lParam);
    }
}

void RegisterWindowClass() {
    static bool registered = false;
    if (registered) return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    registered = RegisterClassA(&wc) != 0;
}

// A fixed frame that cannot be resized; a close box comes with the system menu.
DWORD StyleOf(const ui::WindowTemplate& tpl) {
    return WS_OVERLAPPED | WS_CAPTION | (tpl.closeBox ? WS_SYSMENU : 0);
}

void CreateControls(ui::Window& w) {
    for (const auto& c : w.tpl.controls) {
        // Shown inside the still hidden window; segmented (not smooth) bar.
        w.bar = CreateWindowExA(WS_EX_STATICEDGE, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, c.left, c.top, c.width,
                                c.height, w.handle, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!w.bar) platform::FatalError();
        SendMessageA(w.bar, PBM_SETRANGE32, c.rangeMin, c.rangeMax);
        SendMessageA(w.bar, PBM_SETPOS, 0, 0);
    }
}

bool IsEscapeFor(const MSG& msg, HWND window) {
    return msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && (msg.hwnd == window || IsChild(window, msg.hwnd));
}

// The nested loop of a modal window. No dialog manager runs here, so the loop
// itself catches Esc for the window and its children.
void RunModalLoop(ui::Window& w) {
    MSG msg;
    while (w.alive) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit to the main loop
            return;
        }
        if (got < 0) return;
        if (w.tpl.onEscape && IsEscapeFor(msg, w.handle)) {
            if (!platform::Ending() && w.tpl.onEscape(&w)) DestroyWindow(w.handle);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

namespace ui {

Answer ShowMessageBox(const std::string& text, const std::string& title, Buttons buttons) {
    const UINT style = buttons == Buttons::OkCancel ? MB_OKCANCEL : MB_OK | MB_ICONEXCLAMATION;
    const int answer = MessageBoxA(nullptr, text.c_str(), title.c_str(), style | MB_TASKMODAL);
    // A box that could not be shown (0) is no consent.
    return answer == 0 || answer == IDCANCEL ? Answer::Cancel : Answer::Ok;
}

Window* LoadWindow(const WindowTemplate& tpl, bool modal) {
    RegisterWindowClass();
    auto* w = new Window{tpl};  // lives to the end of the process, like the window template
    const int left = (GetSystemMetrics(SM_CXSCREEN) - tpl.width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - tpl.height) / 2;
    HWND owner = tpl.ownedByHandoff ? win32::HandoffWindow() : nullptr;
    w->handle = CreateWindowExA(0, kWindowClass, tpl.caption.c_str(), StyleOf(tpl), left, top, tpl.width, tpl.height,
                                owner, nullptr, GetModuleHandleA(nullptr), w);
    if (!w->handle) platform::FatalError();
    ++liveWindows;
    CreateControls(*w);
    if (tpl.timerMs) SetTimer(w->handle, kTimerId, tpl.timerMs, nullptr);
    w->held = false;
    if (tpl.onCreate && !platform::Ending()) tpl.onCreate(w);
    if (!w->alive || !IsWindow(w->handle)) return nullptr;
    if (tpl.visible) ShowWindow(w->handle, SW_SHOWNORMAL);
    if (!modal) return w;
    RunModalLoop(*w);
    return nullptr;
}

void RunMainLoop() {
    if (liveWindows == 0) return;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::intptr_t NativeHandle(Window* window) {
    return window && window->alive ? reinterpret_cast<std::intptr_t>(window->handle) : 0;
}

void SetCaption(Window* window, const std::string& caption) { SetWindowTextA(window->handle, caption.c_str()); }

void SetProgress(Window* window, int position) {
    if (window->bar) SendMessageA(window->bar, PBM_SETPOS, std::clamp(position, 0, 32767), 0);
}

}  // namespace ui
