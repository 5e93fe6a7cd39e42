#pragma once

#include "arrival/classification.h"

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace mvx {

// What a set of tickets leaves uncovered. For each winning category of its ticket size, the holes
// are the arrivals whose first places (as many as the category looks at) are horses of the
// selection and for which no ticket wins that category or a better one, the later places going to
// horses on no ticket. Categories and their order are those of the arrival comparison:
//   quinté: ordre and désordre (5 places), bonus 4 (4), bonus 4 sur 5 (4 of the first 5), bonus 3 (3);
//   quarté: ordre and désordre (4), bonus (3); tiercé: ordre and désordre (3);
//   couplé: gagnant (the first 2), placé (2 of the first 3).
struct CategoryHoles
{
    WinCategory category = WinCategory::None;
    QString label; // its grid label
    int places = 0; // first places that count
    std::int64_t holes = 0; // arrivals of those places without a winning ticket
    std::int64_t arrivals = 0; // arrivals of those places considered
    std::vector<std::vector<int>> examples; // up to five holes, horse numbers in place order
};

// Counts holes with subsets and bit masks: each ticket is reduced to the set of selection horses it
// holds (and, for the ordre categories, their order), every subset a ticket wins with is marked
// once, and the arrivals are then walked as subsets of the selection, not tried against tickets.
class TicketHoles
{
public:
    static constexpr int kMaxSelection = 20;
    static constexpr int kMaxExamples = 5;

    // `selection`: up to 20 distinct horse numbers, the first `bases` of them bases: then only
    // arrivals holding every base among the places that count are considered.
    TicketHoles(std::vector<int> selection, int bases);

    // One ticket, its horses in ticket order. Horses outside the selection never help; a repeated
    // horse counts once. False when its size differs from the first ticket's.
    bool add(std::span<const int> horses);

    std::int64_t ticketCount() const { return tickets_; }
    int horsesPerTicket() const { return size_; }

    // One entry per category of the ticket size, in the comparison's order; empty for sizes
    // outside 2..5.
    std::vector<CategoryHoles> count() const;

    // The holes of a reduced system's promise: the arrivals whose first `among` places are the
    // bases and other horses of the selection and for which no ticket holds `needed` of those
    // horses, counted as count() counts a category (every order of the first places), labelled
    // "GARANTIE". Any ticket size. Nothing counted when the sizes make no promise (needed above
    // among, among above the selection or below the bases).
    CategoryHoles promiseHoles(int among, int needed) const;

private:
    CategoryHoles orderedHoles(WinCategory category) const;
    CategoryHoles setHoles(WinCategory category, int places, int needed) const;
    std::uint32_t orderKey(std::span<const int> indexes) const;

    std::vector<int> selection_;
    int bases_ = 0;
    std::uint32_t baseMask_ = 0;
    int indexOfHorse_[kMaxSelection + 1]; // selection index of horses 1..20, -1 when not selected
    int size_ = 0;
    std::int64_t tickets_ = 0;
    std::vector<std::uint8_t> seenSets_; // by mask of selection indexes: held by some ticket
    std::vector<std::uint64_t> seenOrders_; // bit per ordered ticket of selection horses
    std::int64_t distinctOrdersWithBases_ = 0;
};

} // namespace mvx
