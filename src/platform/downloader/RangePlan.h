// How a file is divided among the connections of a task, and who holds which
// part. A plain object: the task guards it with its own lock.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

class RangePlan {
public:
    static constexpr std::int64_t kSingleRangeBelow = 20480;

    struct Range {
        std::int64_t start = 0, current = 0, end = 0;
        int holder = -1;  // connection, or -1
        bool Done() const { return current >= end; }
    };

    // `parts` ranges of nearly equal size (one for a file under 20480 bytes or
    // for `parts` below 1); range i is held by connection i.
    void Divide(std::int64_t size, int parts);

    // The first range that nobody holds and that is not complete, now held by
    // `connection`; nullopt when there is none.
    std::optional<int> Take(int connection);

    // The range that begins where `range` ends, when nobody holds it and it is
    // not complete: a connection whose stream runs on can carry on into it.
    std::optional<int> TakeFollowing(int connection, int range);

    void Release(int range);
    void Advance(int range, std::int64_t bytes) { ranges_[range].current += bytes; }

    bool AllDone() const;
    // Whether a connection still works on an incomplete range.
    bool AnyHeldIncomplete() const;
    std::int64_t Size() const { return size_; }
    const Range& operator[](int i) const { return ranges_[i]; }
    int Count() const { return static_cast<int>(ranges_.size()); }

private:
    std::vector<Range> ranges_;
    std::int64_t size_ = 0;
};
