#pragma once

#include <cstdint>
#include <vector>

// Covering designs: the combinatorics under every reduced system. A reduced system over v other
// horses (the bases aside) with k of them per ticket keeps its promise when every t-subset of the v
// lies in some ticket: the tickets form a covering design C(v, k, t). Points are numbered from 0 and a
// set of points is a bit mask.
namespace mvx {

using PointSet = std::uint32_t;

// The most points a covering may have: the counters below are indexed by point set.
constexpr int kMaxCoveringPoints = 24;

// The number of points in a set. Written out rather than std::popcount, which without a CPU
// flag the program cannot assume becomes a library call in the search's inner loops.
inline int pointCount(PointSet m)
{
    m = m - ((m >> 1) & 0x55555555u);
    m = (m & 0x33333333u) + ((m >> 2) & 0x33333333u);
    return int((((m + (m >> 4)) & 0x0f0f0f0fu) * 0x01010101u) >> 24);
}

// C(n, r), 0 when r is out of 0..n. Exact for every n the program meets (n <= 64 and no overflow).
std::int64_t binomial(int n, int r);

// The Schönheim lower bound on the size of a C(v, k, t) covering:
// ceil(v/k · ceil((v-1)/(k-1) · ... ceil((v-t+1)/(k-t+1)))). 1 for t = 0.
std::int64_t schonheimBound(int v, int k, int t);

// Every r-subset of the points 0..n-1, in lexicographic order of their sorted points.
std::vector<PointSet> subsetsInOrder(int n, int r);

// True when every t-subset of the points 0..v-1 lies in at least one block. Tries each subset
// against each block, so it shares nothing with the counters the search keeps.
bool coversEverySubset(const std::vector<PointSet> &blocks, int v, int t);

// How many times each t-subset is covered by a multiset of blocks, with the list of the uncovered
// ones kept up to date. Counters are indexed by the subset's mask (2^v of them), so a change to a
// block costs a few counter updates.
class SubsetCoverage
{
public:
    SubsetCoverage(int v, int t);
    // Back to every subset uncovered, in the order a new coverage lists them.
    void clear();

    int uncoveredCount() const { return int(uncovered_.size()); }
    const std::vector<PointSet> &uncovered() const { return uncovered_; }
    int count(PointSet subset) const { return count_[subset]; }
    int strength() const { return t_; }

    void addBlock(PointSet block);
    void removeBlock(PointSet block);
    // Replaces point x of a block by y (both single-point masks); only the t-subsets through x or
    // y change.
    void swapPoint(PointSet block, PointSet x, PointSet y);

    // Calls f on every subset of `block` with t - less points.
    template <typename F> void forEachSubset(PointSet block, int less, F f) const
    {
        const int size = t_ - less;
        for (PointSet s = block;; s = (s - 1) & block) {
            if (pointCount(s) == size)
                f(s);
            if (s == 0)
                break;
        }
    }

private:
    void increment(PointSet s);
    void decrement(PointSet s);

    int t_;
    std::vector<PointSet> subsets_; // every t-subset, in lexicographic order
    std::vector<std::uint16_t> count_;
    std::vector<std::int32_t> where_; // index in uncovered_, -1 when covered
    std::vector<PointSet> uncovered_;
};

} // namespace mvx
