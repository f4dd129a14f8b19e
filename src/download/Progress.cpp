#include "download/Progress.h"

#include <cmath>
#include <cstdio>

#include "app/Texts.h"

namespace {

double RoundHalfUp(double q) {
    if (q == 0.0 || std::isnan(q)) return q;
    double whole = 0.0;
    const double fraction = std::modf(std::fabs(q) + 0.000000000001, &whole);
    const double magnitude = fraction < 0.5 ? whole : whole + 1.0;
    return std::copysign(magnitude, q);
}

std::int32_t LowBits(double value) {
    // NaN, infinities and values outside the signed 64-bit range give 0.
    if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(value))));
}

}  // namespace

std::int32_t ProgressPosition(std::int32_t done, double totalSize) {
    const double q = static_cast<double>(done) / totalSize * 100.0;
    return LowBits(RoundHalfUp(q));
}

std::string SpeedCaption(std::int32_t speed) {
    const double kilobytes = std::trunc(static_cast<double>(speed) / 1024.0);
    char number[64];
    std::snprintf(number, sizeof number, "%.13g", kilobytes);
    return std::string(texts::kSpeedBefore) + number + texts::kSpeedAfter;
}
