#pragma once
// Which pictures around the current one are kept decoded, and in what order they are asked for:
// the current one, then cycles of two steps ahead and one behind, so that stepping forward (what a
// photographer mostly does) finds its pictures ready first.
#include <cstddef>
#include <cstdint>
#include <vector>

struct CacheQuotas {
    uint64_t ahead = 0;
    uint64_t behind = 0;

    bool operator==(const CacheQuotas&) const = default;
};

// The 1-based positions of the window around current (1..count), in the order they are to be
// queued, the current position first. Without wrap-around the quotas are first clamped to the
// list: behind to the entries before current, what behind gave up moves to ahead, and ahead to the
// entries after current. With it the cursors pass from one end of the list to the other. The
// window ends when both quotas are used up or at the first position it already holds. Empty when
// count is 0 or current is outside 1..count.
std::vector<size_t> PrefetchOrder(size_t current, size_t count, CacheQuotas quotas, bool wrapAround);
