#pragma once

#include "model/game_state.h"

#include <QString>

#include <array>
#include <vector>

namespace mvx {

// The forecast table, as the entry window and the "Effacer tous les pronos" button use it.
// Forecasts and positions count from 1. The counts come from boxes that accept more than the
// table holds (up to 9999 forecasts, 99 positions), so every operation here works on the rows
// and positions in use that the table actually has.

// Rows in use: 1..forecastCount, at most the 500 rows of the table.
int forecastRowsInUse(const GameState &state);
// Positions in use: 1..horsesPerForecast, at most the 20 positions of a row.
int forecastPositionsInUse(const GameState &state);

// Sets every position in use of every row in use to 0; the rest of the table keeps its numbers.
void clearForecasts(GameState &state);

// Writes the texts of the entry boxes (box k holds position k) into the current forecast:
// a box whose text is a whole number from 0 to horseCount sets its position, any other text
// leaves the position as it was. Nothing happens when there is no current forecast.
void storeForecast(GameState &state, const std::array<QString, kForecastPositions> &boxTexts);

// The horse numbers of the current forecast at positions 1..positions in use, for the entry
// boxes; empty when there is no current forecast.
std::vector<int> forecastToShow(const GameState &state);

// The arrow buttons of the entry window. Each stores the forecast on screen and moves, and
// returns true, unless it is already at the first (or the last in use) forecast: then nothing
// is stored and it returns false.
bool stepToPreviousForecast(GameState &state, const std::array<QString, kForecastPositions> &boxTexts);
bool stepToNextForecast(GameState &state, const std::array<QString, kForecastPositions> &boxTexts);

} // namespace mvx
