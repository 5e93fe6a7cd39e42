// Holes of a ticket set, counted with subsets and masks, against trying every arrival on every
// ticket with the comparison's own classification.

#include "arrival/classification.h"
#include "arrival/ticket_holes.h"
#include "combi/covering_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

namespace mvx {
namespace {

// The comparison categories of each ticket size, best first, with the places each looks at.
struct Category
{
    int number; // WinCategory
    int places;
};
std::vector<Category> categoriesOf(int size)
{
    switch (size) {
    case 5:
        return { { 1, 5 }, { 2, 5 }, { 3, 4 }, { 4, 5 }, { 5, 3 } };
    case 4:
        return { { 6, 4 }, { 7, 4 }, { 8, 3 } };
    case 3:
        return { { 9, 3 }, { 10, 3 } };
    default:
        return { { 11, 2 }, { 12, 3 } };
    }
}

// Every arrival of the first `places` places from the selection, holding the bases, the later
// places going to horse 0 (on no ticket): those where no ticket wins the category or better.
std::vector<Arrival> bruteForceHoles(const std::vector<std::vector<int>> &tickets, const std::vector<int> &selection,
    int bases, Category c, std::int64_t &arrivals)
{
    const int best = categoriesOf(int(tickets.front().size())).front().number;
    std::vector<Arrival> holes;
    arrivals = 0;
    Arrival arrival {}; // places 1..5; 0 is a horse on no ticket
    std::vector<bool> used(selection.size(), false);
    auto walk = [&](auto &self, int place) -> void {
        if (place == c.places) {
            for (int b = 0; b < bases; ++b)
                if (!used[std::size_t(b)])
                    return;
            ++arrivals;
            const bool won = std::any_of(tickets.begin(), tickets.end(), [&](const std::vector<int> &t) {
                const int category = int(ticketCategory(t, arrival));
                return category >= best && category <= c.number;
            });
            if (!won)
                holes.push_back(arrival);
            return;
        }
        for (std::size_t i = 0; i < selection.size(); ++i) {
            if (used[i])
                continue;
            used[i] = true;
            arrival[std::size_t(place + 1)] = selection[i];
            self(self, place + 1);
            arrival[std::size_t(place + 1)] = 0;
            used[i] = false;
        }
    };
    walk(walk, 0);
    return holes;
}

TEST(TicketHoles, CountsMatchTryingEveryArrivalOnEveryTicket)
{
    std::mt19937 random(7);
    const std::vector<int> selection { 12, 3, 17, 8, 1, 20, 6 };
    for (int trial = 0; trial < 24; ++trial) {
        const int size = 2 + trial % 4;
        const int bases = (trial / 4) % 3;
        SCOPED_TRACE(::testing::Message() << "size " << size << ", bases " << bases);
        // Tickets of distinct horses drawn from the selection and two horses outside it.
        std::vector<int> pool = selection;
        pool.push_back(9);
        pool.push_back(15);
        std::vector<std::vector<int>> tickets;
        const int count = 1 + int(random() % 30);
        for (int t = 0; t < count; ++t) {
            std::shuffle(pool.begin(), pool.end(), random);
            tickets.emplace_back(pool.begin(), pool.begin() + size);
        }
        TicketHoles holes(selection, bases);
        for (const std::vector<int> &t : tickets)
            ASSERT_TRUE(holes.add(t));
        const std::vector<CategoryHoles> counted = holes.count();
        const std::vector<Category> categories = categoriesOf(size);
        ASSERT_EQ(counted.size(), categories.size());
        for (std::size_t i = 0; i < categories.size(); ++i) {
            SCOPED_TRACE(counted[i].label.toStdString());
            EXPECT_EQ(int(counted[i].category), categories[i].number);
            std::int64_t arrivals = 0;
            const std::vector<Arrival> expected = bruteForceHoles(tickets, selection, bases, categories[i], arrivals);
            EXPECT_EQ(counted[i].places, categories[i].places);
            EXPECT_EQ(counted[i].arrivals, arrivals);
            EXPECT_EQ(counted[i].holes, std::int64_t(expected.size()));
            // Examples are distinct holes: for a category that ignores the order, distinct sets.
            const bool ordered = categories[i].number == 1 || categories[i].number == 6 || categories[i].number == 9;
            std::set<std::vector<int>> distinct;
            for (const Arrival &a : expected) {
                std::vector<int> first(a.begin() + 1, a.begin() + 1 + categories[i].places);
                if (!ordered)
                    std::sort(first.begin(), first.end());
                distinct.insert(first);
            }
            EXPECT_EQ(counted[i].examples.size(), std::min<std::size_t>(distinct.size(), 5));
            for (const std::vector<int> &example : counted[i].examples) {
                Arrival a {};
                std::copy(example.begin(), example.end(), a.begin() + 1);
                EXPECT_NE(std::find(expected.begin(), expected.end(), a), expected.end()) << "not a hole";
            }
        }
    }
    // A ticket of another size is refused.
    TicketHoles mixed(selection, 0);
    EXPECT_TRUE(mixed.add(std::vector<int> { 12, 3, 17 }));
    EXPECT_FALSE(mixed.add(std::vector<int> { 12, 3 }));
}

// A reduced system's promise "the first M are selection horses, the bases among them: a ticket
// holds T of them", for tickets of 2 to 7 horses: its holes against every ordered arrival tried on
// every ticket, and against the arrivals the search's own checker says the same table wins.
TEST(TicketHoles, APromiseAboutTheFirstMCountsAsTryingEveryArrival)
{
    std::mt19937 random(11);
    const std::vector<int> selection { 4, 19, 7, 13, 2, 11, 16, 5 };
    const int n = int(selection.size());
    for (int trial = 0; trial < 30; ++trial) {
        const int size = 2 + trial % 6;
        const int bases = trial % 3 < size - 1 ? trial % 3 : 0;
        const int needed = std::max(bases + 1, 1 + trial % size);
        const int among = std::min(n, needed + trial % 3);
        SCOPED_TRACE(
            ::testing::Message() << "size " << size << ", bases " << bases << ", T " << needed << ", M " << among);
        // Tables of the selection's positions, bases in every row, as a reduced system writes them.
        std::vector<std::vector<int>> rows;
        std::vector<int> others;
        for (int p = bases + 1; p <= n; ++p)
            others.push_back(p);
        const int count = 1 + int(random() % 12);
        for (int r = 0; r < count; ++r) {
            std::shuffle(others.begin(), others.end(), random);
            std::vector<int> row;
            for (int b = 1; b <= bases; ++b)
                row.push_back(b);
            row.insert(row.end(), others.begin(), others.begin() + (size - bases));
            std::sort(row.begin(), row.end());
            rows.push_back(row);
        }
        TicketHoles holes(selection, bases);
        for (const std::vector<int> &row : rows) {
            std::vector<int> ticket;
            for (int p : row)
                ticket.push_back(selection[std::size_t(p - 1)]);
            ASSERT_TRUE(holes.add(ticket));
        }
        const CategoryHoles counted = holes.promiseHoles(among, needed);
        EXPECT_EQ(counted.label, QStringLiteral("GARANTIE"));

        std::int64_t arrivals = 0;
        std::int64_t missed = 0;
        std::vector<int> first;
        std::vector<bool> used(std::size_t(n), false);
        auto walk = [&](auto &self) -> void {
            if (int(first.size()) == among) {
                for (int b = 0; b < bases; ++b)
                    if (!used[std::size_t(b)])
                        return;
                ++arrivals;
                missed += std::none_of(rows.begin(), rows.end(), [&](const std::vector<int> &row) {
                    int held = 0;
                    for (int p : first)
                        held += std::find(row.begin(), row.end(), p) != row.end();
                    return held >= needed;
                });
                return;
            }
            for (int p = 1; p <= n; ++p) {
                if (used[std::size_t(p - 1)])
                    continue;
                used[std::size_t(p - 1)] = true;
                first.push_back(p);
                self(self);
                first.pop_back();
                used[std::size_t(p - 1)] = false;
            }
        };
        walk(walk);
        EXPECT_EQ(counted.arrivals, arrivals);
        EXPECT_EQ(counted.holes, missed);

        const SystemRequest request { n, size, bases, needed, among };
        ASSERT_TRUE(systemRequestError(request).isEmpty());
        std::int64_t orders = 1;
        for (int i = 2; i <= among; ++i)
            orders *= i;
        EXPECT_EQ(promisedArrivalCount(request) * orders, arrivals);
        EXPECT_EQ((promisedArrivalCount(request) - wonArrivalCount(rows, request)) * orders, missed);
        EXPECT_EQ(keepsGuarantee(rows, request), missed == 0);
    }
}

} // namespace
} // namespace mvx
