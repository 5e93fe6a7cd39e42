// Reading a ticket text file back, and the cost of a game.

#include "combi/game_cost.h"
#include "combi/ticket_text.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <vector>

namespace mvx {
namespace {

TEST(TicketHoles, ReadsTicketTextAndNamesTheFaultyLine)
{
    QByteArray text("7,3,12,\r\n7,3,5,\r\n\r\n12,5,1\n");
    QBuffer in(&text);
    in.open(QIODevice::ReadOnly);
    std::vector<std::vector<int>> read;
    EXPECT_TRUE(readTicketText(in, [&](std::span<const int> t) {
        read.emplace_back(t.begin(), t.end());
        return true;
    }).isEmpty());
    EXPECT_EQ(read, (std::vector<std::vector<int>> { { 7, 3, 12 }, { 7, 3, 5 }, { 12, 5, 1 } }));

    QByteArray bad("7,3,12,\r\n7,x,5,\r\n");
    QBuffer badIn(&bad);
    badIn.open(QIODevice::ReadOnly);
    const QString error = readTicketText(badIn, [](std::span<const int>) { return true; });
    EXPECT_TRUE(error.startsWith(QStringLiteral("ligne 2"))) << error.toStdString();
}

TEST(GameCost, TicketsTimesStakeTimesMultiplier)
{
    EXPECT_EQ(defaultUnitStakeCents(2), 150);
    EXPECT_EQ(defaultUnitStakeCents(3), 100);
    EXPECT_EQ(defaultUnitStakeCents(4), 130);
    EXPECT_EQ(defaultUnitStakeCents(5), 200);
    EXPECT_EQ(defaultUnitStakeCents(6), std::nullopt);
    EXPECT_EQ(gameCostCents(1860480, 200, 1), 372096000);
    EXPECT_EQ(gameCostCents(66, 130, 3), 25740);
    EXPECT_EQ(gameCostCents(5079110400, 100000000, 1000000), std::nullopt) << "overflow must be refused";
    EXPECT_EQ(euroText(372096000), QStringLiteral("3720960.00 €"));
    EXPECT_EQ(euroText(5), QStringLiteral("0.05 €"));
    EXPECT_EQ(parseEuroCents(u"1,50"), 150);
    EXPECT_EQ(parseEuroCents(u"1.5"), 150);
    EXPECT_EQ(parseEuroCents(u" 2 "), 200);
    for (const char16_t *bad : { u"", u"1,505", u"1,", u",5", u"1,2,3", u"-1", u"abc", u"2000000" })
        EXPECT_EQ(parseEuroCents(bad), std::nullopt) << QString::fromUtf16(bad).toStdString();
}

} // namespace
} // namespace mvx
