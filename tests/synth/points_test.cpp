#include "synth/points.h"

#include <gtest/gtest.h>

#include <memory>

namespace mvx {
namespace {

using Points = std::array<std::int32_t, kForecastPositions>;

Points pointsOf(std::initializer_list<int> first)
{
    Points points {};
    std::copy(first.begin(), first.end(), points.begin());
    return points;
}

TEST(Points, DefaultRule)
{
    auto state = std::make_unique<GameState>();
    state->pointsByPosition.fill(50);
    setDefaultPoints(*state, 3);
    EXPECT_EQ(state->pointsByPosition, pointsOf({ 3, 2, 1 }));
    setDefaultPoints(*state, 8);
    EXPECT_EQ(state->pointsByPosition, pointsOf({ 8, 7, 6, 5, 4, 3, 2, 1 }));

    // Only 20 positions exist.
    setDefaultPoints(*state, 25);
    EXPECT_EQ(state->pointsByPosition.front(), 25);
    EXPECT_EQ(state->pointsByPosition.back(), 6);
    setDefaultPoints(*state, 99);
    EXPECT_EQ(state->pointsByPosition.back(), 80);
    setDefaultPoints(*state, -3);
    EXPECT_EQ(state->pointsByPosition, Points {});
}

TEST(Points, DefaultButtonReadsTheHorsesPerForecastBox)
{
    auto state = std::make_unique<GameState>();
    setDefaultPoints(*state, 8);
    const Points eight = state->pointsByPosition;

    for (const char *text : { "", "0", "abc", "-2" }) {
        EXPECT_FALSE(applyDefaultPoints(*state, QString::fromUtf8(text))) << text;
        EXPECT_EQ(state->pointsByPosition, eight) << text;
    }
    EXPECT_TRUE(applyDefaultPoints(*state, QStringLiteral("5")));
    EXPECT_EQ(state->pointsByPosition, pointsOf({ 5, 4, 3, 2, 1 }));
}

TEST(Points, RestoreAtStartUp)
{
    auto state = std::make_unique<GameState>();
    state->pointsByPosition.fill(1);
    // A first saved point of 0 means "not saved", whatever follows.
    state->settings.savedPointsByPosition = pointsOf({ 0, 9, 9, 9 });
    restorePoints(*state);
    EXPECT_EQ(state->pointsByPosition, pointsOf({ 8, 7, 6, 5, 4, 3, 2, 1 }));

    // A value above 20 is restored as it was saved.
    state->settings.savedPointsByPosition = pointsOf({ 12, 0, 30, 1 });
    restorePoints(*state);
    EXPECT_EQ(state->pointsByPosition, pointsOf({ 12, 0, 30, 1 }));
}

TEST(Points, BoxesUpdateTheTable)
{
    auto state = std::make_unique<GameState>();
    setDefaultPoints(*state, 8);
    std::array<QString, kForecastPositions> boxes;
    boxes[0] = QStringLiteral("10");
    boxes[1] = QStringLiteral("0");
    boxes[2] = QString(); // emptied: keeps 6
    boxes[3] = QStringLiteral("25");
    boxes[4] = QStringLiteral(" 7");
    boxes[19] = QStringLiteral("3");

    updatePointsFromBoxes(*state, boxes);

    EXPECT_EQ(state->pointsByPosition, pointsOf({ 10, 0, 6, 25, 7, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3 }));
    EXPECT_EQ(pointsAt(*state, 4), 25);
    EXPECT_EQ(pointsAt(*state, 20), 3);
    EXPECT_EQ(pointsAt(*state, 0), 0);
    EXPECT_EQ(pointsAt(*state, 21), 0);
}

} // namespace
} // namespace mvx
