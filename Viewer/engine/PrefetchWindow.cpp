#include "Viewer/engine/PrefetchWindow.h"
#include <algorithm>

namespace {
// One step of a cursor, when its quota allows: false once the step would reach a position the
// window already holds (the window has met itself).
bool Step(size_t& cursor, int direction, size_t count, uint64_t& quota, std::vector<size_t>& order,
          std::vector<bool>& taken)
{
    if (quota == 0) return true;
    --quota;
    cursor = direction > 0 ? (cursor == count ? 1 : cursor + 1) : (cursor == 1 ? count : cursor - 1);
    if (taken[cursor]) return false;
    taken[cursor] = true;
    order.push_back(cursor);
    return true;
}
}  // namespace

std::vector<size_t> PrefetchOrder(size_t current, size_t count, CacheQuotas quotas, bool wrapAround)
{
    std::vector<size_t> order;
    if (count == 0 || current < 1 || current > count) return order;
    if (!wrapAround) {
        const uint64_t behind = std::min<uint64_t>(quotas.behind, current - 1);
        quotas.ahead += quotas.behind - behind;
        quotas.behind = behind;
        quotas.ahead = std::min<uint64_t>(quotas.ahead, count - current);
    }
    std::vector<bool> taken(count + 1, false);
    taken[current] = true;
    order.push_back(current);
    size_t forward = current, backward = current;
    while (quotas.ahead + quotas.behind != 0) {
        if (!Step(forward, +1, count, quotas.ahead, order, taken) ||
            !Step(forward, +1, count, quotas.ahead, order, taken) ||
            !Step(backward, -1, count, quotas.behind, order, taken))
            break;
    }
    return order;
}
