// Reading a ticket text file back, and the cost of a game.

#include "combi/game_cost.h"
#include "combi/ticket_text.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <vector>

namespace mvx {
namespace {

struct Read
{
    TicketTextRead result;
    std::vector<std::vector<int>> tickets;
};

Read readText(QByteArray text, TicketSizes sizes = kClassifiedTicketSizes)
{
    QBuffer in(&text);
    in.open(QIODevice::ReadOnly);
    Read r;
    r.result = readTicketText(in, sizes, [&](std::span<const int> t) {
        r.tickets.emplace_back(t.begin(), t.end());
        return true;
    });
    return r;
}

TEST(TicketText, ReadsTheProgramsTicketsWithEitherLineEnd)
{
    const Read r = readText("7,3,12,\r\n7,3,5,\n12,5,1,");
    EXPECT_TRUE(r.result.ok()) << r.result.error.toStdString();
    EXPECT_EQ(r.tickets, (std::vector<std::vector<int>> { { 7, 3, 12 }, { 7, 3, 5 }, { 12, 5, 1 } }));
    EXPECT_EQ(r.result.horsesPerTicket, 3);

    // Past the reader's block, lines straddle two reads.
    QByteArray many;
    for (int i = 0; i < 10000; ++i)
        many += "1,2,3,4,5,\r\n";
    EXPECT_EQ(readText(many).result.tickets, 10000);

    // One horse per ticket is a list, not something to classify.
    EXPECT_TRUE(readText("5,\n", kListedTicketSizes).result.ok());
    EXPECT_FALSE(readText("5,\n").result.ok());
    EXPECT_TRUE(readText("").result.ok());
    EXPECT_EQ(readText("").result.tickets, 0);
}

TEST(TicketText, RefusesWhatIsNotATicketOfTheFileAndQuotesTheLineSafely)
{
    struct Bad
    {
        QByteArray text;
        const char *where; // the start of the error
    };
    for (const Bad &bad : {
             Bad { "1 2,3,\n", "ligne 1 : " }, // not horse 12
             Bad { "999,0,3,\n", "ligne 1 : " },
             Bad { "1,2,\n0,3,\n", "ligne 2 : " },
             Bad { "7,7,7,7,7,\n", "ligne 1 : " },
             Bad { "07,3,\n", "ligne 1 : " },
             Bad { "1,2,3,4,5,\r\n6,7,8,9,10,\r\n3,16,2,8", "ligne 3 : " }, // a cut file
             Bad { "1,2,3,4,5,\r\n3,16,2,", "ligne 2 : " }, // a whole line of the wrong size
             Bad { "1,2,\n\n3,4,\n", "ligne 2 : " },
             Bad { "1,2,\r\r\n", "ligne 1 : " },
             Bad { "1,2,3,4,5,6,\n", "ligne 1 : " },
             Bad { QByteArray(100000, '\0'), "ligne 1 : " },
         }) {
        const Read r = readText(bad.text);
        EXPECT_TRUE(r.result.error.startsWith(QLatin1String(bad.where)))
            << bad.text.left(40).toStdString() << " -> " << r.result.error.toStdString();
        EXPECT_FALSE(r.result.readFailed);
    }
    const Read escaped = readText("1,2,\x1b]0;titre\x07,\r\n");
    EXPECT_TRUE(escaped.result.error.endsWith(QStringLiteral("« 1,2,\\x1b]0;titre\\x07, »")))
        << escaped.result.error.toStdString();
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
