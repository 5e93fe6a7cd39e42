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

// The m-subsets of v points a block of k meets in at least t points (m >= t).
std::int64_t promisesPerBlock(int v, int k, int t, int m);

// No set of k-blocks of v points has every m-subset meeting a block in t points with fewer
// blocks: the Schönheim bound for m = t; for pairs (k = t = 2), exactly the complement of the
// largest graph without m mutually joined points (Turán); for t = 1, enough blocks to leave at most
// m - 1 points out; else every m-subset counted against what one block can keep.
std::int64_t promiseLowerBound(int v, int k, int t, int m);

// Every r-subset of the points 0..n-1, in lexicographic order of their sorted points.
std::vector<PointSet> subsetsInOrder(int n, int r);

// True when every t-subset of the points 0..v-1 lies in at least one block. Tries each subset
// against each block, so it shares nothing with the counters the search keeps.
bool coversEverySubset(const std::vector<PointSet> &blocks, int v, int t);

// The m-subsets of the points 0..v-1 (m >= t) that meet some block in at least t points: marks
// the t-subsets of each block, then looks at the t-subsets of every m-subset. With m = t, the
// t-subsets covered. -1 when a block holds a point outside 0..v-1 or the sizes are out of range.
std::int64_t metSubsetCount(const std::vector<PointSet> &blocks, int v, int m, int t);
// True when every m-subset meets some block in at least t points (m = t: coversEverySubset()).
bool meetsEverySubset(const std::vector<PointSet> &blocks, int v, int m, int t);

// Calls f on every r-subset of the points 0..v-1 in lexicographic order of their sorted points.
template <typename F> void forEachSubsetOf(int v, int r, F f)
{
    if (r < 0 || r > v)
        return;
    int pick[32];
    for (int i = 0; i < r; ++i)
        pick[i] = i;
    while (true) {
        PointSet m = 0;
        for (int i = 0; i < r; ++i)
            m |= PointSet(1) << pick[i];
        f(m);
        int i = r - 1;
        while (i >= 0 && pick[i] == v - r + i)
            --i;
        if (i < 0)
            return;
        ++pick[i];
        for (int j = i + 1; j < r; ++j)
            pick[j] = pick[j - 1] + 1;
    }
}

// How many times each t-subset is covered by a multiset of blocks, with the list of the promises
// not kept up to date. A promise is an m-subset (m >= t) meeting some block in at least t points;
// with m = t (the usual covering) it is a t-subset lying in a block. Counters are indexed by the
// subset's mask (2^v of them), so a change to a block costs a few counter updates; with m > t a
// t-subset covered or uncovered also updates the m-subsets around it.
class SubsetCoverage
{
public:
    SubsetCoverage(int v, int t, int m = 0);
    // Back to every promise missed, in the order a new coverage lists them.
    void clear();

    int uncoveredCount() const { return int(uncovered_.size()); }
    // The promises missed: t-subsets, or m-subsets with m > t.
    const std::vector<PointSet> &uncovered() const { return uncovered_; }
    // The blocks holding a t-subset.
    int count(PointSet subset) const { return count_[subset]; }
    int strength() const { return t_; }
    int among() const { return m_; }
    // True while a promise (an m-subset, or a t-subset with m = t) is missed.
    bool isMissed(PointSet promise) const { return where_[promise] >= 0; }

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
    void kept(PointSet promise); // out of the missed list
    void missed(PointSet promise); // onto it

    int t_;
    int m_;
    std::vector<PointSet> subsets_; // every promise, in lexicographic order
    std::vector<PointSet> tSubsets_; // with m > t, every t-subset
    std::vector<PointSet> extensions_; // with m > t, every (m - t)-subset of the points
    std::vector<std::uint16_t> count_;
    std::vector<std::uint16_t> met_; // with m > t, the covered t-subsets of each m-subset
    std::vector<std::int32_t> where_; // index in uncovered_, -1 when kept
    std::vector<PointSet> uncovered_;
};

} // namespace mvx
