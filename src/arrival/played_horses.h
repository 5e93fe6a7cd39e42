#pragma once

#include "model/game_state.h"
#include "model/ticket_list.h"

#include <vector>

namespace mvx {

// The horses the tickets of a list hold, in the selection's order, the bases first: the horses
// really chosen. The selection's unused boxes (which hold a filler horse) are never among them.
std::vector<int> playedHorses(const TicketList &tickets, const Selection &selection);

} // namespace mvx
