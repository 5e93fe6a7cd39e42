#pragma once

#include "arrival/ticket_holes.h"
#include "combi/ticket_recipe.h"
#include "model/game_state.h"

#include <QString>

#include <optional>
#include <vector>

namespace mvx {

class WorkProgress;

// The holes of the current ticket list, as the holes window shows them.
struct ListHoles
{
    std::vector<int> selection; // bases first
    int bases = 0;
    std::int64_t tickets = 0;
    int horsesPerTicket = 0;
    std::vector<CategoryHoles> categories; // empty for a ticket size without categories
    // The holes of a reduced system's own promise, when the count was given one.
    std::optional<CategoryHoles> promise;
};

// A reduced system's promise: whenever the first `among` finishers are the bases and other horses
// of the selection, a ticket holds `needed` of them.
struct HolesPromise
{
    int among = 0;
    int needed = 0;
};

// The horses a list was made from: its bases, then the other horses of the selection up to the
// last one a ticket uses (the selection boxes may hold more horses than the system took).
std::vector<int> listSelection(const TicketList &tickets, const Selection &selection);

// Counts the holes of the list over listSelection(), the bases only in arrivals that hold
// them: the generator's bases, or the first `systemBases` horses of a catalogue system's list.
// `progress`, when given, hears the tickets read and may stop the count: nothing then.
// With `promise`, its holes are counted too, over the same horses and bases.
std::optional<ListHoles> countListHoles(const TicketList &tickets, const Selection &selection, int systemBases = 0,
    WorkProgress *progress = nullptr, std::optional<HolesPromise> promise = std::nullopt);

// The holes the recipe's tickets would leave without its conditions, over the same horses and
// bases as `conditioned`, the holes of its conditioned list: the tickets are made again and
// counted as they come, none kept. Nothing after a stop through `progress`.
std::optional<std::vector<CategoryHoles>> countUnconditionedHoles(
    const TicketRecipe &request, const ListHoles &conditioned, WorkProgress *progress = nullptr);

// "7-3-12-5": horse numbers in place order.
QString arrivalText(const std::vector<int> &horses);

} // namespace mvx
