#include "combi/covering_greedy.h"

#include <algorithm>
#include <queue>

namespace mvx {

std::vector<PointSet> firstMissedGreedy(int v, int k, int t, int m)
{
    SubsetCoverage coverage(v, t, m);
    std::vector<PointSet> blocks;
    for (PointSet promise : subsetsInOrder(v, coverage.among())) {
        if (!coverage.isMissed(promise))
            continue;
        PointSet block = 0;
        for (PointSet rest = promise; pointCount(block) < t; rest &= rest - 1)
            block |= rest & (~rest + 1);
        while (pointCount(block) < k) {
            int bestGain = -1;
            PointSet bestPoint = 0;
            for (int p = 0; p < v; ++p) {
                const PointSet point = PointSet(1) << p;
                if (block & point)
                    continue;
                int gain = 0;
                coverage.forEachSubset(block, 1, [&](PointSet s) { gain += coverage.count(s | point) == 0; });
                if (gain > bestGain) {
                    bestGain = gain;
                    bestPoint = point;
                }
            }
            block |= bestPoint;
        }
        coverage.addBlock(block);
        blocks.push_back(block);
    }
    return blocks;
}

std::vector<PointSet> maxCoverageGreedy(int v, int k, int t, int m)
{
    SubsetCoverage coverage(v, t, m);
    const std::vector<PointSet> candidates = subsetsInOrder(v, k);
    // The promises a block would keep now: add it, count, take it out again (which leaves the
    // list of missed promises as it was).
    auto gainOf = [&](PointSet block) {
        const int before = coverage.uncoveredCount();
        coverage.addBlock(block);
        const int gain = before - coverage.uncoveredCount();
        coverage.removeBlock(block);
        return gain;
    };
    struct Entry
    {
        int gain;
        int index;
        bool operator<(const Entry &o) const { return gain != o.gain ? gain < o.gain : index > o.index; }
    };
    std::vector<Entry> entries;
    entries.reserve(candidates.size());
    const int first = gainOf(candidates.front());
    // Before any block every k-subset keeps as many promises as the first.
    for (std::size_t i = 0; i < candidates.size(); ++i)
        entries.push_back({ first, int(i) });
    std::priority_queue<Entry> queue(std::less<Entry>(), std::move(entries));
    std::vector<PointSet> blocks;
    while (coverage.uncoveredCount() > 0 && !queue.empty()) {
        Entry top = queue.top();
        queue.pop();
        top.gain = gainOf(candidates[std::size_t(top.index)]);
        if (top.gain == 0)
            continue;
        // Its gain is still the largest: the others' stale gains only overstate theirs.
        if (queue.empty() || !(top < queue.top())) {
            coverage.addBlock(candidates[std::size_t(top.index)]);
            blocks.push_back(candidates[std::size_t(top.index)]);
        } else {
            queue.push(top);
        }
    }
    return blocks;
}

std::vector<PointSet> bestGreedy(int v, int k, int t, int m)
{
    std::vector<PointSet> first = withoutRedundantBlocks(firstMissedGreedy(v, k, t, m), v, t, m);
    std::vector<PointSet> widest = withoutRedundantBlocks(maxCoverageGreedy(v, k, t, m), v, t, m);
    return widest.size() < first.size() ? widest : first;
}

std::vector<PointSet> withoutRedundantBlocks(std::vector<PointSet> blocks, int v, int t, int m)
{
    std::sort(blocks.begin(), blocks.end());
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
    SubsetCoverage coverage(v, t, m);
    for (PointSet block : blocks)
        coverage.addBlock(block);
    std::vector<PointSet> kept;
    for (PointSet block : blocks) {
        const int before = coverage.uncoveredCount();
        coverage.removeBlock(block);
        if (coverage.uncoveredCount() > before) {
            coverage.addBlock(block);
            kept.push_back(block);
        }
    }
    return kept;
}

} // namespace mvx
