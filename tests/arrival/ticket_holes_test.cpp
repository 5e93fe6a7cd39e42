// Holes of a ticket set, counted with subsets and masks, against trying every arrival on every
// ticket with the comparison's own classification.

#include "arrival/classification.h"
#include "arrival/ticket_holes.h"

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

} // namespace
} // namespace mvx
