#pragma once

#include <cstdint>
#include <string>

// The bar's position for `done` bytes of `totalSize`: the percentage rounded
// half up (with 1e-12 of slack), 0 while the size is unknown (NaN or
// infinity), as a 32-bit value that the bar later limits to its range.
std::int32_t ProgressPosition(std::int32_t done, double totalSize);

// The caption for `speed` bytes received in the last second: whole kilobytes.
std::string SpeedCaption(std::int32_t speed);
