#include "combi/covering_design.h"

namespace mvx {

std::int64_t binomial(int n, int r)
{
    if (r < 0 || r > n)
        return 0;
    std::int64_t c = 1;
    for (int i = 1; i <= r; ++i)
        c = c * (n - r + i) / i;
    return c;
}

std::int64_t schonheimBound(int v, int k, int t)
{
    std::int64_t bound = 1;
    for (int i = t - 1; i >= 0; --i) {
        const std::int64_t numerator = std::int64_t(v - i) * bound;
        const std::int64_t denominator = k - i;
        bound = (numerator + denominator - 1) / denominator;
    }
    return bound;
}

std::vector<PointSet> subsetsInOrder(int n, int r)
{
    std::vector<PointSet> result;
    if (r < 0 || r > n)
        return result;
    std::vector<int> pick(std::size_t(r), 0);
    for (int i = 0; i < r; ++i)
        pick[std::size_t(i)] = i;
    while (true) {
        PointSet m = 0;
        for (int p : pick)
            m |= PointSet(1) << p;
        result.push_back(m);
        int i = r - 1;
        while (i >= 0 && pick[std::size_t(i)] == n - r + i)
            --i;
        if (i < 0)
            break;
        ++pick[std::size_t(i)];
        for (int j = i + 1; j < r; ++j)
            pick[std::size_t(j)] = pick[std::size_t(j - 1)] + 1;
    }
    return result;
}

bool coversEverySubset(const std::vector<PointSet> &blocks, int v, int t)
{
    if (v < 0 || v > kMaxCoveringPoints || t < 0)
        return false;
    const PointSet all = (PointSet(1) << v) - 1;
    // Marks the t-subsets of each block, then looks at every t-subset of the points.
    std::vector<bool> held(std::size_t(1) << v, false);
    for (PointSet block : blocks) {
        if (block & ~all)
            return false;
        for (PointSet s = block;; s = (s - 1) & block) {
            if (pointCount(s) == t)
                held[s] = true;
            if (s == 0)
                break;
        }
    }
    for (PointSet subset : subsetsInOrder(v, t))
        if (!held[subset])
            return false;
    return true;
}

SubsetCoverage::SubsetCoverage(int v, int t)
    : t_(t)
    , subsets_(subsetsInOrder(v, t))
    , count_(std::size_t(1) << v, 0)
    , where_(std::size_t(1) << v, -1)
{
    clear();
}

void SubsetCoverage::clear()
{
    // Only t-subsets are ever counted, so resetting them resets everything.
    uncovered_ = subsets_;
    for (std::size_t i = 0; i < subsets_.size(); ++i) {
        count_[subsets_[i]] = 0;
        where_[subsets_[i]] = std::int32_t(i);
    }
}

void SubsetCoverage::addBlock(PointSet block)
{
    forEachSubset(block, 0, [this](PointSet s) { increment(s); });
}

void SubsetCoverage::removeBlock(PointSet block)
{
    forEachSubset(block, 0, [this](PointSet s) { decrement(s); });
}

void SubsetCoverage::swapPoint(PointSet block, PointSet x, PointSet y)
{
    const PointSet rest = block & ~x;
    if (pointCount(rest) == t_) {
        // A block of t + 1 points (the usual case): the subsets of the rest are the rest less one
        // point each, taken from the lowest point up, the order forEachSubset gives them in.
        for (PointSet r = rest; r; r &= r - 1)
            decrement((rest & ~(r & (~r + 1))) | x);
        for (PointSet r = rest; r; r &= r - 1)
            increment((rest & ~(r & (~r + 1))) | y);
        return;
    }
    forEachSubset(rest, 1, [this, x](PointSet s) { decrement(s | x); });
    forEachSubset(rest, 1, [this, y](PointSet s) { increment(s | y); });
}

void SubsetCoverage::increment(PointSet s)
{
    if (count_[s]++ == 0) {
        const std::int32_t i = where_[s];
        const PointSet last = uncovered_.back();
        uncovered_[std::size_t(i)] = last;
        where_[last] = i;
        uncovered_.pop_back();
        where_[s] = -1;
    }
}

void SubsetCoverage::decrement(PointSet s)
{
    if (--count_[s] == 0) {
        where_[s] = std::int32_t(uncovered_.size());
        uncovered_.push_back(s);
    }
}

} // namespace mvx
