#include "combi/covering_design.h"

#include <algorithm>

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

std::int64_t promisesPerBlock(int v, int k, int t, int m)
{
    std::int64_t met = 0;
    for (int j = t; j <= std::min(k, m); ++j)
        met += binomial(k, j) * binomial(v - k, m - j);
    return met;
}

std::int64_t promiseLowerBound(int v, int k, int t, int m)
{
    if (m <= t)
        return schonheimBound(v, k, t);
    if (t == 0)
        return 1;
    if (t == 1)
        return std::max<std::int64_t>(1, (v - m + 1 + k - 1) / k);
    if (k == 2 && t == 2) {
        // The largest graph on v vertices without m mutually joined ones splits them into m - 1
        // parts as equal as can be and joins every two vertices of different parts.
        const int parts = m - 1;
        std::int64_t inside = 0;
        for (int p = 0; p < parts; ++p) {
            const std::int64_t size = v / parts + (p < v % parts ? 1 : 0);
            inside += size * (size - 1) / 2;
        }
        return std::max<std::int64_t>(1, inside);
    }
    const std::int64_t perBlock = promisesPerBlock(v, k, t, m);
    return std::max<std::int64_t>(1, (binomial(v, m) + perBlock - 1) / perBlock);
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

std::int64_t metSubsetCount(const std::vector<PointSet> &blocks, int v, int m, int t)
{
    if (v < 0 || v > kMaxCoveringPoints || t < 0 || m < t || m > v)
        return -1;
    const PointSet all = (PointSet(1) << v) - 1;
    std::vector<bool> held(std::size_t(1) << v, false);
    for (PointSet block : blocks) {
        if (block & ~all)
            return -1;
        for (PointSet s = block;; s = (s - 1) & block) {
            if (pointCount(s) == t)
                held[s] = true;
            if (s == 0)
                break;
        }
    }
    std::int64_t met = 0;
    forEachSubsetOf(v, m, [&](PointSet promise) {
        bool kept = false;
        for (PointSet s = promise; !kept; s = (s - 1) & promise) {
            kept = pointCount(s) == t && held[s];
            if (s == 0)
                break;
        }
        met += kept;
    });
    return met;
}

bool meetsEverySubset(const std::vector<PointSet> &blocks, int v, int m, int t)
{
    const std::int64_t met = metSubsetCount(blocks, v, m, t);
    return met >= 0 && met == binomial(v, m);
}

SubsetCoverage::SubsetCoverage(int v, int t, int m)
    : t_(t)
    , m_(m > t ? m : t)
    , subsets_(subsetsInOrder(v, m_))
    , count_(std::size_t(1) << v, 0)
    , where_(std::size_t(1) << v, -1)
{
    if (m_ > t_) {
        tSubsets_ = subsetsInOrder(v, t_);
        extensions_ = subsetsInOrder(v, m_ - t_);
        met_.assign(std::size_t(1) << v, 0);
    }
    clear();
}

void SubsetCoverage::clear()
{
    // Only t-subsets (and m-subsets) are ever counted, so resetting them resets everything.
    uncovered_ = subsets_;
    for (std::size_t i = 0; i < subsets_.size(); ++i) {
        count_[subsets_[i]] = 0;
        where_[subsets_[i]] = std::int32_t(i);
    }
    for (PointSet s : tSubsets_)
        count_[s] = 0;
    for (PointSet s : subsets_)
        if (!met_.empty())
            met_[s] = 0;
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
    if (count_[s]++ != 0)
        return;
    if (m_ == t_) {
        kept(s);
        return;
    }
    for (PointSet e : extensions_)
        if (!(e & s) && met_[e | s]++ == 0)
            kept(e | s);
}

void SubsetCoverage::decrement(PointSet s)
{
    if (--count_[s] != 0)
        return;
    if (m_ == t_) {
        missed(s);
        return;
    }
    for (PointSet e : extensions_)
        if (!(e & s) && --met_[e | s] == 0)
            missed(e | s);
}

void SubsetCoverage::kept(PointSet promise)
{
    const std::int32_t i = where_[promise];
    const PointSet last = uncovered_.back();
    uncovered_[std::size_t(i)] = last;
    where_[last] = i;
    uncovered_.pop_back();
    where_[promise] = -1;
}

void SubsetCoverage::missed(PointSet promise)
{
    where_[promise] = std::int32_t(uncovered_.size());
    uncovered_.push_back(promise);
}

} // namespace mvx
