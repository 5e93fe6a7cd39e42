#pragma once

#include "combi/ticket_recipe.h"
#include "model/game_state.h"

namespace mvx {

// How a list made from the recipe was made: its source, the catalogue system's number and
// whether conditions filtered its tickets; an own system's promise.
ListMaking listMakingOf(const TicketRecipe &recipe);

} // namespace mvx
