#pragma once

#include "app/UpdateState.h"

// The program entry: start-up, InitState, the exit routine, StartWindow, whose
// creation event runs the update check and ends the process. Tests pass an
// exit routine that wraps ExitCleanup.
int ProgramEntry(void (*exitRoutine)() = ExitCleanup);
