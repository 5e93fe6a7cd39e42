// The check behind "systems --verify": it must find the arrival a table no longer covers.

#include "arrival/system_promise.h"
#include "combi/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace mvx;

TEST(SystemPromise, AMissingTicketIsFoundWithTheArrivalItWon)
{
    // System 14 covers every four of its eleven horses exactly once, system 29 is a tiercé
    // "désordre" table: either loses its promise with any ticket taken away.
    for (int number : { 14, 29 }) {
        SCOPED_TRACE(number);
        const ReducedSystem &system = reducedSystem(number);
        const SystemPromise promise = systemPromise(system);
        std::vector<std::vector<int>> tickets = systemTicketsOnFirstHorses(number);
        ASSERT_EQ(int(tickets.size()), system.ticketCount);
        EXPECT_FALSE(checkPromise(tickets, system.horseCount, promise).missed.has_value());

        std::vector<int> lost = tickets[3];
        tickets.erase(tickets.begin() + 3);
        const PromiseCheck broken = checkPromise(tickets, system.horseCount, promise);
        ASSERT_TRUE(broken.missed.has_value());
        // The arrival missed starts with horses of the ticket taken away.
        const int needed = promise.category == WinCategory::Bonus4 ? 4 : promise.places;
        std::vector<int> first(broken.missed->begin(), broken.missed->begin() + needed);
        std::sort(first.begin(), first.end());
        std::sort(lost.begin(), lost.end());
        EXPECT_TRUE(std::includes(lost.begin(), lost.end(), first.begin(), first.end()));
    }
    EXPECT_EQ(systemPromise(reducedSystem(29)).category, WinCategory::TierceAnyOrder);
    EXPECT_EQ(systemPromise(reducedSystem(7)).bases, 1);
}
