#pragma once

#include "model/game_state.h"

#include <QString>

#include <cstdint>

namespace mvx {

// What the month's budget says of a game of `tickets` tickets of the bet at the state's stakes,
// its lines joined by `separator`: empty when no budget is kept, no note is set or the game's
// cost is not known (no bet, or no stake for it).
QString budgetNoteFor(const GameState &state, std::optional<Bet> bet, std::int64_t tickets, QChar separator);

// The cost line with the budget's lines after it, joined by `separator`.
QString costLineWithBudget(const GameState &state, std::optional<Bet> bet, std::int64_t tickets, QChar separator);

} // namespace mvx
