#include "synth/points.h"

#include "combi/integer_text.h"

#include <algorithm>

namespace mvx {

void setDefaultPoints(GameState &state, int n)
{
    state.pointsByPosition.fill(0);
    const int positions = std::clamp(n, 0, kForecastPositions);
    for (int p = 1; p <= positions; ++p)
        state.pointsByPosition[p - 1] = n - p + 1;
}

void restorePoints(GameState &state)
{
    const auto &saved = state.settings.savedPointsByPosition;
    if (saved[0] != 0)
        std::copy(saved.begin(), saved.end(), state.pointsByPosition.begin());
    else
        setDefaultPoints(state, 8);
}

bool applyDefaultPoints(GameState &state, const QString &horsesPerForecastText)
{
    const int n = parseInteger(horsesPerForecastText).value_or(0);
    if (n <= 0)
        return false;
    setDefaultPoints(state, n);
    return true;
}

void updatePointsFromBoxes(GameState &state, const std::array<QString, kForecastPositions> &boxTexts)
{
    for (int p = 1; p <= kForecastPositions; ++p) {
        if (const auto points = parseInteger(boxTexts[p - 1]))
            state.pointsByPosition[p - 1] = *points;
    }
}

int pointsAt(const GameState &state, int position)
{
    if (position < 1 || position > kForecastPositions)
        return 0;
    return state.pointsByPosition[position - 1];
}

} // namespace mvx
