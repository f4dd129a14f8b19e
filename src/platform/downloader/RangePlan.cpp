#include "platform/downloader/RangePlan.h"

void RangePlan::Divide(std::int64_t size, int parts) {
    size_ = size;
    if (size < kSingleRangeBelow || parts < 1) parts = 1;
    ranges_.assign(static_cast<std::size_t>(parts), Range{});
    const std::int64_t step = size / parts;
    for (int i = 0; i < parts; ++i) {
        Range& r = ranges_[i];
        r.start = r.current = step * i;
        r.end = i + 1 == parts ? size : step * (i + 1);
        r.holder = i;
    }
}

std::optional<int> RangePlan::Take(int connection) {
    for (int i = 0; i < Count(); ++i) {
        Range& r = ranges_[i];
        if (r.holder < 0 && !r.Done()) {
            r.holder = connection;
            return i;
        }
    }
    return std::nullopt;
}

std::optional<int> RangePlan::TakeFollowing(int connection, int range) {
    const int next = range + 1;
    if (next >= Count() || ranges_[next].holder >= 0 || ranges_[next].Done()) return std::nullopt;
    ranges_[next].holder = connection;
    return next;
}

void RangePlan::Release(int range) { ranges_[range].holder = -1; }

bool RangePlan::AllDone() const {
    for (const Range& r : ranges_)
        if (!r.Done()) return false;
    return !ranges_.empty();
}

bool RangePlan::AnyHeldIncomplete() const {
    for (const Range& r : ranges_)
        if (r.holder >= 0 && !r.Done()) return true;
    return false;
}
