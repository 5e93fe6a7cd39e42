#include "arrival/bet_judge.h"
#include "arrival/rapports_text.h"
#include "combi/game_cost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace mvx;

namespace {

using Horses = std::vector<int>;
using C = ResultCategory;

// One rapport for each whole category of the bets judged by the rule table.
const std::vector<const char *> kEveryCategory { "Simple gagnant 2,10", "Simple placé 1,30", "Couplé gagnant 12",
    "Couplé placé 4,50", "Couplé ordre 25", "Couplé gagnant 1 NP 3", "Couplé placé 1 NP 1,50", "Couplé ordre 1 NP 3,50",
    "2sur4 4,10", "2sur4 1 NP 1,70", "Trio 30", "Trio 1 NP 6", "Trio 2 NP 2,20", "Trio ordre 180", "Trio ordre 1 NP 20",
    "Trio ordre 2 NP 2,40", "Super4 900", "Super4 1 NP 90", "Super4 2 NP 9", "Multi en 4 400", "Multi en 5 84",
    "Multi en 6 28", "Multi en 7 12", "Mini Multi en 4 60", "Mini Multi en 5 12", "Mini Multi en 6 4", "Pick5 500",
    "Pick5 1 NP 210" };

OfficialResult resultOf(const QString &arrival, Horses nonRunners = {}, int complement = 0, int runners = 0,
    const std::vector<const char *> &rapports = kEveryCategory)
{
    OfficialResult result;
    for (const QString &place : arrival.split(QLatin1Char(','))) {
        Horses tied;
        for (const QString &horse : place.split(QLatin1Char('=')))
            tied.push_back(horse.toInt());
        result.arrival.push_back(tied);
    }
    for (const char *line : rapports) {
        const std::optional<Rapport> rapport = parseRapportLine(QString::fromUtf8(line));
        EXPECT_TRUE(rapport) << line;
        if (rapport)
            result.rapports.push_back(*rapport);
    }
    result.nonRunners = std::move(nonRunners);
    result.complement = complement;
    result.runners = runners;
    EXPECT_EQ(resultProblem(result), QString());
    return result;
}

// What a ticket gets, as the tool's line shows it: "Trio 7-13-2 30.00".
std::string row(const BetJudge &judge, const Horses &ticket)
{
    const TicketResult judged = judge.judge(ticket);
    std::string shown = gridLabel(judged.category).toStdString();
    if (judged.paid)
        shown += " " + combinationText(judged.combination).toStdString() + " "
            + QString::number(judged.amount, 'f', 2).toStdString();
    return shown;
}

struct Case
{
    const char *bet;
    const char *arrival;
    Horses nonRunners;
    int complement;
    int runners; // 0: not known
    Horses ticket;
    const char *expected;
};

} // namespace

// Worked by hand from the rule table, bet by bet: a plain arrival, a dead heat, non-runners
// with and without the complément, a refund.
TEST(BetJudge, EveryBetAsTheRulesSay)
{
    const char *a = "7,13,2,9,4";
    const std::vector<Case> cases {
        { "simple-gagnant", a, {}, 0, 0, { 7 }, "Simple gagnant 7 2.10" },
        { "simple-gagnant", a, {}, 0, 0, { 13 }, "" },
        { "simple-gagnant", "7=13,2,9", {}, 0, 0, { 13 }, "Simple gagnant 13 2.10" },
        { "simple-gagnant", a, { 5 }, 11, 0, { 5 }, "Remboursé" }, // no complément for the simple
        { "simple-place", a, {}, 0, 10, { 2 }, "Simple placé 2 1.30" },
        { "simple-place", a, {}, 0, 6, { 2 }, "" }, // two places with fewer than 8 runners
        { "simple-place", a, {}, 0, 6, { 13 }, "Simple placé 13 1.30" },
        { "simple-place", "7,13,2", {}, 0, 3, { 7 }, "Remboursé" },
        { "simple-place", "7,13,2=9,4", {}, 0, 10, { 9 }, "Simple placé 9 1.30" },
        { "couple-gagnant", a, {}, 0, 0, { 13, 7 }, "Couplé gagnant 7-13 12.00" },
        { "couple-gagnant", a, {}, 0, 0, { 7, 2 }, "" }, // never paid as placé
        { "couple-gagnant", "7,13=2,9", {}, 0, 0, { 2, 7 }, "Couplé gagnant 7-2 12.00" },
        { "couple-gagnant", "7,13=2,9", {}, 0, 0, { 13, 2 }, "" },
        { "couple-gagnant", a, { 5 }, 0, 0, { 5, 7 }, "Couplé gagnant 1 NP 7-NP 3.00" },
        { "couple-gagnant", a, { 5 }, 0, 0, { 5, 13 }, "" },
        { "couple-gagnant", a, { 5 }, 7, 0, { 5, 13 }, "Couplé gagnant 7-13 12.00" },
        { "couple-gagnant", a, { 5, 6 }, 0, 0, { 5, 6 }, "Remboursé" },
        { "couple-place", a, {}, 0, 0, { 2, 7 }, "Couplé placé 7-2 4.50" },
        { "couple-place", a, {}, 0, 0, { 9, 7 }, "" },
        { "couple-place", "7,13,2=9", {}, 0, 0, { 2, 9 }, "" }, // tied thirds never together
        { "couple-place", "7,13,2=9", {}, 0, 0, { 9, 7 }, "Couplé placé 7-9 4.50" },
        { "couple-place", a, { 5 }, 0, 10, { 5, 2 }, "Couplé placé 1 NP 2-NP 1.50" },
        { "couple-place", a, { 5 }, 0, 7, { 5, 2 }, "" },
        { "couple-place", a, { 5 }, 2, 0, { 5, 13 }, "Couplé placé 13-2 4.50" },
        { "couple-ordre", a, {}, 0, 0, { 7, 13 }, "Couplé ordre 7-13 25.00" },
        { "couple-ordre", a, {}, 0, 0, { 13, 7 }, "" },
        { "couple-ordre", "7=13,2", {}, 0, 0, { 13, 7 }, "Couplé ordre 13-7 25.00" },
        { "couple-ordre", a, { 5 }, 0, 0, { 7, 5 }, "Couplé ordre 1 NP 7-NP 3.50" },
        { "couple-ordre", a, { 5 }, 13, 0, { 5, 7 }, "Couplé ordre 7-13 25.00" }, // the complément comes last
        { "2sur4", a, {}, 0, 0, { 9, 13 }, "2sur4 13-9 4.10" },
        { "2sur4", a, {}, 0, 0, { 4, 7 }, "" },
        { "2sur4", "7,13,2,9=4", {}, 0, 0, { 9, 4 }, "" }, // two horses tied 4th
        { "2sur4", "7,13,2,9=4", {}, 0, 0, { 4, 7 }, "2sur4 7-4 4.10" },
        { "2sur4", "7,13,2,9", {}, 0, 4, { 7, 13 }, "Remboursé" },
        { "2sur4", a, { 5 }, 0, 0, { 5, 9 }, "2sur4 1 NP 9-NP 1.70" },
        { "2sur4", a, { 5 }, 4, 0, { 5, 9 }, "" },
        { "2sur4", a, { 5 }, 2, 0, { 5, 9 }, "2sur4 2-9 4.10" },
        { "trio", a, {}, 0, 0, { 2, 7, 13 }, "Trio 7-13-2 30.00" },
        { "trio", "7,13,2=9", {}, 0, 0, { 9, 13, 7 }, "Trio 7-13-9 30.00" },
        { "trio", a, { 5 }, 0, 0, { 5, 13, 7 }, "Trio 1 NP 7-13-NP 6.00" },
        { "trio", a, { 5 }, 0, 0, { 5, 7, 2 }, "" },
        { "trio", a, { 5, 6 }, 0, 0, { 5, 6, 7 }, "Trio 2 NP 7-NP-NP 2.20" },
        { "trio", a, { 5 }, 2, 0, { 5, 7, 13 }, "Trio 7-13-2 30.00" },
        { "trio", "7,13", {}, 0, 0, { 7, 13, 2 }, "Remboursé" },
        { "trio", a, { 5, 6, 8 }, 0, 0, { 5, 6, 8 }, "Remboursé" },
        { "trio-ordre", a, {}, 0, 0, { 7, 13, 2 }, "Trio ordre 7-13-2 180.00" },
        { "trio-ordre", a, {}, 0, 0, { 13, 7, 2 }, "" },
        { "trio-ordre", "7=13,2", {}, 0, 0, { 13, 7, 2 }, "Trio ordre 13-7-2 180.00" },
        { "trio-ordre", a, { 5 }, 0, 0, { 7, 5, 13 }, "Trio ordre 1 NP 7-13-NP 20.00" },
        { "trio-ordre", a, { 5 }, 0, 0, { 13, 5, 7 }, "" },
        { "trio-ordre", a, { 5 }, 2, 0, { 7, 5, 13 }, "Trio ordre 7-13-2 180.00" },
        { "super4", a, {}, 0, 0, { 7, 13, 2, 9 }, "Super4 7-13-2-9 900.00" },
        { "super4", a, {}, 0, 0, { 7, 13, 9, 2 }, "" },
        { "super4", "7,13,2=9", {}, 0, 0, { 7, 13, 9, 2 }, "Super4 7-13-9-2 900.00" },
        { "super4", a, { 5 }, 0, 0, { 7, 13, 2, 5 }, "Super4 1 NP 7-13-2-NP 90.00" },
        { "super4", a, { 5, 6, 8 }, 0, 0, { 7, 5, 6, 8 }, "Remboursé" },
        { "super4", a, { 5 }, 9, 0, { 7, 13, 5, 2 }, "Super4 7-13-2-9 900.00" },
        { "multi5", a, {}, 0, 0, { 1, 7, 13, 2, 9 }, "Multi en 5 7-13-2-9 84.00" },
        { "multi4", a, {}, 0, 0, { 7, 13, 2, 4 }, "" },
        { "multi5", a, {}, 0, 7, { 1, 7, 13, 2, 9 }, "Remboursé" },
        { "multi4", "7,13,2,9=4", {}, 0, 0, { 7, 13, 2, 4 }, "Multi en 4 7-13-2-4 400.00" },
        { "multi5", a, { 5 }, 1, 0, { 5, 7, 13, 2, 9 }, "Multi en 4 7-13-2-9 400.00" }, // no complément
        { "multi6", a, { 5, 6, 8 }, 0, 0, { 5, 6, 8, 7, 13, 2 }, "Remboursé" },
        { "multi7", a, { 5, 6, 8 }, 0, 0, { 5, 6, 8, 7, 13, 2, 9 }, "Multi en 4 7-13-2-9 400.00" },
        { "multi7", a, { 5 }, 0, 0, { 5, 1, 3, 7, 13, 2, 9 }, "Multi en 6 7-13-2-9 28.00" },
        { "mini-multi6", a, {}, 0, 7, { 7, 13, 2, 9, 1, 3 }, "Mini Multi en 6 7-13-2-9 4.00" },
        { "mini-multi5", a, { 5, 6 }, 0, 0, { 5, 6, 7, 13, 2 }, "Remboursé" },
        { "mini-multi5", a, { 5 }, 0, 0, { 5, 7, 13, 2, 9 }, "Mini Multi en 4 7-13-2-9 60.00" },
        { "mini-multi4", "7,13=2,9", {}, 0, 0, { 7, 2, 13, 9 }, "Mini Multi en 4 7-13-2-9 60.00" },
        { "pick5", a, {}, 0, 0, { 9, 2, 13, 4, 7 }, "Pick5 7-13-2-9-4 500.00" },
        { "pick5", "7,13,2,9,4=1", {}, 0, 0, { 7, 13, 2, 9, 1 }, "Pick5 7-13-2-9-1 500.00" },
        { "pick5", a, { 5 }, 0, 0, { 5, 7, 13, 2, 9 }, "Pick5 1 NP 7-13-2-9-NP 210.00" },
        { "pick5", a, { 5, 6 }, 0, 0, { 5, 6, 7, 13, 2 }, "Remboursé" },
        { "pick5", a, { 5 }, 4, 0, { 5, 7, 13, 2, 9 }, "Pick5 7-13-2-9-4 500.00" },
        { "pick5", "7,13,2,9", {}, 0, 0, { 7, 13, 2, 9, 4 }, "Remboursé" },
    };
    for (const Case &c : cases) {
        const std::optional<Bet> bet = betFromCliName(QString::fromLatin1(c.bet));
        ASSERT_TRUE(bet) << c.bet;
        const BetJudge judge(
            resultOf(QString::fromLatin1(c.arrival), c.nonRunners, c.complement, c.runners), *bet, defaultStakes());
        EXPECT_EQ(row(judge, c.ticket), c.expected)
            << c.bet << " " << c.arrival << " ticket " << combinationText(c.ticket).toStdString();
    }
}

TEST(BetJudge, OwnRapportOfEachTiedPairAndTheComplementOnTheTicket)
{
    // Published per pair: each tied horse with the winner has its own 2sur4 rapport.
    const BetJudge twoOfFour(resultOf("7,13,2,9=4", {}, 0, 0, { "2sur4 7-9 4,10", "2sur4 7-4 5,30" }),
        Bet { Bet::Kind::TwoOfFour, 2 }, defaultStakes());
    EXPECT_EQ(row(twoOfFour, { 4, 7 }), "2sur4 7-4 5.30");
    EXPECT_EQ(row(twoOfFour, { 7, 9 }), "2sur4 7-9 4.10");
    // A rapport for the pair goes before a higher one for the whole category.
    const BetJudge oneAndAll(resultOf("7,13,2,9,4", {}, 0, 0, { "2sur4 50", "2sur4 7-9 4,10" }),
        Bet { Bet::Kind::TwoOfFour, 2 }, defaultStakes());
    EXPECT_EQ(row(oneAndAll, { 9, 7 }), "2sur4 7-9 4.10");
    EXPECT_EQ(row(oneAndAll, { 13, 7 }), "2sur4 7-13 50.00");
    // A simple's rapport is published with its one horse, and reads back as written.
    const BetJudge placed(resultOf("7,13,2=9,4", {}, 0, 9, { "Simple placé 13 1,80", "Simple placé 9 2,10" }),
        Bet { Bet::Kind::SimplePlaced, 1 }, defaultStakes());
    EXPECT_EQ(row(placed, { 9 }), "Simple placé 9 2.10");
    EXPECT_EQ(row(placed, { 13 }), "Simple placé 13 1.80");
    EXPECT_EQ(row(placed, { 7 }), "Simple placé");
    EXPECT_EQ(parseRapportLine(rapportLine(placed.result().rapports[1])), placed.result().rapports[1]);
    // The Pick5's non-runner rapport is published with its four runners and "NP".
    const BetJudge pick5OneNonRunner(resultOf("7,13,2,9,4", { 5 }, 0, 0, { "Pick5 1 NP 7-13-2-9-NP 210,00" }),
        Bet { Bet::Kind::Pick5, 5 }, defaultStakes());
    EXPECT_EQ(row(pick5OneNonRunner, { 9, 5, 2, 13, 7 }), "Pick5 1 NP 7-13-2-9-NP 210.00");
    EXPECT_EQ(row(pick5OneNonRunner, { 9, 5, 2, 13, 4 }), "");
    // A ticket holding the complément cannot be made; a bet without complément ignores it.
    const OfficialResult withComplement = resultOf("7,13,2,9,4", { 5 }, 4);
    const BetJudge pick5(withComplement, Bet { Bet::Kind::Pick5, 5 }, defaultStakes());
    EXPECT_TRUE(pick5.judge(Horses { 4, 7, 13, 2, 9 }).holdsComplement);
    const BetJudge multi(withComplement, Bet { Bet::Kind::Multi, 5 }, defaultStakes());
    EXPECT_EQ(row(multi, { 4, 7, 13, 2, 9 }), "Multi en 5 7-13-2-9 84.00");
}

TEST(BetJudge, BetsOfOldJudgedAsBefore)
{
    const OfficialResult result = resultOf("7,13,2=9,4", { 5 }, 0, 0,
        { "Tierce ordre 7-13-2 120.50", "Tiercé désordre 24", "Couplé gagnant 12", "Couplé placé 4", "Bonus 3" });
    const ResultJudge old(result, defaultStakes());
    const std::vector<Horses> tickets { { 7, 2 }, { 13, 9 }, { 5, 7 }, { 7, 13, 2 }, { 9, 7, 13 }, { 5, 13, 7 },
        { 7, 13, 9, 4 }, { 1, 7, 13, 2 }, { 7, 13, 2, 4, 1 }, { 5, 7, 13, 2, 9 } };
    for (const Horses &ticket : tickets) {
        const BetJudge judge(result, *classicBet(int(ticket.size())), defaultStakes());
        const TicketResult before = old.judge(ticket);
        const TicketResult now = judge.judge(ticket);
        EXPECT_EQ(now.category, before.category) << combinationText(ticket).toStdString();
        EXPECT_EQ(now.combination, before.combination);
        EXPECT_EQ(now.amount, before.amount);
    }
}

// The classifier's patterns (positions for an ordered bet, the set of horses for the others)
// give every ticket of a list what the judge gives it.
TEST(BetJudge, ListClassifierAgreesWithTheJudge)
{
    const OfficialResult result = resultOf("7,13=2,9=20,5", { 4, 11, 1 }, 6, 12);
    Selection selection;
    const Horses others { 7, 13, 2, 9, 20, 4, 11, 5, 6, 1 };
    for (std::size_t i = 0; i < others.size(); ++i)
        selection.otherHorses[i + 1] = others[i];
    for (const Bet bet :
        { Bet { Bet::Kind::TrioInOrder, 3 }, Bet { Bet::Kind::Multi, 6 }, Bet { Bet::Kind::Pick5, 5 } }) {
        const int size = horsesPerTicket(bet);
        TicketList list = TicketList::stored(TicketLayout { size, 0, { 0, 0, 0 } }, 5000);
        // Every combination (and for the ordered bet every arrangement) of the ten horses.
        std::string letters(std::size_t(size), 'A');
        std::function<void(int)> fill = [&](int at) {
            if (at == size) {
                list.append(letters);
                return;
            }
            for (char l = 'A'; l <= 'J'; ++l) {
                const bool used = letters.substr(0, std::size_t(at)).find(l) != std::string::npos;
                const bool rising = isOrdered(bet) || at == 0 || l > letters[std::size_t(at - 1)];
                if (!used && rising) {
                    letters[std::size_t(at)] = l;
                    fill(at + 1);
                }
            }
        };
        fill(0);
        const BetJudge judge(result, bet, defaultStakes());
        const BetClassifier classifier(list, selection, judge);
        std::vector<std::uint8_t> bytes(std::size_t(list.count()));
        ResultTotals totals;
        classifier.classify(0, list.count(), bytes.data(), totals);
        ResultTotals expected;
        for (std::int64_t t = 1; t <= list.count(); ++t) {
            const TicketResult judged = judge.judge(classifier.ticketHorses(t));
            ASSERT_EQ(bytes[std::size_t(t - 1)], std::uint8_t(judged.category)) << betName(bet).toStdString() << t;
            if (judged.category != C::None)
                ++expected.counts[std::size_t(judged.category) - 1];
            expected.gains += judged.paid ? judged.amount : 0;
        }
        EXPECT_EQ(totals.counts, expected.counts);
        EXPECT_NEAR(totals.gains, expected.gains, 1e-6);
        EXPECT_GT(totals.gains, 0) << betName(bet).toStdString();
        // Three non-runners refund the Multi en 6, and the Pick5 still has two once the
        // complément has taken the place of one.
        if (!isOrdered(bet)) {
            EXPECT_GT(totals.refunded(), 0) << betName(bet).toStdString();
        }
    }
}

// Each bet judged by the table has its rows, each naming its article, and a plain row that pays a
// category whose published combination has no non-runner.
TEST(BetJudge, EveryBetHasItsRulesWithTheirArticles)
{
    for (const Bet bet : allBets()) {
        if (!judgedByBetRules(bet))
            continue;
        const std::vector<BetRule> rows = betRulesFor(bet);
        ASSERT_FALSE(rows.empty()) << betName(bet).toStdString();
        bool plain = false;
        for (const BetRule &rule : rows) {
            EXPECT_STRNE(rule.article, "") << betName(bet).toStdString();
            if (rule.test == BetTest::Refund)
                continue;
            EXPECT_TRUE(publishesRapports(rule.category)) << betName(bet).toStdString();
            if (rule.mostNonRunners == 0) {
                plain = true;
                EXPECT_EQ(combinationShape(rule.category).nonRunners, 0) << betName(bet).toStdString();
            }
        }
        EXPECT_TRUE(plain) << betName(bet).toStdString();
    }
}
