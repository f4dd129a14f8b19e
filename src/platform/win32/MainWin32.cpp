#include <windows.h>

#include "app/ProgramEntry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return ProgramEntry(); }
