#include <windows.h>
#include <ole2.h>

#include <float.h>

#include <atomic>
#include <new>

#include "app/Texts.h"
#include "platform/Http.h"
#include "platform/Runtime.h"
#include "platform/Text.h"
#include "platform/win32/NamedFunctions.h"
#include "platform/win32/Win32Internal.h"

namespace platform {

const char kPathSeparator = '\\';

namespace {

constexpr UINT kRunTaskMessage = WM_APP + 1;
constexpr const char* kHandoffClass = "VelmoraUpdaterHandoff";

std::string runDirectory;
DWORD uiThread = 0;
std::atomic<bool> ending{false};
std::atomic<HWND> handoff{nullptr};

void OnAllocationFailure() { FatalError(); }

LRESULT CALLBACK HandoffProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunTaskMessage) {
        reinterpret_cast<void (*)(std::int32_t)>(wParam)(static_cast<std::int32_t>(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void CreateHandoff() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HandoffProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kHandoffClass;
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kHandoffClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    if (!window) FatalError();
    handoff.store(window);
}

}  // namespace

void Start() {
    std::set_new_handler(OnAllocationFailure);
    OleInitialize(nullptr);
    char path[260];  // MAX_PATH, as the system fills it
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string exe(path, n < sizeof path ? n : 0);
    const std::size_t separator = text::FindLastChar(exe, '\\');
    runDirectory = separator == std::string::npos ? std::string() : exe.substr(0, separator);
    // "C:" alone names the current folder of drive C, not its root.
    const bool driveOnly = runDirectory.size() == 2 && runDirectory[1] == ':';
    SetCurrentDirectoryA(driveOnly ? (runDirectory + "\\").c_str() : runDirectory.c_str());
    uiThread = GetCurrentThreadId();
    CreateHandoff();
}

void ResetFloatingPoint() {
    // The x87 unit computes the program's doubles: round to nearest, 64-bit
    // mantissa for intermediates, every exception masked (1/0 gives infinity).
    _fpreset();
    _control87(_RC_NEAR | _PC_64 | _MCW_EM, _MCW_RC | _MCW_PC | _MCW_EM);
}

const std::string& RunDirectory() { return runDirectory; }

bool IsUiThread() { return GetCurrentThreadId() == uiThread; }

void RunOnUiThread(void (*task)(std::int32_t), std::int32_t arg) {
    HWND window = handoff.load();
    // SendMessage returns at once when the window is gone, and never when the
    // task ends the process on the user-interface thread.
    if (window) SendMessageA(window, kRunTaskMessage, reinterpret_cast<WPARAM>(task), static_cast<LPARAM>(arg));
}

void MarkEnding() { ending.store(true); }
bool Ending() { return ending.load(); }

void ReleaseServices() {
    HttpShutdown();
    win32::FreeLookedUpLibraries();
    if (HWND window = handoff.exchange(nullptr)) DestroyWindow(window);
    OleUninitialize();
}

void ExitNow(std::int32_t exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

void FatalError() {
    MessageBoxA(nullptr, texts::kFatalText, texts::kFatalTitle, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(static_cast<UINT>(-1));
}

void NameThread(const char*) {
    // SetThreadDescription needs Windows 10; older systems and Wine builds
    // without it are served by the debugger's own thread list.
}

void StartProgram(const std::string& path) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    // The full path as the application name and a quoted command line: with
    // "C:\Program Files\..." an unquoted line could start "C:\Program.exe".
    std::string commandLine = "\"" + path + "\"";
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return;
    WaitForInputIdle(process.hProcess, 1000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace platform

HWND win32::HandoffWindow() { return platform::handoff.load(); }
