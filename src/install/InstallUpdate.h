#pragma once

// Run on the task thread when the download has finished: installs a complete
// package, starts the companion program and ends the process.
[[noreturn]] void InstallUpdate(bool packageComplete);
