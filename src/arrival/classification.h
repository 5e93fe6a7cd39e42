#pragma once

#include "model/game_state.h"
#include "model/ticket_list.h"

#include <QString>

#include <array>
#include <cstdint>
#include <span>

namespace mvx {

// The official arrival: the horse of places 1..5 (slot 0 unused); 0 is a place not set yet.
using Arrival = std::array<std::int32_t, kArrivalPlaces + 1>;
// Winning tickets per category, category 1 in slot 0.
using WinCounts = std::array<std::int32_t, kWinCategories>;

// The winning categories, numbered in the order of the summary. A ticket falls in at most one.
enum class WinCategory : std::uint8_t
{
    None = 0,
    QuinteInOrder = 1,
    QuinteAnyOrder = 2,
    Bonus4 = 3,
    Bonus4Of5 = 4,
    Bonus3 = 5,
    QuarteInOrder = 6,
    QuarteAnyOrder = 7,
    QuarteBonus = 8,
    TierceInOrder = 9,
    TierceAnyOrder = 10,
    CoupleWinner = 11,
    CouplePlaced = 12,
};

// The label of the result grid ("Quinté ordre"); empty for None.
QString gridLabel(WinCategory category);
// The label of the summary, with its leading blank (" Quinte"); empty for None.
QString summaryLabel(WinCategory category);

// How many (ticket horse, place 1..k) pairs hold the same horse. With distinct numbers this is
// how many of the first k finishers the ticket holds; a horse repeated in the arrival counts
// once per place. A place holding no horse number (0 = not set) matches nothing.
int matchCount(std::span<const int> horses, const Arrival &arrival, int k);

// The ticket's first k horses are the first k finishers in their order.
bool inOrder(std::span<const int> horses, const Arrival &arrival, int k);

// The category of a ticket of horses.size() horses: the rules of its size tried in order, the
// first that holds wins. Sizes other than 2 to 5 win nothing.
WinCategory ticketCategory(std::span<const int> horses, const Arrival &arrival);

// The grid label of the ticket's category, its counter incremented (nothing for no category).
QString classifyTicket(std::span<const int> horses, const Arrival &arrival, WinCounts &counts);

// Classifies the tickets of a list against an arrival, one category byte per ticket. Built once
// per comparison: each ticket letter is looked up in a table that already holds what its horse
// contributes to the match counts, so a ticket costs one addition per letter. Work can be done
// in slices of any size, in any order.
class TicketClassifier
{
public:
    // The list and the selection must outlive the classifier.
    TicketClassifier(const TicketList &tickets, const Selection &selection, const Arrival &arrival);

    std::int64_t ticketCount() const { return tickets_.count(); }

    // The category of ticket t, 1..ticketCount().
    WinCategory category(std::int64_t t) const;

    // Classifies tickets first..last - 1 (0-based: ticket t + 1 goes into categories[t]) and adds
    // them to the counts.
    void classify(std::int64_t first, std::int64_t last, std::uint8_t *categories, WinCounts &counts) const;

private:
    // What one horse adds to a ticket's tallies, a byte each: matches with places 1..2, 1..3,
    // 1..4, 1..5, and positions where the ticket agrees with the arrival.
    static std::uint64_t tally(int horse, int position, const Arrival &arrival);
    std::uint64_t ticketTally(std::string_view letters) const;
    WinCategory categoryOfTally(std::uint64_t tally) const;
    template <int Letters>
    void classifyStored(std::int64_t first, std::int64_t last, std::uint8_t *categories, std::int64_t *tallied) const;

    const TicketList &tickets_;
    int horsesPerTicket_ = 0;
    int letters_ = 0;
    // The tally of the bases, the same on every ticket.
    std::uint64_t baseTally_ = 0;
    // Per letter of the ticket, per byte: the tally of the horse that letter stands for there.
    std::array<std::array<std::uint64_t, 256>, 8> letterTally_ {};
};

} // namespace mvx
