// System functions called by name, looked up at their first use. One that
// cannot be found ends the process with exit code -1.
#pragma once

#include <windows.h>

namespace win32 {

int SHCreateDirectoryExA_(HWND owner, const char* path, const SECURITY_ATTRIBUTES* security);
BOOL CopyFileA_(const char* from, const char* to, BOOL failIfExists);
DWORD GetFileAttributesA_(const char* path);
BOOL MessageBeep_(UINT type);

// At the end of the program: the libraries loaded for them are freed.
void FreeLookedUpLibraries();

}  // namespace win32
