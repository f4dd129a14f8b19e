// The progress arithmetic as a table: run on Linux and, since the Windows
// build computes in x87 extended precision, under Wine too.
#pragma once

#include <cstdint>
#include <ostream>

namespace {

struct ProgressCase {
    const char* name;
    std::int32_t done;
    double totalSize;
    std::int32_t position;
};
inline std::ostream& operator<<(std::ostream& os, const ProgressCase& c) { return os << c.name; }

constexpr ProgressCase kProgressCases[] = {
    {"size unknown nothing done", 0, 0.0, 0},     // NaN
    {"size unknown data done", 5000, 0.0, 0},     // infinity
    {"a third", 1, 3.0, 33},
    {"one half rounds up", 1, 200.0, 1},
    {"ninety nine and a half", 199, 200.0, 100},
    {"just short of a half by less than 1e-12", 1, 200.0000000000004, 1},
    {"short of a half by more than 1e-12", 1, 200.000001, 0},
    {"all", 123456, 123456.0, 100},
    {"more than all", 220, 200.0, 110},  // the bar shows 100
    {"far beyond the 32-bit range", 2147483647, 1.0, -100},
    {"nothing of a known size", 0, 1000.0, 0},
};

struct SpeedCase {
    const char* name;
    std::int32_t speed;
    const char* number;
};
inline std::ostream& operator<<(std::ostream& os, const SpeedCase& c) { return os << c.name; }

constexpr SpeedCase kSpeedCases[] = {
    {"nothing", 0, "0"},
    {"under a kilobyte", 1023, "0"},
    {"one kilobyte", 1024, "1"},
    {"a megabyte", 1048576, "1024"},
    {"the largest count", 2147483647, "2097151"},
};

}  // namespace
