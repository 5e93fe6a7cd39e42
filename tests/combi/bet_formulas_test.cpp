// The bets' formulas (combinée, champ partiel, champ total) and the tickets a recipe makes for a
// bet: counts against the closed formulas, order or not as the bet says.

#include "combi/bet_formulas.h"
#include "combi/game_cost.h"
#include "combi/generation.h"
#include "combi/ticket_file.h"
#include "combi/ticket_recipe.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace mvx {
namespace {

// C(n, r) and n(n−1)…(n−r+1), written out as the operator's tables give them.
std::uint64_t choose(int n, int r)
{
    std::uint64_t c = 1;
    for (int i = 1; i <= r; ++i)
        c = c * std::uint64_t(n - r + i) / std::uint64_t(i);
    return c;
}

std::uint64_t falling(int n, int r)
{
    std::uint64_t c = 1;
    for (int i = 0; i < r; ++i)
        c *= std::uint64_t(n - i);
    return c;
}

BetFormula formula(Bet bet, BetFormula::Kind kind, int bases, int chosen, int runners = 0)
{
    return BetFormula { bet, kind, bases, chosen, runners };
}

constexpr Bet kTrio { Bet::Kind::Trio, 3 };
constexpr Bet kTrioInOrder { Bet::Kind::TrioInOrder, 3 };

TEST(BetFormulas, CountsFollowTheClosedFormulasWithAndWithoutOrder)
{
    using F = BetFormula::Kind;
    struct Case
    {
        BetFormula formula;
        std::uint64_t expected;
    };
    const Case cases[] = {
        { formula({ Bet::Kind::Multi, 7 }, F::Combined, 0, 20), choose(20, 7) },
        { formula({ Bet::Kind::CoupleInOrder, 2 }, F::Combined, 0, 6), falling(6, 2) },
        { formula({ Bet::Kind::CouplePlaced, 2 }, F::Combined, 0, 6), choose(6, 2) },
        { formula(kTrioInOrder, F::PartialField, 2, 5), falling(5, 1) },
        { formula({ Bet::Kind::Super4, 4 }, F::PartialField, 1, 6), falling(6, 3) },
        { formula({ Bet::Kind::Pick5, 5 }, F::PartialField, 3, 6), choose(6, 2) },
        // Champ total: every runner but the bases is an associate.
        { formula({ Bet::Kind::TwoOfFour, 2 }, F::TotalField, 1, 0, 14), choose(13, 1) },
        { formula({ Bet::Kind::Multi, 5 }, F::TotalField, 2, 0, 16), choose(14, 3) },
        { formula({ Bet::Kind::Quinte, 5 }, F::TotalField, 3, 0, 18), falling(15, 2) },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(betName(c.formula.bet).toStdString());
        EXPECT_FALSE(checkBetFormula(c.formula));
        EXPECT_EQ(formulaTicketCount(c.formula), c.expected);
    }

    // Refused: a champ total without its runners, a champ that leaves no place to associates, a
    // fourth base, a simple in champ, a combinée of fewer horses than a ticket holds.
    EXPECT_TRUE(checkBetFormula(formula(kTrio, F::TotalField, 1, 0, 0)));
    EXPECT_TRUE(checkBetFormula(formula(kTrio, F::PartialField, 3, 4)));
    EXPECT_TRUE(checkBetFormula(formula({ Bet::Kind::Pick5, 5 }, F::PartialField, 4, 6)));
    EXPECT_TRUE(checkBetFormula(formula({ Bet::Kind::SimpleWinner, 1 }, F::PartialField, 1, 5)));
    EXPECT_TRUE(checkBetFormula(formula({ Bet::Kind::Multi, 6 }, F::Combined, 0, 5)));
    EXPECT_EQ(formulaTicketCount(formula(kTrio, F::PartialField, 2, 0)), 0u);
}

std::vector<std::vector<int>> made(const TicketRecipe &recipe)
{
    Selection selection;
    MemoryTicketSink sink;
    generateTickets(selection, recipe, sink);
    const TicketList list = sink.takeList();
    const TicketReader reader(selection, list.layout());
    std::vector<std::vector<int>> tickets;
    for (std::int64_t t = 1; t <= list.count(); ++t) {
        std::vector<int> ticket;
        for (int p = 1; p <= list.horsesPerTicket(); ++p)
            ticket.push_back(reader.horse(list.ticket(t), p));
        tickets.push_back(ticket);
    }
    EXPECT_EQ(std::uint64_t(tickets.size()), requestTicketCount(recipe));
    return tickets;
}

TEST(BetFormulas, TheBetDecidesBetweenArrangementsAndCombinations)
{
    TicketRecipe recipe;
    recipe.source = TicketSource::Generator;
    recipe.boxes[0] = QStringLiteral("7");
    recipe.boxes[1] = QStringLiteral("13");
    recipe.boxes[2] = QStringLiteral("2");
    recipe.boxes[3] = QStringLiteral("9");
    // The generator's switch says combinations; a trio ordre still needs every order.
    recipe.generator = formulaGenerator(formula(kTrioInOrder, BetFormula::Kind::Combined, 0, 4));
    recipe.generator.reduced = true;
    recipe.bet = kTrioInOrder;
    ASSERT_TRUE(checkTicketRequest(recipe).empty());
    const auto ordered = made(recipe);
    EXPECT_EQ(ordered.size(), std::size_t(falling(4, 3)));
    EXPECT_EQ(std::set(ordered.begin(), ordered.end()).size(), ordered.size());
    EXPECT_EQ(ordered.front(), (std::vector<int> { 7, 13, 2 }));

    // The trio on the same horses: each set of three once.
    recipe.bet = kTrio;
    recipe.generator.reduced = false;
    const auto unordered = made(recipe);
    EXPECT_EQ(unordered.size(), std::size_t(choose(4, 3)));
    std::set<std::set<int>> sets;
    for (const auto &ticket : unordered)
        sets.insert(std::set(ticket.begin(), ticket.end()));
    EXPECT_EQ(sets.size(), unordered.size());

    // The tiercé keeps the punter's choice, as it always did.
    recipe.bet = Bet { Bet::Kind::Tierce, 3 };
    EXPECT_EQ(made(recipe).size(), std::size_t(falling(4, 3)));

    // A bet of another size than the tickets is refused, in French.
    recipe.bet = Bet { Bet::Kind::Multi, 4 };
    const std::vector<Message> refused = checkTicketRequest(recipe);
    ASSERT_EQ(refused.size(), std::size_t(1));
    EXPECT_EQ(refused[0].text,
        QStringLiteral("Ces tickets ont 3 chevaux : ils ne conviennent pas au pari Multi en 4, qui se joue avec 4 "
                       "chevaux."));
}

TEST(BetFormulas, TheMultiEnSevenOnTwentyHorsesIsCostedAndListed)
{
    const BetFormula multi = formula({ Bet::Kind::Multi, 7 }, BetFormula::Kind::Combined, 0, 20);
    TicketRecipe recipe;
    recipe.source = TicketSource::Generator;
    recipe.generator = formulaGenerator(multi);
    recipe.bet = multi.bet;
    for (int h = 1; h <= 20; ++h)
        recipe.boxes[std::size_t(h - 1)] = QString::number(21 - h);
    ASSERT_TRUE(checkTicketRequest(recipe).empty());
    EXPECT_EQ(requestTicketCount(recipe), 77520u);
    // 3 € the ticket, whatever the Multi's size.
    EXPECT_EQ(stakesCostCents(defaultStakes(), *recipeBet(recipe), 77520), std::int64_t(77520) * 300);
    const auto tickets = made(recipe);
    ASSERT_EQ(tickets.size(), std::size_t(77520));
    EXPECT_EQ(tickets.back(), (std::vector<int> { 7, 6, 5, 4, 3, 2, 1 }));
}

} // namespace
} // namespace mvx
