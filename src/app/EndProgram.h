#pragma once

#include <cstdint>

// The exit routine slot, filled by the entry with ExitCleanup.
void SetExitRoutine(void (*routine)());

// Runs the shutdown and ends the process with `exitCode`. Callable on any
// thread; never returns. Another thread hands the end to the user-interface
// thread, which runs the exit routine once and ends the process.
[[noreturn]] void EndProgram(std::int32_t exitCode);
