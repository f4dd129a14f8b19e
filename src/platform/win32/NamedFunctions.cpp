#include "platform/win32/NamedFunctions.h"

#include <mutex>

#include "platform/Runtime.h"

namespace win32 {
namespace {

std::mutex mutex;  // the installation looks them up on the task thread
HMODULE libraries[4] = {};

template <class Function>
Function LookUp(int slot, const char* library, const char* name) {
    std::lock_guard<std::mutex> lock(mutex);
    if (!libraries[slot]) libraries[slot] = LoadLibraryA(library);
    FARPROC f = libraries[slot] ? GetProcAddress(libraries[slot], name) : nullptr;
    if (!f) platform::FatalError();
    return reinterpret_cast<Function>(f);
}

}  // namespace

int SHCreateDirectoryExA_(HWND owner, const char* path, const SECURITY_ATTRIBUTES* security) {
    using F = int(WINAPI*)(HWND, const char*, const SECURITY_ATTRIBUTES*);
    static const F f = LookUp<F>(0, "shell32.dll", "SHCreateDirectoryExA");
    return f(owner, path, security);
}

BOOL CopyFileA_(const char* from, const char* to, BOOL failIfExists) {
    using F = BOOL(WINAPI*)(const char*, const char*, BOOL);
    static const F f = LookUp<F>(1, "kernel32.dll", "CopyFileA");
    return f(from, to, failIfExists);
}

DWORD GetFileAttributesA_(const char* path) {
    using F = DWORD(WINAPI*)(const char*);
    static const F f = LookUp<F>(2, "kernel32", "GetFileAttributesA");  // the system adds ".dll"
    return f(path);
}

BOOL MessageBeep_(UINT type) {
    using F = BOOL(WINAPI*)(UINT);
    static const F f = LookUp<F>(3, "user32.dll", "MessageBeep");
    return f(type);
}

void FreeLookedUpLibraries() {
    std::lock_guard<std::mutex> lock(mutex);
    for (HMODULE& library : libraries) {
        if (library) FreeLibrary(library);
        library = nullptr;
    }
}

}  // namespace win32
