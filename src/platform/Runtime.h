// Process-wide services: start-up, the run directory, the user-interface
// thread, the hand-off to it, and the ways the process ends.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

extern const char kPathSeparator;  // '\\' on Windows, '/' on Linux

// Platform start-up: allocation failures become fatal, OLE for this thread,
// RunDirectory computed and made the current directory, this thread recorded
// as the user-interface thread, the hand-off created.
void Start();

// Round to nearest, extended precision for intermediates, every exception masked.
void ResetFloatingPoint();

// The executable's directory without a trailing separator; computed by Start.
const std::string& RunDirectory();

bool IsUiThread();

// Runs `task(arg)` on the user-interface thread and waits for it. Used only to
// end the program, so the wait normally never returns; it returns when the
// hand-off is gone (the user-interface thread is shutting down).
void RunOnUiThread(void (*task)(std::int32_t), std::int32_t arg);

// Marks that the end has begun: from now on no window event runs.
void MarkEnding();
bool Ending();

// The program ends: the services are told, looked-up libraries freed, the
// hand-off destroyed, OLE released, the terminal restored.
void ReleaseServices();

[[noreturn]] void ExitNow(std::int32_t exitCode);

// An error box, then exit code -1 without the exit routine.
[[noreturn]] void FatalError();

// Names the calling thread for debuggers.
void NameThread(const char* name);

// Starts `path` without arguments and without waiting for it to end; waits at
// most 1000 ms for it to be ready for input. Failures are ignored.
void StartProgram(const std::string& path);

}  // namespace platform
