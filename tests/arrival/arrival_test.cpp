#include "arrival/classification.h"
#include "arrival/winnings.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

using namespace mvx;

namespace {

// Horse h is other horse h, so ticket letters read as their own numbers ("C" is horse 3).
Selection numberedHorses()
{
    Selection s;
    for (int h = 1; h <= kMaxHorses; ++h)
        s.otherHorses[std::size_t(h)] = h;
    return s;
}

TicketList listOf(int horsesPerTicket, const std::vector<std::vector<int>> &tickets)
{
    TicketList list
        = TicketList::stored(TicketLayout { horsesPerTicket, 0, { 1, 2, 3 } }, std::int64_t(tickets.size()));
    for (const std::vector<int> &horses : tickets) {
        std::string letters;
        for (int h : horses)
            letters += char('A' + h - 1);
        list.append(letters);
    }
    return list;
}

Arrival arrivalOf(std::array<int, 5> places)
{
    Arrival a {};
    std::copy(places.begin(), places.end(), a.begin() + 1);
    return a;
}

// The grid labels of a list of same-size tickets, through both the one-ticket rule and the
// classifier of whole lists, which must agree.
std::vector<QString> labels(const Arrival &arrival, int size, const std::vector<std::vector<int>> &tickets)
{
    const Selection selection = numberedHorses();
    const TicketList list = listOf(size, tickets);
    const TicketClassifier classifier(list, selection, arrival);
    std::vector<std::uint8_t> bytes(tickets.size());
    WinCounts fast {};
    classifier.classify(0, list.count(), bytes.data(), fast);
    WinCounts oneByOne {};
    std::vector<QString> out;
    for (std::size_t t = 0; t < tickets.size(); ++t) {
        const QString label = classifyTicket(tickets[t], arrival, oneByOne);
        EXPECT_EQ(label, gridLabel(WinCategory(bytes[t]))) << "ticket " << t + 1;
        out.push_back(label);
    }
    EXPECT_EQ(fast, oneByOne);
    return out;
}

} // namespace

TEST(Classification, QuinteQuarteTierceAndCoupleRules)
{
    const Arrival first5 = arrivalOf({ 1, 2, 3, 4, 5 });
    EXPECT_EQ(labels(first5, 5,
                  { { 1, 2, 3, 4, 5 }, { 5, 4, 3, 2, 1 }, { 4, 3, 2, 1, 9 }, { 1, 2, 3, 5, 9 }, { 2, 3, 4, 5, 9 },
                      { 3, 1, 2, 8, 9 }, { 2, 3, 4, 8, 9 } }),
        (std::vector<QString> {
            "Quinté ordre", "Quinté désordre", "Bonus 4", "Bonus 4 sur 5", "Bonus 4 sur 5", "Bonus 3", "" }));

    const Arrival first4 = arrivalOf({ 1, 2, 3, 4, 0 });
    EXPECT_EQ(labels(first4, 4, { { 1, 2, 3, 4 }, { 2, 1, 3, 4 }, { 3, 2, 1, 9 }, { 1, 2, 9, 4 } }),
        (std::vector<QString> { "Quarte ordre", "Quarté désordre", "Bonus", "" }));

    EXPECT_EQ(labels(first5, 3, { { 1, 2, 3 }, { 3, 1, 2 }, { 1, 2, 4 } }),
        (std::vector<QString> { "Tierce ordre", "Tiercé désordre", "" }));

    // A couplé holding the first two is "gagnant" only; an unset place matches no horse.
    const Arrival first3 = arrivalOf({ 1, 2, 3, 0, 0 });
    EXPECT_EQ(labels(first3, 2, { { 2, 1 }, { 1, 3 }, { 3, 2 }, { 1, 4 } }),
        (std::vector<QString> { "Couplé gagnant", "Couplé placé", "Couplé placé", "" }));

    // Every box left at "1": horse 1 matches five places at once.
    EXPECT_EQ(
        labels(arrivalOf({ 1, 1, 1, 1, 1 }), 5, { { 1, 2, 3, 4, 5 } }), (std::vector<QString> { "Quinté désordre" }));

    // Ticket sizes without a rule set win nothing.
    EXPECT_EQ(labels(first5, 1, { { 1 }, { 2 } }), (std::vector<QString> { "", "" }));
    EXPECT_EQ(labels(first5, 6, { { 1, 2, 3, 4, 5, 6 } }), (std::vector<QString> { "" }));
}

// The classifier of whole lists against the rules written out plainly, over random layouts
// (bases at any position, sizes 1 to 8), arrivals with repeated and unset places, and slices.
TEST(Classification, AgreesWithThePlainRulesOverRandomListsInSlices)
{
    std::mt19937 random(20240611);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

    auto plainCategory = [](const std::vector<int> &h, const Arrival &a) {
        auto matches = [&](int k) {
            int n = 0;
            for (int horse : h)
                for (int j = 1; j <= k; ++j)
                    n += horse >= 1 && horse <= 20 && horse == a[std::size_t(j)];
            return n;
        };
        auto ordered = [&](int k) {
            for (int p = 1; p <= k; ++p)
                if (h[std::size_t(p - 1)] < 1 || h[std::size_t(p - 1)] != a[std::size_t(p)])
                    return false;
            return true;
        };
        switch (h.size()) {
        case 5:
            return ordered(5)     ? 1
                : matches(5) == 5 ? 2
                : matches(4) == 4 ? 3
                : matches(5) == 4 ? 4
                : matches(3) == 3 ? 5
                                  : 0;
        case 4:
            return ordered(4) ? 6 : matches(4) == 4 ? 7 : matches(3) == 3 ? 8 : 0;
        case 3:
            return ordered(3) ? 9 : matches(3) == 3 ? 10 : 0;
        case 2:
            return matches(2) == 2 ? 11 : matches(3) == 2 ? 12 : 0;
        default:
            return 0;
        }
    };

    for (int round = 0; round < 300; ++round) {
        TicketLayout layout;
        layout.horsesPerTicket = pick(1, 8);
        layout.baseCount = pick(0, std::min(3, layout.horsesPerTicket));
        std::vector<int> positions { 1, 2, 3, 4, 5 };
        std::shuffle(positions.begin(), positions.end(), random);
        std::copy_n(positions.begin(), 3, layout.basePositions.begin());

        // Few horses so that tickets often win; a horse may appear twice in the selection.
        Selection selection;
        for (int b = 1; b <= 3; ++b)
            selection.baseHorses[std::size_t(b)] = pick(1, 7);
        for (int h = 1; h <= kMaxHorses; ++h)
            selection.otherHorses[std::size_t(h)] = pick(1, 7);
        const Arrival arrival = arrivalOf({ pick(0, 7), pick(0, 7), pick(-1, 7), pick(1, 7), pick(0, 7) });

        const int count = pick(0, 60);
        TicketList list = TicketList::stored(layout, count);
        for (int t = 0; t < count; ++t) {
            std::string letters;
            for (int i = 0; i < layout.lettersPerTicket(); ++i)
                letters += char('A' + pick(0, 6));
            list.append(letters);
        }

        const TicketClassifier classifier(list, selection, arrival);
        std::vector<std::uint8_t> bytes(std::size_t(count), 0xff);
        WinCounts counts {};
        for (std::int64_t first = 0; first < count;) {
            const std::int64_t last = std::min<std::int64_t>(count, first + pick(1, 17));
            classifier.classify(first, last, bytes.data(), counts);
            first = last;
        }

        WinCounts expectedCounts {};
        const TicketReader reader(selection, layout);
        for (int t = 1; t <= count; ++t) {
            std::vector<int> horses;
            for (int p = 1; p <= layout.horsesPerTicket; ++p)
                horses.push_back(reader.horse(list.ticket(t), p));
            const int expected = plainCategory(horses, arrival);
            ASSERT_EQ(bytes[std::size_t(t - 1)], expected) << "round " << round << ", ticket " << t;
            ASSERT_EQ(int(ticketCategory(horses, arrival)), expected) << "round " << round << ", ticket " << t;
            if (expected > 0)
                ++expectedCounts[std::size_t(expected - 1)];
        }
        ASSERT_EQ(counts, expectedCounts) << "round " << round;
    }
}

TEST(Winnings, WorkedExampleSummaryAndCoupleCounts)
{
    const QLocale french(QLocale::French, QLocale::France);
    const Selection selection = numberedHorses();
    const TicketList list = listOf(5, { { 7, 3, 12, 1, 9 }, { 3, 7, 12, 1, 4 }, { 2, 4, 6, 8, 10 } });
    const TicketClassifier classifier(list, selection, arrivalOf({ 7, 3, 12, 1, 9 }));
    std::vector<std::uint8_t> bytes(3);
    WinCounts counts {};
    classifier.classify(0, 3, bytes.data(), counts);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t> { 1, 3, 0 }));

    // The fields as the window leaves them: every one rewritten as money before reading.
    PayoutTexts fields;
    fields[0] = QStringLiteral("1000");
    fields[3] = QStringLiteral("50");
    for (QString &f : fields)
        f = formatAmount(f, french);
    Payouts payouts {};
    readPayouts(fields, payouts, french);
    EXPECT_EQ(summaryText(counts, payouts, french), QStringLiteral("1 Quinte\r1 Bonus 4\rGains  :1050"));

    // The couplé categories are counted and shown but pay nothing; no ticket gives "0".
    WinCounts couple {};
    couple[10] = 2;
    couple[11] = 1;
    payouts.fill(7.5);
    EXPECT_EQ(summaryText(couple, payouts, french), QStringLiteral("2 Couplé gagnant\r1 Couplé placé\rGains  :0"));
    EXPECT_EQ(summaryText(WinCounts {}, payouts, french), QStringLiteral("Gains  :0"));

    // Each category is paid by its own field (bonus 4/5 is the third field, bonus 4 the fourth).
    WinCounts all {};
    all.fill(1);
    Payouts distinct {};
    for (std::size_t i = 0; i < distinct.size(); ++i)
        distinct[i] = std::pow(2.0, double(i)) / 4;
    EXPECT_EQ(summaryText(all, distinct, french).section(QLatin1Char('\r'), -1), QStringLiteral("Gains  :255,75"));
    all.fill(0);
    all[3] = 1; // Bonus 4 sur 5
    EXPECT_EQ(winnings(all, distinct), 1.0);
}

TEST(Winnings, MoneyTextsPayoutsAndArrivalInBothLocales)
{
    const QLocale french(QLocale::French, QLocale::France);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(formatAmount(QStringLiteral("12"), french), QStringLiteral("12,00"));
    EXPECT_EQ(formatAmount(QStringLiteral("12"), english), QStringLiteral("12.00"));
    EXPECT_EQ(formatAmount(QStringLiteral("3,456"), french), QStringLiteral("3,46"));
    EXPECT_EQ(formatAmount(QStringLiteral("3.456"), english), QStringLiteral("3.46"));
    // Punters type either decimal mark whatever the locale; two marks are no amount.
    EXPECT_EQ(formatAmount(QStringLiteral("12.30"), french), QStringLiteral("12,30"));
    EXPECT_EQ(formatAmount(QStringLiteral("7,5"), english), QStringLiteral("7.50"));
    EXPECT_EQ(parseAmount(QStringLiteral(" 1e3 "), french), 1000.0);
    for (const char *twoMarks : { "1.234,5", "1,234.5", "1,2,3", "1..2" }) {
        EXPECT_FALSE(parseAmount(QString::fromLatin1(twoMarks), french)) << twoMarks;
        EXPECT_FALSE(parseAmount(QString::fromLatin1(twoMarks), english)) << twoMarks;
    }
    for (const char *nothing : { "", "abc", "nan", "1e40" }) {
        EXPECT_EQ(formatAmount(QString::fromLatin1(nothing), french), QStringLiteral("0,00")) << nothing;
        EXPECT_EQ(formatAmount(QString::fromLatin1(nothing), english), QStringLiteral("0.00")) << nothing;
    }
    // Single precision and 8 significant digits: 1234567.891 is 1234567.875 as a float.
    EXPECT_EQ(formatAmount(QStringLiteral("1234567.891"), english), QStringLiteral("1234567.90"));
    // No bet pays less than nothing: a negative payout is no amount.
    EXPECT_EQ(formatAmount(QStringLiteral(" -7,5 "), french), QStringLiteral("0,00"));
    EXPECT_FALSE(parseAmount(QStringLiteral("-1000"), QLocale::c()));
    EXPECT_EQ(parseAmount(QStringLiteral("-0"), QLocale::c()), 0.0);
    EXPECT_TRUE(formatAmount(QStringLiteral("123456789"), english).contains(QLatin1Char('E')));
    EXPECT_EQ(parseAmount(formatAmount(QStringLiteral("123456789"), french), french), 123456790.0);

    // The first field that is not a number stops the reading.
    Payouts payouts { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 };
    PayoutTexts fields;
    fields.fill(QStringLiteral("0,50"));
    fields[0] = QStringLiteral("12,00");
    fields[2] = QStringLiteral("abc");
    readPayouts(fields, payouts, french);
    EXPECT_EQ(payouts, (Payouts { 12, 0.5, 3, 4, 5, 6, 7, 8, 9, 10 }));

    EXPECT_EQ(formatGeneral(1050.5, french), QStringLiteral("1050,5"));
    EXPECT_EQ(formatGeneral(1234567.25, english), QStringLiteral("1234567.25"));

    // "25", an empty box and a letter keep the place; 0 is stored and matches nothing.
    Arrival arrival = arrivalOf({ 4, 5, 6, 7, 8 });
    readArrival(
        { QStringLiteral("9"), QStringLiteral("25"), QString(), QStringLiteral("0"), QStringLiteral("x") }, arrival);
    EXPECT_EQ(arrival, arrivalOf({ 9, 5, 6, 0, 8 }));
}

// The boxes of the window start at "1": an arrival typed in part repeats horse 1 in the later
// places. Only the places a ticket size is judged on count, and an unset place repeats nothing.
TEST(Arrival, HorseRepeatedAmongThePlacesTheTicketSizeUses)
{
    const Arrival typedInPart = arrivalOf({ 7, 3, 2, 1, 1 });
    const std::optional<RepeatedHorse> quinte = repeatedArrivalHorse(typedInPart, 5);
    ASSERT_TRUE(quinte);
    EXPECT_EQ(std::tuple(quinte->horse, quinte->firstPlace, quinte->secondPlace), std::tuple(1, 4, 5));
    for (int size : { 1, 2, 3, 4, 6 })
        EXPECT_FALSE(repeatedArrivalHorse(typedInPart, size)) << size;
    // A couplé placé looks at the third place.
    EXPECT_TRUE(repeatedArrivalHorse(arrivalOf({ 7, 3, 7, 1, 1 }), 2));
    EXPECT_FALSE(repeatedArrivalHorse(arrivalOf({ 9, 3, 0, 0, 0 }), 5));
    for (const char *wrong : { "0", "21", "-3", "", "x" })
        EXPECT_FALSE(arrivalHorse(QString::fromLatin1(wrong))) << wrong;
}
