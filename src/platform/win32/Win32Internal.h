#pragma once

#include <windows.h>

namespace win32 {

// The hidden top-level tool window through which other threads hand work to
// the user-interface thread; it also owns UpdateWindow. Null once destroyed.
HWND HandoffWindow();

}  // namespace win32
