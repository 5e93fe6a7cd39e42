#include "synth/forecasts.h"

#include "combi/integer_text.h"

#include <algorithm>

namespace mvx {

namespace {

bool hasCurrentForecast(const GameState &state)
{
    return state.currentForecast >= 1 && state.currentForecast <= kForecastRows;
}

} // namespace

int forecastRowsInUse(const GameState &state)
{
    return std::clamp(state.forecastCount, 0, kForecastRows);
}

int forecastPositionsInUse(const GameState &state)
{
    return std::clamp(state.horsesPerForecast, 0, kForecastPositions);
}

void clearForecasts(GameState &state)
{
    const int rows = forecastRowsInUse(state);
    const int positions = forecastPositionsInUse(state);
    for (int f = 1; f <= rows; ++f)
        std::fill_n(state.forecasts[f - 1].begin(), positions, 0);
}

void storeForecast(GameState &state, const std::array<QString, kForecastPositions> &boxTexts)
{
    if (!hasCurrentForecast(state))
        return;
    auto &row = state.forecasts[state.currentForecast - 1];
    const int positions = forecastPositionsInUse(state);
    for (int k = 1; k <= positions; ++k) {
        const auto horse = parseInteger(boxTexts[k - 1]);
        // A signed text can only arrive by a program write, never by typing; a negative horse
        // number would mean nothing to the synthesis, so it is ignored like any other bad text.
        if (horse && *horse >= 0 && *horse <= state.horseCount)
            row[k - 1] = *horse;
    }
}

std::vector<int> forecastToShow(const GameState &state)
{
    if (!hasCurrentForecast(state))
        return {};
    const auto &row = state.forecasts[state.currentForecast - 1];
    return std::vector<int>(row.begin(), row.begin() + forecastPositionsInUse(state));
}

bool stepToPreviousForecast(GameState &state, const std::array<QString, kForecastPositions> &boxTexts)
{
    if (state.currentForecast < 2)
        return false;
    storeForecast(state, boxTexts);
    state.currentForecast = std::min(state.currentForecast - 1, kForecastRows);
    return true;
}

bool stepToNextForecast(GameState &state, const std::array<QString, kForecastPositions> &boxTexts)
{
    if (state.currentForecast >= forecastRowsInUse(state))
        return false;
    storeForecast(state, boxTexts);
    ++state.currentForecast;
    return true;
}

} // namespace mvx
