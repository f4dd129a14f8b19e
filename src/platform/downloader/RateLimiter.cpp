#include "platform/downloader/RateLimiter.h"

#include <algorithm>
#include <cmath>

void RateLimiter::Refill(Clock::time_point now) {
    if (now <= last_) return;
    const double seconds = std::chrono::duration<double>(now - last_).count();
    tokens_ = std::min<double>(static_cast<double>(rate_), tokens_ + seconds * static_cast<double>(rate_));
    last_ = now;
}

std::size_t RateLimiter::Take(std::size_t want, Clock::time_point now) {
    if (rate_ <= 0) return want;
    std::lock_guard<std::mutex> lock(mutex_);
    Refill(now);
    const auto granted = static_cast<std::size_t>(std::min<double>(static_cast<double>(want), std::floor(tokens_)));
    tokens_ -= static_cast<double>(granted);
    return granted;
}

std::chrono::milliseconds RateLimiter::WaitHint(Clock::time_point now) {
    if (rate_ <= 0) return std::chrono::milliseconds(0);
    std::lock_guard<std::mutex> lock(mutex_);
    Refill(now);
    if (tokens_ >= 1.0) return std::chrono::milliseconds(0);
    const double seconds = (1.0 - tokens_) / static_cast<double>(rate_);
    return std::chrono::milliseconds(static_cast<long long>(std::ceil(seconds * 1000.0)));
}
