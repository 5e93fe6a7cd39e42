// The exchange of tables between the workers of a search: the second worker learns the first's
// table of `lag` points earlier, waits for it only when it is that far ahead, and the first never
// learns anything nor waits.

#include "combi/table_exchange.h"

#include <gtest/gtest.h>

namespace mvx {
namespace {

std::vector<PointSet> tableOf(int size)
{
    return std::vector<PointSet>(std::size_t(size), PointSet(size));
}

TEST(TableExchange, TheSecondWorkerFollowsTheFirstsSmallerTableOfLagPointsBefore)
{
    TableExchange exchange(2, 1);
    int waits = 0;
    const auto giveUp = [&] {
        ++waits;
        return false;
    };
    // The first worker never takes the second's smaller table, and never waits for it.
    EXPECT_TRUE(exchange.meet(0, 1, tableOf(50), giveUp, 0.001).empty());
    EXPECT_TRUE(exchange.meet(1, 1, tableOf(20), giveUp, 0.001).empty()) << "nothing before the lag";
    EXPECT_TRUE(exchange.meet(0, 2, tableOf(40), giveUp, 0.001).empty()) << "the first took the second's table";
    EXPECT_TRUE(exchange.meet(0, 3, tableOf(15), giveUp, 0.001).empty());
    // The second takes the first's table of one point before, only when it is smaller.
    EXPECT_TRUE(exchange.meet(1, 2, tableOf(20), giveUp, 0.001).empty()) << "a larger table taken";
    EXPECT_TRUE(exchange.meet(1, 3, tableOf(20), giveUp, 0.001).empty()) << "the table of point 3 read at point 3";
    EXPECT_EQ(exchange.meet(1, 4, tableOf(20), giveUp, 0.001), tableOf(15));
    EXPECT_EQ(waits, 0);
    EXPECT_TRUE(exchange.meet(0, 4, tableOf(15), giveUp, 0.001).empty());
    EXPECT_TRUE(exchange.meet(1, 5, tableOf(15), giveUp, 0.001).empty()) << "a table of the same size taken";
    // Ahead of the first by more than the lag, the second waits (here it gives up at once).
    EXPECT_TRUE(exchange.meet(1, 6, tableOf(15), giveUp, 0.001).empty());
    EXPECT_EQ(waits, 1);
    // Once the first has ended, its last table.
    exchange.leave(0, tableOf(12));
    EXPECT_EQ(exchange.meet(1, 7, tableOf(15), giveUp, 0.001), tableOf(12));
}

} // namespace
} // namespace mvx
