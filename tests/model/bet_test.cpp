// The bets of a race: their names, sizes and the bet a ticket size gave before it was chosen.

#include "model/bet.h"

#include <gtest/gtest.h>

#include <QSet>

namespace mvx {
namespace {

TEST(Bet, EveryBetHasOneToolNameThatGivesItBack)
{
    const std::vector<Bet> bets = allBets();
    // 16 kinds, the Multi in four sizes and the Mini Multi in three.
    EXPECT_EQ(bets.size(), std::size_t(16 + 3 + 2));
    QSet<QString> names;
    for (const Bet &bet : bets) {
        EXPECT_TRUE(isValidBet(bet));
        EXPECT_EQ(betFromCliName(betCliName(bet)), bet) << betCliName(bet).toStdString();
        names.insert(betCliName(bet));
    }
    EXPECT_EQ(names.size(), qsizetype(bets.size()));
    EXPECT_EQ(betName(Bet { Bet::Kind::Multi, 5 }), QStringLiteral("Multi en 5"));
    EXPECT_EQ(betCliName(Bet { Bet::Kind::MiniMulti, 4 }), QStringLiteral("mini-multi4"));
    EXPECT_FALSE(isValidBet(Bet { Bet::Kind::Multi, 8 }));
    EXPECT_FALSE(isValidBet(Bet { Bet::Kind::MiniMulti, 7 }));
    EXPECT_FALSE(isValidBet(Bet { Bet::Kind::Trio, 4 }));
    EXPECT_FALSE(betFromCliName(QStringLiteral("multi")));
}

TEST(Bet, ATicketSizeGivesTheBetOfOldFirstThenTheOthers)
{
    EXPECT_EQ(classicBet(2), (Bet { Bet::Kind::Couple, 2 }));
    EXPECT_EQ(classicBet(5), (Bet { Bet::Kind::Quinte, 5 }));
    EXPECT_FALSE(classicBet(1));
    EXPECT_FALSE(classicBet(6));
    const std::vector<Bet> pairs = betsOfSize(2);
    ASSERT_EQ(pairs.size(), std::size_t(5));
    EXPECT_EQ(pairs.front().kind, Bet::Kind::Couple);
    const std::vector<Bet> fives = betsOfSize(5);
    ASSERT_EQ(fives.size(), std::size_t(4)); // quinté+, Multi en 5, Mini Multi en 5, Pick5
    EXPECT_EQ(betsOfSize(7), (std::vector<Bet> { { Bet::Kind::Multi, 7 } }));
    EXPECT_TRUE(isOrdered(Bet { Bet::Kind::CoupleInOrder, 2 }));
    EXPECT_FALSE(isOrdered(Bet { Bet::Kind::CouplePlaced, 2 }));
    EXPECT_FALSE(hasComplement(Bet { Bet::Kind::Multi, 6 }));
    EXPECT_TRUE(hasComplement(Bet { Bet::Kind::Pick5, 5 }));
}

} // namespace
} // namespace mvx
