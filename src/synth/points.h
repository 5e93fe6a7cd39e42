#pragma once

#include "model/game_state.h"

#include <QString>

#include <array>

namespace mvx {

// Points earned by the horse a forecast puts at each of the 20 positions. Positions count
// from 1 here, as the points boxes are numbered.

// Position p gets n - p + 1 points for p = 1..n, the others 0. Only the 20 positions exist:
// n above 20 gives positions 1..20 the points n..n-19.
void setDefaultPoints(GameState &state, int n);

// At start-up: the points saved in the settings when the first of them is not 0, else the
// defaults for 8 horses per forecast.
void restorePoints(GameState &state);

// The "Defaut" button: n is the number the horses-per-forecast box shows (0 when it is not a
// whole number). Applies the defaults for n and returns true, or changes nothing and returns
// false when n is 0 or less.
bool applyDefaultPoints(GameState &state, const QString &horsesPerForecastText);

// Reads the 20 points boxes (box p holds position p): each whole number sets its position,
// any other text (an empty box) leaves it as it was.
void updatePointsFromBoxes(GameState &state, const std::array<QString, kForecastPositions> &boxTexts);

// The points of position p, 1..20, and 0 outside.
int pointsAt(const GameState &state, int position);

} // namespace mvx
