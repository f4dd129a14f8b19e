#pragma once

// The creation event of StartWindow: reads the settings and the manifest,
// compares the versions, asks, and ends the process on every path.
[[noreturn]] void RunUpdateCheck();
