#include "arrival/official_result.h"
#include "arrival/rapports_text.h"
#include "arrival/result_classification.h"
#include "combi/game_cost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace mvx;

namespace {

using Horses = std::vector<int>;
using C = ResultCategory;

// A result from the tool's texts: "7,13,2=9,20" and rapport lines.
OfficialResult resultOf(
    const QString &arrival, const std::vector<const char *> &rapports = {}, Horses nonRunners = {}, int complement = 0)
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
    EXPECT_EQ(resultProblem(result), QString());
    return result;
}

// What a ticket gets, as a row of the tool shows it: "Tierce ordre 7-13-2 120.50".
std::string row(const ResultJudge &judge, const Horses &ticket)
{
    const TicketResult judged = judge.judge(ticket);
    std::string shown = gridLabel(judged.category).toStdString();
    if (judged.paid)
        shown += " " + combinationText(judged.combination).toStdString() + " "
            + QString::number(judged.amount, 'f', 2).toStdString();
    return shown;
}

Horses permutation(Horses horses, int index)
{
    std::sort(horses.begin(), horses.end());
    for (int i = 0; i < index; ++i)
        std::next_permutation(horses.begin(), horses.end());
    return horses;
}

TicketList listOf(int horsesPerTicket, const std::vector<Horses> &tickets)
{
    TicketList list
        = TicketList::stored(TicketLayout { horsesPerTicket, 0, { 1, 2, 3 } }, std::int64_t(tickets.size()));
    for (const Horses &horses : tickets) {
        std::string letters;
        for (int h : horses)
            letters += char('A' + h - 1);
        list.append(letters);
    }
    return list;
}

Selection numberedHorses()
{
    Selection s;
    for (int h = 1; h <= kMaxHorses; ++h)
        s.otherHorses[std::size_t(h)] = h;
    return s;
}

} // namespace

// The tiercé cases of the operator's rules on dead heats.
TEST(OfficialResult, TierceDeadHeatsAsPublished)
{
    const Stakes stakes = defaultStakes();
    // Two tied 1st and one 3rd: the two orders with the pair in front are "ordre" (one published
    // order pays both), the other four "désordre".
    const ResultJudge twoFirst(
        resultOf("7=13,2", { "Tierce ordre 7-13-2 120.50", "Tiercé désordre 7-13-2 24,10" }), stakes);
    int inOrder = 0;
    for (int i = 0; i < 6; ++i) {
        const Horses ticket = permutation({ 7, 13, 2 }, i);
        const TicketResult judged = twoFirst.judge(ticket);
        ASSERT_TRUE(judged.paid);
        if (ticket[2] == 2) {
            ++inOrder;
            EXPECT_EQ(judged.category, C::TierceInOrder);
            EXPECT_EQ(judged.amount, 120.5);
            EXPECT_EQ(judged.combination, ticket) << "paid through its own order";
        } else {
            EXPECT_EQ(judged.category, C::TierceAnyOrder);
            EXPECT_EQ(judged.amount, 24.1);
        }
    }
    EXPECT_EQ(inOrder, 2);

    // Two tied 3rd: 1st, 2nd and each tied horse make a combination with its own rapports.
    const ResultJudge twoThird(resultOf("7,13,2=9",
                                   { "Tierce ordre 7-13-2 100", "Tierce ordre 7-13-9 150", "Tierce desordre 7-13-2 20",
                                       "Tierce desordre 7-13-9 30" }),
        stakes);
    EXPECT_EQ(row(twoThird, { 7, 13, 2 }), "Tierce ordre 7-13-2 100.00");
    EXPECT_EQ(row(twoThird, { 7, 13, 9 }), "Tierce ordre 7-13-9 150.00");
    EXPECT_EQ(row(twoThird, { 13, 7, 9 }), "Tiercé désordre 7-13-9 30.00");
    EXPECT_EQ(row(twoThird, { 2, 13, 7 }), "Tiercé désordre 7-13-2 20.00");
    EXPECT_EQ(row(twoThird, { 2, 9, 7 }), "") << "two tied horses never both make the first three";

    // Three or more tied 1st: every three of them is a combination, one rapport for its six orders.
    const ResultJudge threeFirst(resultOf("7=13=2", { "Tierce ordre 7-13-2 50" }), stakes);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(threeFirst.judge(permutation({ 7, 13, 2 }, i)).amount, 50.0) << i;
    const ResultJudge fourFirst(
        resultOf("7=13=2=9,20", { "Tierce ordre 7-13-2 50", "Tierce ordre 2-9-13 40", "Tierce ordre 7-9-13 45" }),
        stakes);
    EXPECT_EQ(row(fourFirst, { 9, 2, 13 }), "Tierce ordre 9-2-13 40.00");
    EXPECT_EQ(row(fourFirst, { 13, 9, 7 }), "Tierce ordre 13-9-7 45.00");
    EXPECT_EQ(row(fourFirst, { 7, 13, 20 }), "") << "20 is 5th";
}

TEST(OfficialResult, QuarteQuinteAndCoupleDeadHeats)
{
    const Stakes stakes = defaultStakes();
    // Quinté+: a tie at 4th pays Bonus 4 through the tied horse the ticket holds; both orders of
    // the tie are the quinté in order.
    const ResultJudge fourth(
        resultOf("7,13,2,9=20",
            { "Quinté+ ordre 7-13-2-9-20 900", "Bonus 4 7-13-2-9 10", "Bonus 4 7-13-2-20 12.6", "Bonus 4 sur 5 3" }),
        stakes);
    EXPECT_EQ(row(fourth, { 7, 13, 2, 20, 15 }), "Bonus 4 7-13-2-20 12.60");
    EXPECT_EQ(row(fourth, { 2, 9, 13, 7, 15 }), "Bonus 4 7-13-2-9 10.00");
    EXPECT_EQ(row(fourth, { 7, 13, 2, 20, 9 }), "Quinté ordre 7-13-2-20-9 900.00");
    EXPECT_EQ(row(fourth, { 7, 13, 9, 20, 15 }), "Bonus 4 sur 5 7-13-9-20 3.00");
    // A tie at 3rd: Bonus 3 through either tied horse, never both.
    const ResultJudge third(resultOf("7,13,2=9,20", { "Bonus 3 7-13-2 4", "Bonus 3 7-13-9 5.2" }), stakes);
    EXPECT_EQ(row(third, { 9, 7, 13, 15, 16 }), "Bonus 3 7-13-9 5.20");
    EXPECT_EQ(row(third, { 2, 9, 7, 15, 16 }), "");

    // Quarté+: a tie at 1st, then a tie at 3rd for the Bonus.
    const ResultJudge quarte(
        resultOf("7=13,2,9", { "Quarte ordre 7-13-2-9 300", "Quarte desordre 7-13-2-9 30" }), stakes);
    EXPECT_EQ(row(quarte, { 13, 7, 2, 9 }), "Quarte ordre 13-7-2-9 300.00");
    EXPECT_EQ(row(quarte, { 7, 2, 13, 9 }), "Quarté désordre 7-13-2-9 30.00");
    const ResultJudge bonus(resultOf("7,13,2=9", { "Bonus 7-13-2 8", "Bonus 7-13-9 9" }), stakes);
    EXPECT_EQ(row(bonus, { 9, 13, 7, 15 }), "Bonus 7-13-9 9.00");
    EXPECT_EQ(row(bonus, { 7, 13, 9, 2 }), "Bonus 7-13-9 9.00")
        << "in order under one order, nothing published for it: the best Bonus it also holds";

    // Couplé: a tie at 2nd makes two winning pairs, and the tied pair is placed.
    const ResultJudge couple(
        resultOf("7,13=2",
            { "Couple gagnant 7-13 6", "Couple gagnant 7-2 5.5", "Couplé placé 13-2 3", "Couplé placé 7-2 2" }),
        stakes);
    EXPECT_EQ(row(couple, { 2, 7 }), "Couplé gagnant 7-2 5.50");
    EXPECT_EQ(row(couple, { 13, 2 }), "Couplé placé 13-2 3.00");
    EXPECT_EQ(row(couple, { 13, 9 }), "");
}

// The evening worked by hand: a quinté+ with 2 and 9 tied 3rd and two non-runners, 4 and 11.
TEST(OfficialResult, QuinteEveningWithATieAndTwoNonRunners)
{
    const OfficialResult result = resultOf("7,13,2=9,20",
        { "Quinte ordre 7-13-2-9-20 5000", "Quinte desordre 7-13-2-9-20 100", "Quarte ordre 7-13-2-9 650",
            "Quarte ordre 7-13-9-2 700", "Bonus 4 7-13-2-9 30", "Bonus 4 sur 5 12.40", "Quinte 2 NP 7-13-2-NP-NP 80",
            "Quinte 2 NP 7-13-9-NP-NP 85" },
        { 4, 11 });
    const Stakes stakes = defaultStakes();
    const ResultJudge judge(result, stakes);
    const std::vector<Horses> tickets {
        { 7, 13, 9, 2, 20 }, // the tie's other order is in order too
        { 13, 7, 2, 9, 20 }, { 7, 13, 2, 4, 11 }, // two non-runners, the three others first
        { 7, 13, 4, 9, 2 }, // one non-runner, the four others first: four times the Bonus 4
        { 7, 13, 20, 9, 15 }, // 7, 13, 9 among the first four, 20 fifth
        { 4, 11, 15, 7, 13 }, // 15 was not placed
    };
    const std::vector<std::string> rows { "Quinté ordre 7-13-9-2-20 5000.00", "Quinté désordre 7-13-2-9-20 100.00",
        "Quinté 2 NP 7-13-2-NP-NP 80.00", "Bonus 4 7-13-2-9 120.00", "Bonus 4 sur 5 7-13-9-20 12.40", "" };
    for (std::size_t t = 0; t < tickets.size(); ++t)
        EXPECT_EQ(row(judge, tickets[t]), rows[t]) << "ticket " << t + 1;
    EXPECT_EQ(judge.judge(tickets[3]).times, 4);

    // The whole list, through the classifier of lists, gives the same and adds it up.
    const Selection selection = numberedHorses();
    const TicketList list = listOf(5, tickets);
    const ResultClassifier classifier(list, selection, judge);
    std::vector<std::uint8_t> bytes(tickets.size());
    ResultTotals totals;
    classifier.classify(0, 2, bytes.data(), totals);
    classifier.classify(2, list.count(), bytes.data(), totals);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t> { 1, 2, 13, 3, 4, 0 }));
    EXPECT_EQ(classifier.ticketResult(4).cents, 12000);
    EXPECT_EQ(totals.tickets, 6);
    EXPECT_EQ(resultSummaryText(totals, stakes, 5, QLocale::c()),
        QStringLiteral("1 Quinte\r1 Quinte Désordre\r1 Bonus 4\r1 Bonus 4 sur 5 \r1 Quinté 2 NP\r"
                       "Gains  :5312.4\rMise : 12.00 €\rRemboursement : 0.00 €\rBilan : +5300.40 €"));

    // Played three times, with a third non-runner (15): the last ticket is refunded.
    OfficialResult three = result;
    three.nonRunners.push_back(15);
    Stakes thrice = stakes;
    thrice.multiplier = 3;
    const ResultJudge judgeThree(three, thrice);
    const ResultClassifier again(list, selection, judgeThree);
    ResultTotals refunded;
    again.classify(0, list.count(), bytes.data(), refunded);
    EXPECT_EQ(bytes.back(), std::uint8_t(C::Refunded));
    const ResultMoney money = resultMoney(refunded, thrice, 5);
    EXPECT_EQ(money.refundedTickets, 1);
    EXPECT_EQ(money.stakeCents, 3600);
    EXPECT_EQ(money.refundCents, 600);
    // The fifth ticket now has one non-runner, its others four of the first five with the fifth:
    // four times the Bonus 4 sur 5.
    EXPECT_EQ(money.balanceCents, (500000 + 10000 + 8000 + 12000 + 4 * 1240) * 3 + 600 - 3600);
}

// The classifier of lists looks each pattern of the horses that matter up once: on every ticket
// of a list with a base, ties, non-runners and a complément it must say what the judge says.
TEST(OfficialResult, ListClassifierAgreesWithTheJudgeTicketByTicket)
{
    const OfficialResult result = resultOf("7,13=2,9=20,5",
        { "Quinte ordre 7-13-2-9-20 900", "Quinte ordre 7-2-13-20-9 950", "Quinte desordre 40", "Bonus 4 7-13-2-9 9",
            "Bonus 4 sur 5 3", "Bonus 3 2", "Quarte ordre 7-13-2-9 300", "Quarte desordre 7-13-2-20 30", "Bonus 5",
            "Quinte 2 NP 7-13-2-NP-NP 70" },
        { 4, 11, 6, 1 }, 5);
    const ResultJudge judge(result, defaultStakes());
    Selection selection;
    selection.baseHorses[1] = 13;
    const Horses others { 7, 2, 9, 20, 4, 11, 5, 6, 1, 17 };
    for (std::size_t i = 0; i < others.size(); ++i)
        selection.otherHorses[i + 1] = others[i];
    // The base second, four letters around it: every order of four of the ten other horses.
    TicketList list = TicketList::stored(TicketLayout { 5, 1, { 2, 0, 0 } }, 10 * 9 * 8 * 7);
    for (char a = 'A'; a <= 'J'; ++a)
        for (char b = 'A'; b <= 'J'; ++b)
            for (char c = 'A'; c <= 'J'; ++c)
                for (char d = 'A'; d <= 'J'; ++d)
                    if (a != b && a != c && a != d && b != c && b != d && c != d)
                        list.append(std::string { a, b, c, d });
    const ResultClassifier classifier(list, selection, judge);
    std::vector<std::uint8_t> bytes(std::size_t(list.count()));
    ResultTotals totals;
    classifier.classify(0, list.count(), bytes.data(), totals);
    ResultTotals expected;
    std::int64_t played = 0;
    for (std::int64_t t = 1; t <= list.count(); ++t) {
        const Horses horses = classifier.ticketHorses(t);
        ASSERT_EQ(horses[1], 13);
        const TicketResult judged = judge.judge(horses);
        ASSERT_EQ(bytes[std::size_t(t - 1)], std::uint8_t(judged.category)) << t;
        if (judged.category != C::None)
            ++expected.counts[std::size_t(judged.category) - 1];
        if (judged.category != C::None && judged.unpublished)
            ++expected.unpublished[std::size_t(judged.category) - 1];
        expected.gainsCents += judged.cents;
        played += judged.times > 1 ? 1 : 0;
    }
    EXPECT_EQ(totals.counts, expected.counts);
    EXPECT_EQ(totals.unpublished, expected.unpublished);
    EXPECT_EQ(totals.gainsCents, expected.gainsCents);
    EXPECT_GT(played, 0);
    EXPECT_GT(totals.refunded(), 0);
    EXPECT_GT(totals.counts[std::size_t(C::QuinteInOrder) - 1], 0);
    EXPECT_GT(classifier.firstTicketWithComplement(), 0);
}

TEST(OfficialResult, ComplementAndNonRunnerRules)
{
    const Stakes stakes = defaultStakes();
    // The complément (8) replaces the first non-runner and comes last: 3-NP-5-7-9 is 3-5-7-9-8.
    const ResultJudge quinte(resultOf("3,5,7,9,8", { "Quinte ordre 500" }, { 4 }, 8), stakes);
    EXPECT_EQ(row(quinte, { 3, 4, 5, 7, 9 }), "Quinté ordre 3-5-7-9-8 500.00");
    EXPECT_TRUE(quinte.judge(Horses { 8, 3, 5, 7, 9 }).holdsComplement);
    EXPECT_EQ(quinte.judge(Horses { 8, 3, 5, 7, 9 }).category, C::None);

    // Two non-runners on a tiercé: the complément takes the first, the other counts.
    const ResultJudge tierce(
        resultOf("7,8,3", { "Tierce 1 NP 7-8-NP 31", "Tierce 2 NP 7-NP-NP 9" }, { 4, 5 }, 8), stakes);
    EXPECT_EQ(row(tierce, { 4, 5, 7 }), "Tiercé 1 NP 7-8-NP 31.00");
    // A complément that is a non-runner is no complément: two non-runners, the third horse won.
    const ResultJudge noComplement(resultOf("7,8,3", { "Tierce 2 NP 7-NP-NP 9" }, { 4, 5 }, 5), stakes);
    EXPECT_EQ(row(noComplement, { 4, 7, 5 }), "Tiercé 2 NP 7-NP-NP 9.00");
    EXPECT_FALSE(noComplement.judge(Horses { 5, 7, 3 }).holdsComplement);
    EXPECT_EQ(row(noComplement, { 8, 7, 4 }), "Tiercé 1 NP") << "nothing published for it";
    EXPECT_EQ(row(noComplement, { 3, 8, 4 }), "") << "8 and 3 are 2nd and 3rd";

    // Couplé: gagnant when the runner wins, else placé; two non-runners are refunded.
    const ResultJudge couple(
        resultOf("7,13,2", { "Couplé gagnant 1 NP 7-NP 2.1", "Couple place 1 NP 2-NP 1.4" }, { 4, 5 }), stakes);
    EXPECT_EQ(row(couple, { 4, 7 }), "Couplé gagnant 1 NP 7-NP 2.10");
    EXPECT_EQ(row(couple, { 2, 4 }), "Couplé placé 1 NP 2-NP 1.40");
    EXPECT_EQ(row(couple, { 4, 5 }), "Remboursé");
    // Quarté+: one non-runner with the three others first in any order; two are refunded.
    const ResultJudge quarte(resultOf("7,13,2,9", {}, { 4, 5 }), stakes);
    EXPECT_EQ(quarte.judge(Horses { 2, 4, 7, 13 }).category, C::QuarteOneNonRunner);
    EXPECT_EQ(quarte.judge(Horses { 2, 4, 7, 9 }).category, C::None);
    EXPECT_EQ(quarte.judge(Horses { 2, 4, 5, 9 }).category, C::Refunded);

    // Fewer horses classified than the bet names: refunded, on this path only.
    const ResultJudge short_(resultOf("7,13"), stakes);
    EXPECT_EQ(short_.judge(Horses { 7, 13, 2 }).category, C::Refunded);
    EXPECT_EQ(short_.judge(Horses { 13, 7 }).category, C::CoupleWinner);
}

// A plain five-place arrival with the ten fields gives what the comparison has always given.
TEST(OfficialResult, PlainArrivalAgreesWithTheComparison)
{
    std::mt19937 random(20261208);
    Payouts payouts {};
    for (std::size_t i = 0; i < payouts.size(); ++i)
        payouts[i] = double(i + 1) * 10.5;
    Horses horses(kMaxHorses);
    for (int h = 0; h < kMaxHorses; ++h)
        horses[std::size_t(h)] = h + 1;
    for (int round = 0; round < 2000; ++round) {
        std::shuffle(horses.begin(), horses.end(), random);
        Arrival arrival {};
        std::copy(horses.begin(), horses.begin() + 5, arrival.begin() + 1);
        const ResultJudge judge(officialResult(arrival, payouts), defaultStakes());
        // A ticket drawn among the first eight horses wins often.
        Horses pool(horses.begin(), horses.begin() + 8);
        std::shuffle(pool.begin(), pool.end(), random);
        const Horses ticket(pool.begin(), pool.begin() + 2 + round % 4);
        const WinCategory plain = ticketCategory(ticket, arrival);
        const TicketResult judged = judge.judge(ticket);
        ASSERT_EQ(judged.category, resultCategory(plain)) << round;
        WinCounts one {};
        if (plain != WinCategory::None)
            one[std::size_t(plain) - 1] = 1;
        EXPECT_EQ(judged.amount, winnings(one, payouts)) << round;
    }
}

TEST(OfficialResult, RapportsFileLinesAndTheirFaults)
{
    const RapportsRead read = readRapportsText("TIERCÉ ORDRE 7-13-2 120.50\r\n\n  bonus 4 sur 5   3,10\n"
                                               "Couplé gagnant 1 NP 16-np 7\n");
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    ASSERT_EQ(read.rapports.size(), 3u);
    EXPECT_EQ(read.rapports[0], (Rapport { C::TierceInOrder, { 7, 13, 2 }, 120.5 }));
    EXPECT_EQ(read.rapports[1], (Rapport { C::Bonus4Of5, {}, 3.1 }));
    EXPECT_EQ(read.rapports[2].combination, (Horses { 16, kNonRunnerMark }));
    EXPECT_EQ(rapportLine(read.rapports[0]), QStringLiteral("Tierce ordre 7-13-2 120.50"));

    for (const auto &[text, fault] : std::vector<std::pair<const char *, const char *>> {
             { "Tierce ordre 7-13-2 12\nTic 3 7-13-2 12\n", "ligne 2 : catégorie inconnue : « Tic 3 7-13-2 12 »" },
             { "\n\nTierce ordre 7-13 12", "ligne 3 : la combinaison d'un Tierce ordre a 3 chevaux, sans NP" },
             { "Quinte 2 NP 7-13-2-9-NP 12", "ligne 1 : la combinaison d'un Quinté 2 NP a 5 chevaux dont 2 NP" },
             { "Bonus 7-7-2 1", "ligne 1 : le cheval 7 est deux fois" },
             { "Bonus 3 7-13-2 1.234,5", "ligne 1 : le montant" },
             { "Bonus 3 7-13-21 1", "ligne 1 : la combinaison n'est pas faite" },
             { "Remboursé 2", "ligne 1 : catégorie inconnue" },
             { "Bonus \xe9 2", "ligne 1 : la ligne n'est pas écrite en UTF-8" },
         }) {
        const RapportsRead bad = readRapportsText(text);
        EXPECT_TRUE(bad.rapports.empty());
        EXPECT_TRUE(bad.error.startsWith(QString::fromUtf8(fault))) << bad.error.toStdString();
    }
}

// Today's results: a ticket is paid at the first category it meets that the result publishes,
// and a winner nothing pays is said, never paid 0 in silence.
TEST(OfficialResult, TodaysRapportsPayTheBestCategoryPublished)
{
    const Stakes stakes = defaultStakes();
    // The quinté+ of four rapports: the first three and the 5th are paid the Bonus 3.
    const ResultJudge quinte(resultOf("1,2,3,4,5",
                                 { "Quinté+ ordre 1-2-3-4-5 1000", "Quinté+ désordre 1-2-3-4-5 50",
                                     "Quinté+ Bonus 4 8,20", "Bonus 3 3.40" }),
        stakes);
    EXPECT_EQ(row(quinte, { 1, 2, 3, 5, 9 }), "Bonus 3 1-2-3 3.40");
    EXPECT_EQ(row(quinte, { 4, 2, 3, 1, 9 }), "Bonus 4 1-2-3-4 8.20");
    // Only the ordre published for the quinté: the Bonus 4 ticket is a winner without a rapport.
    const ResultJudge onlyOrder(resultOf("1,2,3,4,5", { "Quinte ordre 1-2-3-4-5 1000" }), stakes);
    const TicketResult unpaid = onlyOrder.judge(Horses { 1, 2, 3, 4, 9 });
    EXPECT_EQ(unpaid.category, C::Bonus4);
    EXPECT_TRUE(unpaid.unpublished);
    EXPECT_FALSE(unpaid.paid);

    // Couplé placé rapports only: the first two are paid placé; a non-runner partner too.
    const ResultJudge couple(resultOf("7,13,2", { "Couplé placé 7-13 3", "Couplé placé 13-2 5" }), stakes);
    EXPECT_EQ(row(couple, { 13, 7 }), "Couplé placé 7-13 3.00");
    const ResultJudge coupleNp(resultOf("7,13,2", { "Couplé placé 1 NP 7-NP 1.80" }, { 4 }), stakes);
    EXPECT_EQ(row(coupleNp, { 7, 4 }), "Couplé placé 1 NP 7-NP 1.80");

    // A combination's own rapport goes before the category's; three tied first are paid by the
    // one rapport of their combination, whatever its label.
    const ResultJudge mixed(resultOf("7,13,2", { "Tiercé ordre 7-13-2 100", "Tiercé ordre 500" }), stakes);
    EXPECT_EQ(row(mixed, { 7, 13, 2 }), "Tierce ordre 7-13-2 100.00");
    const ResultJudge threeTied(resultOf("1=2=3", { "Tiercé désordre 1-2-3 60", "Tiercé ordre 500" }), stakes);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(threeTied.judge(permutation({ 1, 2, 3 }, i)).cents, 6000) << i;

    // Rapports for 1 € are taken for the unit stake (2 € the quinté+).
    OfficialResult perEuro = resultOf("1,2,3,4,5", { "Bonus 3 3.45" });
    perEuro.rapportsPerEuro = true;
    EXPECT_EQ(ResultJudge(perEuro, stakes).judge(Horses { 1, 2, 3, 9, 8 }).cents, 690);
}

TEST(OfficialResult, ShortArrivalsAndTheQuinteWithOneNonRunner)
{
    const Stakes stakes = defaultStakes();
    // Four classified: the holders of the four are paid the Bonus 4 published for them, the
    // first three still a Bonus 3; a ticket holding none wins nothing.
    const ResultJudge four(resultOf("1,2,3,4", { "Bonus 4 1-2-3-4 40", "Bonus 3 1-2-3 5" }), stakes);
    EXPECT_EQ(row(four, { 4, 3, 2, 1, 9 }), "Bonus 4 1-2-3-4 40.00");
    EXPECT_EQ(row(four, { 1, 2, 3, 8, 9 }), "Bonus 3 1-2-3 5.00");
    EXPECT_EQ(row(four, { 8, 9, 10, 11, 12 }), "");
    // Nothing published for the quinté+: nobody held them, every ticket is refunded.
    const ResultJudge nobody(resultOf("1,2,3,4", { "Tierce ordre 1-2-3 10" }), stakes);
    EXPECT_EQ(row(nobody, { 8, 9, 10, 11, 12 }), "Remboursé");

    // One non-runner (4): four times the Bonus 4 when the others are the first four, twice the
    // Bonus 3 when three are the first three (no Bonus 4 sur 5 published), and the rapport of
    // the combination with "NP" where the result has one.
    const ResultJudge oneNp(resultOf("7,13,2,9,20", { "Bonus 4 7-13-2-9 30", "Bonus 3 7-13-2 5" }, { 4 }), stakes);
    EXPECT_EQ(row(oneNp, { 7, 13, 2, 9, 4 }), "Bonus 4 7-13-2-9 120.00");
    EXPECT_EQ(row(oneNp, { 4, 7, 13, 2, 20 }), "Bonus 3 7-13-2 10.00");
    EXPECT_EQ(row(oneNp, { 4, 7, 13, 2, 15 }), "Bonus 3 7-13-2 10.00");
    EXPECT_EQ(row(oneNp, { 4, 7, 13, 9, 15 }), "");
    const ResultJudge ownNp(
        resultOf("7,13,2,9,20", { "Bonus 4 7-13-2-9 30", "Quinté 1 NP 7-13-2-9-NP 20,40" }, { 4 }), stakes);
    EXPECT_EQ(row(ownNp, { 9, 2, 13, 7, 4 }), "Quinté 1 NP 7-13-2-9-NP 20.40");
}

TEST(OfficialResult, AmountsAreReadWithinTheirBoundsAndSummedInCents)
{
    for (const char *line :
        { "Tiercé ordre 7-13-2 12 345,60", "Tiercé ordre 7-13-2 12 345.60", "Tiercé ordre 7-13-2 12\u00a0345,6" }) {
        const std::optional<Rapport> read = parseRapportLine(QString::fromUtf8(line));
        ASSERT_TRUE(read) << line;
        EXPECT_EQ(read->amount, 12345.6) << line;
    }
    EXPECT_EQ(parseRapportLine(QStringLiteral("Quarté+ Bonus 7-13-2 4"))->category, C::QuarteBonus);
    EXPECT_EQ(parseRapportLine(QStringLiteral("Bonus 4 123,00"))->amount, 123.0) << "4 belongs to the category";
    QString why;
    EXPECT_FALSE(parseRapportLine(QStringLiteral("Bonus 3 10000000"), &why));
    EXPECT_EQ(why, QStringLiteral("le montant dépasse 9 999 999,99 €"));
    EXPECT_FALSE(parseRapportLine(QStringLiteral("Bonus 3 3.4e38")));
    EXPECT_FALSE(parseRapportLine(QStringLiteral("Bonus 3 1.234")));

    // A sum past 64-bit cents is refused, never shown negative.
    ResultTotals totals;
    totals.tickets = 3;
    totals.add(C::Bonus3, 2, kLargestRapportCents, false);
    EXPECT_EQ(totals.gainsCents, 2 * kLargestRapportCents);
    EXPECT_EQ(resultMoneyProblem(totals, defaultStakes(), 5), QString());
    EXPECT_EQ(centsGeneralText(totals.gainsCents, QLocale::c()), QStringLiteral("19999999.98"));
    totals.add(C::Bonus3, std::int64_t(1) << 40, kLargestRapportCents, true);
    EXPECT_TRUE(totals.tooLarge);
    EXPECT_FALSE(resultMoneyProblem(totals, defaultStakes(), 5).isEmpty());
    Stakes many = defaultStakes();
    many.multiplier = 10000;
    ResultTotals big;
    big.tickets = 1;
    big.add(C::Bonus3, std::int64_t(1) << 30, kLargestRapportCents, false);
    EXPECT_FALSE(big.tooLarge);
    EXPECT_FALSE(resultMoneyProblem(big, many, 5).isEmpty()) << "the multiplier takes it past 64 bits";
    EXPECT_EQ(unpublishedWinnersText(totals),
        QStringLiteral("%1 gagnants sans rapport publié : Bonus 3").arg((std::int64_t(1) << 40)));
}
