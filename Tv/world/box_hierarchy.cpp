#include "Tv/world/box_hierarchy.h"

#include <algorithm>
#include <cassert>

#include "Tv/world/vector_axes.h"
#include "core/numeric.h"

namespace {

// Splits below this depth halve the run, so no walk goes deeper than kMaxDepth.
constexpr int kBalancedBelow = 32;

void Widen(BoxItem& box, const BoxItem& other) {
    box.lo = Vector3(std::min(box.lo.x, other.lo.x), std::min(box.lo.y, other.lo.y), std::min(box.lo.z, other.lo.z));
    box.hi = Vector3(std::max(box.hi.x, other.hi.x), std::max(box.hi.y, other.hi.y), std::max(box.hi.z, other.hi.z));
}

double HalfArea(const BoxItem& box) {
    const double x = double(box.hi.x) - box.lo.x, y = double(box.hi.y) - box.lo.y, z = double(box.hi.z) - box.lo.z;
    return x * y + y * z + z * x;
}

Real Centre(const BoxItem& box, int k) { return Axis(box.lo, k) * 0.5f + Axis(box.hi, k) * 0.5f; }

// Orders the run by box centre along the axis on which the centres spread most.
void SortByPlace(BoxItem* begin, BoxItem* end) {
    Vector3 lo(Centre(*begin, 0), Centre(*begin, 1), Centre(*begin, 2)), hi = lo;
    for (const BoxItem* item = begin; item != end; ++item)
        for (int k = 0; k < 3; ++k) {
            Axis(lo, k) = std::min(Axis(lo, k), Centre(*item, k));
            Axis(hi, k) = std::max(Axis(hi, k), Centre(*item, k));
        }
    int axis = 0;
    for (int k = 1; k < 3; ++k)
        if (Axis(hi, k) - Axis(lo, k) > Axis(hi, axis) - Axis(lo, axis)) axis = k;
    std::stable_sort(begin, end,
                     [axis](const BoxItem& a, const BoxItem& b) { return Centre(a, axis) < Centre(b, axis); });
}

// The split of the run that costs least by surface area; the middle unless a split is cheaper.
uint32_t CheapestSplit(const BoxItem* items, uint32_t count) {
    std::vector<double> cost(count);
    BoxItem box = items[count - 1];
    for (uint32_t i = count - 1; i > 0; --i) {
        Widen(box, items[i]);
        cost[i] = HalfArea(box) * (count - i);
    }
    box = items[0];
    for (uint32_t i = 1; i < count; ++i) {
        cost[i] += HalfArea(box) * i;
        Widen(box, items[i]);
    }
    uint32_t best = count / 2;
    for (uint32_t i = 1; i < count; ++i)
        if (cost[i] < cost[best]) best = i;
    return best;
}

} // namespace

void BoxHierarchy::Build(std::vector<BoxItem> items, bool keepOrder, uint32_t leafSize) {
    nodes_.clear();
    items_ = std::move(items);
    if (!items_.empty()) BuildRange(0, static_cast<uint32_t>(items_.size()), keepOrder, std::max(leafSize, 1u), 0);
}

uint32_t BoxHierarchy::BuildRange(uint32_t begin, uint32_t end, bool keepOrder, uint32_t leafSize, int depth) {
    assert(depth < kMaxDepth);
    const auto index = static_cast<uint32_t>(nodes_.size());
    BoxItem box = items_[begin];
    for (uint32_t i = begin + 1; i < end; ++i) Widen(box, items_[i]);
    nodes_.push_back({box.lo, box.hi, begin, end - begin});
    if (end - begin <= leafSize) return index;
    if (!keepOrder) SortByPlace(&items_[begin], &items_[0] + end);
    const uint32_t split =
        begin + (depth < kBalancedBelow ? CheapestSplit(&items_[begin], end - begin) : (end - begin) / 2);
    BuildRange(begin, split, keepOrder, leafSize, depth + 1);
    const uint32_t second = BuildRange(split, end, keepOrder, leafSize, depth + 1);
    nodes_[index].first = second;
    nodes_[index].count = 0;
    return index;
}

SlabSegment::SlabSegment(const Vector3& a, const Vector3& d, Real slack) {
    for (int k = 0; k < 3; ++k) {
        // A zero direction gives an infinite inverse: the slab then passes or fails as a whole.
        inverse_[k] = 1.0f / Axis(d, k);
        down_[k] = SignBit(inverse_[k]);
        // Entering through the low face (moving up) or the high face (moving down), widened.
        nearOrigin_[k] = down_[k] ? Axis(a, k) - slack : Axis(a, k) + slack;
        farOrigin_[k] = down_[k] ? Axis(a, k) + slack : Axis(a, k) - slack;
    }
}
