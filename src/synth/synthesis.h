#pragma once

#include "model/game_state.h"

#include <QLocale>
#include <QString>

#include <array>
#include <vector>

namespace mvx {

// The ranking of the race's horses by the points the forecasts give them.

// Horses ranked: 1..horseCount, at most the 49 entries of the synthesis table.
int synthesisHorseCount(const GameState &state);

// Every horse collects, from every forecast in use, the points of each position in use at which
// that forecast names it. The table is then sorted by points, highest first; horses with equal
// points stay in horse-number order.
void computeSynthesis(GameState &state);

// One row of the synthesis grid as it is shown, printed and exported: the rank, "CHEVAL " and
// the horse number, the points, and the share of all points.
using SynthesisRow = std::array<QString, 4>;

// The share of all points in the general format with up to 15 significant digits, no trailing
// zeros, and the locale's decimal separator: 41,6666679382324 in French, 25 for a quarter.
QString shareText(float share, const QLocale &locale);

// The share as a punter reads it, in the grid and on paper: rounded to two decimals ("41,67",
// "25,00"), from the full text that shareText gives in the same locale. The export keeps the
// full text.
QString roundedShareText(const QString &share, const QLocale &locale);
// The rows with their shares so rounded.
std::vector<SynthesisRow> roundedShareRows(std::vector<SynthesisRow> rows, const QLocale &locale);

// The rows of the ranking, best first; the shares are single-precision values, as the totals
// are added up in single precision.
std::vector<SynthesisRow> synthesisRows(const GameState &state, const QLocale &locale);

// The points of horses 1..the ranked count, in horse-number order: the bars of the chart.
std::vector<int> pointsInHorseOrder(const GameState &state);

} // namespace mvx
