#pragma once

#include "combi/covering_design.h"

#include <vector>

// The greedy tables a reduced-system search starts from. Both keep the promise "every m-subset of
// the points 0..v-1 meets some block of k points in at least t of them" (m = t: a covering
// C(v, k, t)); neither is minimal, the search takes it from there.
namespace mvx {

// Block by block: each block starts from the first promise still missed in lexicographic order
// (its t lowest points) and grows by the point that covers most new t-subsets, the lowest on a tie.
std::vector<PointSet> firstMissedGreedy(int v, int k, int t, int m);

// Block by block: each block is, of every k-subset of the points, one keeping most of the promises
// still missed (the first in lexicographic order on a tie). The gains only fall as blocks are
// added, so a block's gain is computed again only when it comes to the top of the queue.
std::vector<PointSet> maxCoverageGreedy(int v, int k, int t, int m);

// The fewest blocks of the two after dropping the blocks no promise needs (the first on a tie).
std::vector<PointSet> bestGreedy(int v, int k, int t, int m);

// Drops repeated blocks, then every block (in increasing order of masks) without which no more
// promises are missed.
std::vector<PointSet> withoutRedundantBlocks(std::vector<PointSet> blocks, int v, int t, int m);

} // namespace mvx
