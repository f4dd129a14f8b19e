// The cap on the combined receive rate of a task's connections: a token
// bucket refilled at `bytesPerSecond`, holding at most one second's worth.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>

class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;

    explicit RateLimiter(std::int32_t bytesPerSecond, Clock::time_point now = Clock::now())
        : rate_(bytesPerSecond), tokens_(0), last_(now) {}

    bool Limited() const { return rate_ > 0; }

    // How many of `want` bytes may be received now (0: none yet).
    std::size_t Take(std::size_t want, Clock::time_point now);

    // How long until at least one byte may be received.
    std::chrono::milliseconds WaitHint(Clock::time_point now);

private:
    void Refill(Clock::time_point now);

    std::mutex mutex_;
    const std::int64_t rate_;
    double tokens_;
    Clock::time_point last_;
};
