#include "synth/forecasts.h"

#include <gtest/gtest.h>

#include <memory>

namespace mvx {
namespace {

using BoxTexts = std::array<QString, kForecastPositions>;

BoxTexts texts(std::initializer_list<const char *> values)
{
    BoxTexts boxes;
    int k = 0;
    for (const char *v : values)
        boxes[k++] = QString::fromUtf8(v);
    return boxes;
}

std::unique_ptr<GameState> raceOf(int horses, int perForecast, int forecasts)
{
    auto state = std::make_unique<GameState>();
    state->horseCount = horses;
    state->horsesPerForecast = perForecast;
    state->forecastCount = forecasts;
    return state;
}

// Forecast f, position p, counted from 1.
int &at(GameState &state, int f, int p)
{
    return state.forecasts[f - 1][p - 1];
}

TEST(Forecasts, StoreKeepsEmptyBoxesClearsZerosAndIgnoresHorsesAboveTheCount)
{
    auto state = raceOf(16, 8, 5);
    state->currentForecast = 2;
    at(*state, 2, 3) = 9;
    at(*state, 2, 4) = 4;
    at(*state, 2, 5) = 3;
    at(*state, 2, 6) = 2;
    at(*state, 2, 7) = 11;

    storeForecast(*state, texts({ "5", "17", "", "0", "00", "-3", " 12", "16", "8", "8" }));

    EXPECT_EQ(at(*state, 2, 1), 5);
    EXPECT_EQ(at(*state, 2, 2), 0) << "17 is above the 16 horses";
    EXPECT_EQ(at(*state, 2, 3), 9) << "an empty box keeps the number";
    EXPECT_EQ(at(*state, 2, 4), 0);
    EXPECT_EQ(at(*state, 2, 5), 0);
    EXPECT_EQ(at(*state, 2, 6), 2) << "a negative number is not a horse";
    EXPECT_EQ(at(*state, 2, 7), 12);
    EXPECT_EQ(at(*state, 2, 8), 16);
    EXPECT_EQ(at(*state, 2, 9), 0) << "position 9 is not in use";
    EXPECT_EQ(at(*state, 1, 1), 0);
    EXPECT_EQ(at(*state, 3, 1), 0);

    const std::vector<int> shown = forecastToShow(*state);
    EXPECT_EQ(shown, (std::vector<int> { 5, 0, 9, 0, 0, 2, 12, 16 }));
}

TEST(Forecasts, StepsForwardAndBackStoringOnlyWhenTheyMove)
{
    auto state = raceOf(20, 3, 3);
    state->currentForecast = 1;

    EXPECT_FALSE(stepToPreviousForecast(*state, texts({ "7", "7", "7" })));
    EXPECT_EQ(state->currentForecast, 1);
    EXPECT_EQ(at(*state, 1, 1), 0) << "the first forecast's previous stores nothing";

    EXPECT_TRUE(stepToNextForecast(*state, texts({ "1", "2", "3" })));
    EXPECT_EQ(state->currentForecast, 2);
    EXPECT_TRUE(stepToNextForecast(*state, texts({ "4", "5", "6" })));
    EXPECT_EQ(state->currentForecast, 3);

    EXPECT_FALSE(stepToNextForecast(*state, texts({ "9", "9", "9" })));
    EXPECT_EQ(state->currentForecast, 3);
    EXPECT_EQ(at(*state, 3, 1), 0) << "the last forecast's next stores nothing";

    EXPECT_TRUE(stepToPreviousForecast(*state, texts({ "9", "8", "" })));
    EXPECT_EQ(state->currentForecast, 2);
    EXPECT_EQ(forecastToShow(*state), (std::vector<int> { 4, 5, 6 }));
    EXPECT_EQ(at(*state, 3, 1), 9);
    EXPECT_EQ(at(*state, 3, 2), 8);
    EXPECT_EQ(at(*state, 1, 3), 3);
}

TEST(Forecasts, CountsBeyondTheTableStayInsideIt)
{
    auto state = raceOf(99, 99, 9999);
    EXPECT_EQ(forecastRowsInUse(*state), kForecastRows);
    EXPECT_EQ(forecastPositionsInUse(*state), kForecastPositions);

    state->currentForecast = kForecastRows - 1;
    BoxTexts all;
    all.fill(QStringLiteral("42"));
    EXPECT_TRUE(stepToNextForecast(*state, all));
    EXPECT_EQ(state->currentForecast, kForecastRows);
    EXPECT_FALSE(stepToNextForecast(*state, all)) << "row 500 is the last the table has";
    EXPECT_EQ(state->currentForecast, kForecastRows);
    storeForecast(*state, all);
    EXPECT_EQ(at(*state, kForecastRows, kForecastPositions), 42);
    EXPECT_EQ(forecastToShow(*state).size(), std::size_t(kForecastPositions));

    clearForecasts(*state);
    for (const auto &row : state->forecasts)
        for (int horse : row)
            ASSERT_EQ(horse, 0);

    // No current forecast: nothing is read or written.
    for (int current : { 0, -1, kForecastRows + 1 }) {
        state->currentForecast = current;
        storeForecast(*state, all);
        EXPECT_TRUE(forecastToShow(*state).empty());
    }
    for (const auto &row : state->forecasts)
        for (int horse : row)
            ASSERT_EQ(horse, 0);

    state->horsesPerForecast = -4;
    state->forecastCount = -1;
    state->currentForecast = 1;
    EXPECT_TRUE(forecastToShow(*state).empty());
    EXPECT_FALSE(stepToNextForecast(*state, all));
}

TEST(Forecasts, ClearingTouchesOnlyTheRowsAndPositionsInUse)
{
    auto state = raceOf(20, 8, 5);
    for (auto &row : state->forecasts)
        row.fill(7);

    clearForecasts(*state);

    for (int f = 1; f <= 5; ++f)
        for (int p = 1; p <= 8; ++p)
            EXPECT_EQ(at(*state, f, p), 0) << f << "," << p;
    for (int p = 9; p <= 20; ++p)
        EXPECT_EQ(at(*state, 5, p), 7);
    for (int p = 1; p <= 20; ++p)
        EXPECT_EQ(at(*state, 6, p), 7);
    EXPECT_EQ(at(*state, 500, 1), 7);

    // Numbers out of use come back when the counts grow again.
    state->horsesPerForecast = 10;
    state->currentForecast = 5;
    EXPECT_EQ(forecastToShow(*state), (std::vector<int> { 0, 0, 0, 0, 0, 0, 0, 0, 7, 7 }));
}

} // namespace
} // namespace mvx
