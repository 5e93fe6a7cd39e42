#include "combi/generation.h"
#include "combi/ticket_file.h"
#include "model/ticket_list.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>
#include <string>
#include <vector>

using namespace mvx;

namespace {

SelectionBoxes boxes(std::initializer_list<int> horses)
{
    SelectionBoxes b;
    std::size_t i = 0;
    for (int h : horses)
        b[i++] = QString::number(h);
    return b;
}

GeneratorSettings generator(int n, int k, int b, bool reduced, std::array<int, 3> positions = { 1, 2, 3 })
{
    GeneratorSettings g;
    g.horsesToCombine = n;
    g.horsesPerTicket = k;
    g.bases.baseCount = b;
    g.bases.positions = positions;
    g.reduced = reduced;
    return g;
}

struct Generated
{
    Selection selection;
    TicketList list;

    std::vector<std::string> letters() const
    {
        std::vector<std::string> out;
        for (std::int64_t t = 1; t <= list.count(); ++t)
            out.emplace_back(list.ticket(t));
        return out;
    }
    std::vector<std::vector<int>> horses() const
    {
        const TicketReader reader(selection, list.layout());
        std::vector<std::vector<int>> out;
        for (std::int64_t t = 1; t <= list.count(); ++t) {
            std::vector<int> ticket;
            for (int p = 1; p <= list.horsesPerTicket(); ++p)
                ticket.push_back(reader.horse(list.ticket(t), p));
            out.push_back(ticket);
        }
        return out;
    }
};

Generated runGenerator(const SelectionBoxes &b, const GeneratorSettings &g)
{
    Generated out;
    readSelection(b, g.bases.baseCount, out.selection);
    MemoryTicketSink sink;
    EXPECT_EQ(generateCombinations(g, sink), std::int64_t(countTickets(g)));
    out.list = sink.takeList();
    return out;
}

Generated runSystem(const SelectionBoxes &b, int system)
{
    Generated out;
    readSelection(b, 0, out.selection);
    MemoryTicketSink sink;
    generateFromSystem(system, sink);
    out.list = sink.takeList();
    return out;
}

} // namespace

TEST(Generator, WorkedExamplesOnSevenThreeTwelveFive)
{
    const SelectionBoxes sel = boxes({ 7, 3, 12, 5 });

    const Generated reduced = runGenerator(sel, generator(4, 2, 0, true));
    EXPECT_EQ(reduced.letters(), (std::vector<std::string> { "AB", "AC", "AD", "BC", "BD", "CD" }));
    EXPECT_EQ(reduced.horses(),
        (std::vector<std::vector<int>> { { 7, 3 }, { 7, 12 }, { 7, 5 }, { 3, 12 }, { 3, 5 }, { 12, 5 } }));

    const Generated complete = runGenerator(sel, generator(3, 2, 0, false));
    EXPECT_EQ(complete.letters(), (std::vector<std::string> { "AB", "AC", "BA", "BC", "CA", "CB" }));

    const Generated based = runGenerator(sel, generator(4, 3, 1, true, { 2, 2, 3 }));
    EXPECT_EQ(countTickets(generator(4, 3, 1, true)), 3u);
    EXPECT_EQ(based.letters(), (std::vector<std::string> { "AB", "AC", "BC" }));
    EXPECT_EQ(based.horses(), (std::vector<std::vector<int>> { { 3, 7, 12 }, { 3, 7, 5 }, { 12, 7, 5 } }));
}

TEST(Generator, BasesAtOneAndThreeFillTheOtherPositionsInOrder)
{
    const Generated g = runGenerator(boxes({ 1, 2, 3, 4, 5 }), generator(5, 4, 2, true, { 1, 3, 2 }));
    ASSERT_EQ(g.list.count(), 3);
    EXPECT_EQ(g.letters().front(), "AB");
    // Letter 1 fills position 2 and letter 2 fills position 4.
    EXPECT_EQ(g.horses().front(), (std::vector<int> { 1, 3, 2, 4 }));
    EXPECT_EQ(g.horses().back(), (std::vector<int> { 1, 4, 2, 5 }));
}

TEST(Generator, AllBasesGiveOneEmptyTicketHoldingTheBasesInPositionOrder)
{
    const GeneratorSettings g = generator(3, 3, 3, true, { 3, 1, 2 });
    EXPECT_EQ(countTickets(g), 1u);
    const Generated out = runGenerator(boxes({ 9, 4, 6 }), g);
    ASSERT_EQ(out.list.count(), 1);
    EXPECT_EQ(out.letters().front(), "");
    EXPECT_EQ(out.horses().front(), (std::vector<int> { 4, 6, 9 }));
}

TEST(Generator, CountsAreExactInSixtyFourBits)
{
    EXPECT_EQ(countTickets(generator(20, 5, 0, false)), 1860480u);
    EXPECT_EQ(countTickets(generator(20, 8, 0, false)), 5079110400u);
    EXPECT_EQ(countTickets(generator(20, 8, 0, true)), 125970u);
    EXPECT_EQ(countTickets(generator(20, 20, 0, true)), 1u);
    EXPECT_EQ(countTickets(generator(5, 3, 2, true)), 3u) << "one ticket per non-base horse when k = B + 1";
    EXPECT_EQ(countTickets(generator(3, 5, 0, true)), 0u);
}

TEST(Generator, ConfirmationMessageIsBuiltFromItsFivePieces)
{
    const Message m = confirmTicketCountMessage(1860480);
    EXPECT_EQ(m.text, QStringLiteral("Votre sélection va générer \n1860480 tickets \r Voulez vous continuer ?"));
    EXPECT_EQ(m.title, QStringLiteral("Veuillez confirmer"));
}

// Every n, k, B and base placement up to small sizes, against an independent enumeration:
// all orderings of the pool, cut to k - B and de-duplicated, sorted.
TEST(Generator, MatchesAnIndependentEnumerationForSmallSettings)
{
    const SelectionBoxes sel = boxes({ 11, 4, 17, 2, 9, 20, 6 });
    for (int n = 1; n <= 7; ++n)
        for (int k = 1; k <= std::min(n, 5); ++k)
            for (int b = 0; b <= std::min(k, 3); ++b)
                for (bool reduced : { true, false }) {
                    const std::array<int, 3> positions = { k, 1, std::min(2, k) };
                    GeneratorSettings g = generator(n, k, b, reduced, positions);
                    if (!checkBasePositions(g))
                        continue;
                    std::string pool(std::size_t(n - b), 'A');
                    std::iota(pool.begin(), pool.end(), 'A');
                    std::set<std::string> expected;
                    std::string perm = pool;
                    do {
                        std::string t = perm.substr(0, std::size_t(k - b));
                        if (reduced)
                            std::sort(t.begin(), t.end());
                        expected.insert(t);
                    } while (std::next_permutation(perm.begin(), perm.end()));

                    const Generated out = runGenerator(sel, g);
                    const std::vector<std::string> got = out.letters();
                    const std::string label = "n=" + std::to_string(n) + " k=" + std::to_string(k)
                        + " b=" + std::to_string(b) + (reduced ? " reduced" : " complete");
                    EXPECT_EQ(got, std::vector<std::string>(expected.begin(), expected.end())) << label;
                    EXPECT_EQ(std::uint64_t(got.size()), countTickets(g)) << label;
                    // Every ticket holds each base at its position and no horse twice.
                    for (const std::vector<int> &ticket : out.horses()) {
                        for (int i = 0; i < b; ++i)
                            EXPECT_EQ(ticket[std::size_t(positions[std::size_t(i)] - 1)],
                                out.selection.baseHorses[std::size_t(i + 1)])
                                << label;
                        EXPECT_EQ(std::set<int>(ticket.begin(), ticket.end()).size(), ticket.size()) << label;
                    }
                }
}

namespace {

// The ticket file as the reader sees the list: each horse, a comma, CR LF.
QByteArray linesOf(const Generated &g)
{
    QByteArray text;
    for (const std::vector<int> &ticket : g.horses()) {
        for (int horse : ticket)
            text += QByteArray::number(horse) + ',';
        text += "\r\n";
    }
    return text;
}

QByteArray fileOf(const SelectionBoxes &b, const GeneratorSettings &g)
{
    Selection selection;
    readSelection(b, g.bases.baseCount, selection);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TicketFileSink sink(selection, buffer);
    generateCombinations(g, sink);
    EXPECT_TRUE(sink.finish());
    EXPECT_EQ(sink.linesWritten(), std::int64_t(countTickets(g)));
    return bytes;
}

} // namespace

// The file keeps the text of a line up to its last letter and rewrites only what changed:
// numbers of one and two digits and bases at every place must still give the reader's lines.
TEST(TicketFile, LinesAreTheListReadThroughTheReaderForEverySetting)
{
    const SelectionBoxes sel = boxes({ 11, 4, 17, 2, 9, 20, 6 });
    for (int n = 1; n <= 7; ++n)
        for (int k = 1; k <= std::min(n, 5); ++k)
            for (int b = 0; b <= std::min(k, 3); ++b)
                for (int p1 = 1; p1 <= (b >= 1 ? k : 1); ++p1)
                    for (int p2 = 1; p2 <= (b >= 2 ? k : 1); ++p2)
                        for (int p3 = 1; p3 <= (b >= 3 ? k : 1); ++p3)
                            for (bool reduced : { true, false }) {
                                const GeneratorSettings g = generator(n, k, b, reduced, { p1, p2, p3 });
                                if (!checkBasePositions(g))
                                    continue;
                                EXPECT_EQ(fileOf(sel, g), linesOf(runGenerator(sel, g)))
                                    << "n=" << n << " k=" << k << " b=" << b << " at " << p1 << p2 << p3
                                    << (reduced ? " reduced" : " complete");
                            }

    // A real file of several buffers, written while the next lines are made.
    const SelectionBoxes twelve = boxes({ 1, 12, 3, 10, 5, 8, 7, 6, 9, 4, 11, 2 });
    const GeneratorSettings big = generator(12, 7, 1, false, { 4, 1, 1 });
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("big.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    Selection selection;
    readSelection(twelve, 1, selection);
    TicketFileSink sink(selection, file);
    generateCombinations(big, sink);
    ASSERT_TRUE(sink.finish());
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_GT(written.size(), 4 << 20);
    EXPECT_TRUE(written == linesOf(runGenerator(twelve, big)));
}

TEST(ReducedSystems, SystemTwoOnItsWorkedSelection)
{
    const Generated g = runSystem(boxes({ 4, 9, 1, 12, 6, 3 }), 2);
    EXPECT_EQ(g.list.baseCount(), 0);
    EXPECT_EQ(g.list.horsesPerTicket(), 5);
    EXPECT_EQ(g.horses(),
        (std::vector<std::vector<int>> {
            { 4, 9, 1, 12, 6 }, { 4, 9, 1, 12, 3 }, { 4, 9, 1, 6, 3 }, { 4, 9, 12, 6, 3 } }));
}

TEST(ReducedSystems, TicketsComeInTableOrderAndShortSelectionsReadAsZero)
{
    const Generated g = runSystem(boxes({ 1, 2, 3, 4, 5, 6, 7, 8 }), 5);
    EXPECT_EQ(g.horses()[4], (std::vector<int> { 5, 6, 7, 8, 1 }));
    // Six horses typed for an eight-horse system: the missing places read as 0, never as a
    // horse left over from an earlier selection.
    const Generated shortOne = runSystem(boxes({ 1, 2, 3, 4, 5, 6 }), 5);
    EXPECT_EQ(shortOne.horses()[4], (std::vector<int> { 5, 6, 0, 0, 1 }));
}

TEST(TicketList, CountedOnlyListsHaveSlotsButNoLetters)
{
    const TicketList list = TicketList::countedOnly(TicketLayout { 5, 0, { 1, 2, 3 } }, 5079110400LL);
    EXPECT_EQ(list.count(), 5079110400LL);
    EXPECT_FALSE(list.holdsLetters());
    EXPECT_TRUE(list.ticket(5079110400LL).empty());
}
