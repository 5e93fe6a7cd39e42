// Tables made by construction: every size a construction serves, proven by trying every promised
// arrival on every ticket, at the lower bound, and what the search returns for those requests.

#include "combi/covering_constructions.h"
#include "combi/covering_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace mvx {
namespace {

// Every m of the v points, tried against every block: some block must hold t of them.
bool everyChoiceMeetsABlock(const std::vector<PointSet> &blocks, int v, int k, int t, int m)
{
    for (PointSet block : blocks)
        if (pointCount(block) != k || block >> v)
            return false;
    std::vector<bool> chosen(std::size_t(v), false);
    std::fill(chosen.end() - m, chosen.end(), true);
    do {
        const bool met = std::any_of(blocks.begin(), blocks.end(), [&](PointSet block) {
            int held = 0;
            for (int p = 0; p < v; ++p)
                held += chosen[std::size_t(p)] && ((block >> p) & 1);
            return held >= t;
        });
        if (!met)
            return false;
    } while (std::next_permutation(chosen.begin(), chosen.end()));
    return true;
}

struct Served
{
    int v, k, t, m;
};

std::vector<Served> everyServedSize()
{
    std::vector<Served> served;
    for (int v = 3; v <= 20; ++v)
        for (int m = 3; m <= std::min(v, 6); ++m)
            served.push_back({ v, 2, 2, m });
    for (int v : { 4, 8, 10, 16, 20 })
        served.push_back({ v, 4, 3, 3 });
    served.push_back({ 17, 5, 3, 3 });
    return served;
}

TEST(CoveringConstructions, EverySizeServedKeepsItsPromiseAtTheLowerBound)
{
    for (const Served &s : everyServedSize()) {
        SCOPED_TRACE(testing::Message() << "v " << s.v << " k " << s.k << " t " << s.t << " m " << s.m);
        const std::optional<std::vector<PointSet>> made = constructedDesign(s.v, s.k, s.t, s.m);
        ASSERT_TRUE(made.has_value());
        EXPECT_EQ(std::set<PointSet>(made->begin(), made->end()).size(), made->size()) << "a block repeated";
        EXPECT_TRUE(everyChoiceMeetsABlock(*made, s.v, s.k, s.t, s.m));
        EXPECT_EQ(std::int64_t(made->size()), promiseLowerBound(s.v, s.k, s.t, s.m));
    }
    // The Steiner systems hold every 3 points exactly once: C(v, 3) / 4 blocks.
    for (int v : { 4, 8, 10, 16, 20 })
        EXPECT_EQ(std::int64_t(steinerQuadrupleSystem(v).size()) * 4, binomial(v, 3)) << v;
    EXPECT_EQ(inversivePlaneOfOrder4().size(), 68u);
    EXPECT_TRUE(steinerQuadrupleSystem(14).empty());
    EXPECT_FALSE(constructedDesign(14, 4, 3, 3).has_value());
    EXPECT_FALSE(constructedDesign(17, 5, 3, 4).has_value());
}

// With or without bases, the search returns the construction at once: on a budget of one move it
// ends at the bound.
TEST(CoveringConstructions, TheSearchMakesThemOnOneMove)
{
    struct Case
    {
        SystemRequest request;
        std::int64_t tickets;
    };
    const Case cases[] = { { { 20, 4, 0, 3 }, 285 }, { { 18, 6, 2, 5 }, 140 }, { { 17, 5, 0, 3 }, 68 },
        { { 19, 7, 2, 5 }, 68 }, { { 11, 5, 1, 4 }, 30 }, { { 9, 2, 0, 2, 3 }, 16 }, { { 20, 2, 0, 2, 4 }, 57 },
        { { 12, 3, 1, 3, 4 }, 25 } };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.request.horses << " " << c.request.perTicket << " " << c.request.bases
                                        << " " << c.request.guarantee << " " << c.request.among);
        SearchControl control;
        control.moveBudget = 1;
        const FoundSystem found = searchReducedSystem(c.request, 1, control);
        ASSERT_TRUE(found.verified);
        EXPECT_EQ(found.end, FoundSystem::End::BoundReached);
        EXPECT_EQ(std::int64_t(found.rows.size()), c.tickets);
        EXPECT_TRUE(keepsGuarantee(found.rows, c.request));
    }
}

} // namespace
} // namespace mvx
