#pragma once

#include "combi/covering_design.h"

#include <optional>
#include <vector>

// Tables made by a known construction rather than searched: each is the smallest possible for the
// promise it serves (it meets the lower bound), and is made in well under a millisecond.
namespace mvx {

// Pairs (k = t = 2) such that every m of the v points hold one (m >= 3): the points split into
// m - 1 groups as equal as can be, and every pair inside a group. Its complement, the pairs across
// groups, is the largest graph without m mutually joined points (Turán), so no smaller set of
// pairs keeps the promise.
std::vector<PointSet> turanPairs(int v, int m);

// A Steiner quadruple system on v points (every 3 points in exactly one block of 4), for v = 4, 8,
// 10, 16 and 20: the one block of 4 points, the 10 points of the projective line over GF(9) with
// the images of the subline over GF(3) under its Möbius maps, and doublings (two copies of the
// system on v points, and for each one-factor of the v points every two of its pairs, one from each
// copy). Empty for other v.
std::vector<PointSet> steinerQuadrupleSystem(int v);

// The inversive plane of order 4: the 17 points of the projective line over GF(16), and the images
// of the subline over GF(4) under its Möbius maps: 68 blocks of 5, every 3 points in exactly one.
std::vector<PointSet> inversivePlaneOfOrder4();

// The construction serving "every m-subset of v points meets a block of k in at least t points"
// (m = 0 or t: a covering C(v, k, t)), when there is one.
std::optional<std::vector<PointSet>> constructedDesign(int v, int k, int t, int m);

} // namespace mvx
