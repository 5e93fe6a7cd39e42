#include "combi/catalogue.h"
#include "combi/ticket_conditions.h"
#include "combi/ticket_file.h"
#include "game/ticket_request.h"

#include "support/scripted_platform.h"

#include <QBuffer>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

using namespace mvx;

namespace {

// Every ticket of the page, unconditioned, in the list and in the file; then both filtered
// ticket by ticket through TicketConditions::passes on the horses read back.
struct Expected
{
    std::vector<std::string> letters;
    QByteArray lines;
};

Expected bruteForce(const TicketRecipe &page)
{
    TicketRecipe all = page;
    all.conditions = {};
    Expected out;
    Selection selection;
    MemoryTicketSink memory;
    generateTickets(selection, all, memory);
    const TicketList list = memory.takeList();
    const TicketReader reader(selection, list.layout());
    for (std::int64_t t = 1; t <= list.count(); ++t) {
        std::vector<int> horses;
        for (int p = 1; p <= list.horsesPerTicket(); ++p)
            horses.push_back(reader.horse(list.ticket(t), p));
        if (page.conditions.passes(horses))
            out.letters.emplace_back(list.ticket(t));
    }
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    TicketFileSink sink(selection, file);
    generateTickets(selection, all, sink);
    EXPECT_TRUE(sink.finish());
    for (const QByteArray &line : file.data().split('\n')) {
        std::vector<int> horses;
        for (const QByteArray &n : line.split(','))
            if (!n.trimmed().isEmpty())
                horses.push_back(n.toInt());
        if (!line.isEmpty() && page.conditions.passes(horses))
            out.lines += line + '\n';
    }
    return out;
}

TicketConditions randomConditions(std::mt19937 &random, int horsesPerTicket)
{
    TicketConditions c;
    std::vector<int> horses(kMaxHorses);
    std::iota(horses.begin(), horses.end(), 1);
    std::shuffle(horses.begin(), horses.end(), random);
    const int groups = int(random() % 4);
    std::size_t next = 0;
    for (int g = 0; g < groups; ++g) {
        ConditionGroup group;
        for (int i = 1 + int(random() % 5); i > 0; --i)
            group.horses |= 1u << horses[next++];
        group.min = random() % 2 ? 0 : int(random() % std::uint32_t(std::min(group.size(), horsesPerTicket) + 1));
        group.max = group.min + int(random() % 3);
        c.groups.push_back(group);
    }
    if (random() % 2) {
        const int low = 4 * horsesPerTicket + int(random() % std::uint32_t(8 * horsesPerTicket));
        c.sum = SumRange { low, low + 10 + int(random() % 40) };
    }
    return c;
}

} // namespace

TEST(TicketConditions, ConditionedGenerationKeepsExactlyTheTicketsOfTheFullListThatPass)
{
    std::mt19937 random(2126);
    int checked = 0;
    int empty = 0;
    for (int round = 0; round < 400; ++round) {
        TicketRecipe page;
        std::vector<int> horses(kMaxHorses);
        std::iota(horses.begin(), horses.end(), 1);
        std::shuffle(horses.begin(), horses.end(), random);
        for (std::size_t i = 0; i < page.boxes.size(); ++i)
            page.boxes[i] = QString::number(horses[i]);
        page.source = round % 4 == 0 ? TicketSource::CatalogueSystem
            : round % 8 == 4         ? TicketSource::OwnSystem
                                     : TicketSource::Generator;
        int k = 0;
        if (page.source == TicketSource::OwnSystem) {
            // A table of the punter's own: rows of k different positions among the first n.
            page.source = TicketSource::Generator;
            OwnSystem &own = page.ownSystem;
            own.request.horses = 5 + int(random() % 8);
            own.request.perTicket = k = 2 + int(random() % 4);
            std::vector<int> positions(std::size_t(own.request.horses));
            std::iota(positions.begin(), positions.end(), 1);
            for (int r = 1 + int(random() % 40); r > 0; --r) {
                std::shuffle(positions.begin(), positions.end(), random);
                own.rows.emplace_back(positions.begin(), positions.begin() + k);
            }
        } else if (page.source == TicketSource::CatalogueSystem) {
            page.systemNumber = 1 + int(random() % kSystemCount);
            k = reducedSystem(page.systemNumber).horsesPerTicket;
        } else {
            GeneratorSettings &g = page.generator;
            g.horsesPerTicket = k = 1 + int(random() % 6);
            g.horsesToCombine = k + int(random() % std::uint32_t(std::min(8, kMaxHorses - k) + 1));
            g.bases.baseCount = int(random() % std::uint32_t(std::min(k, 3) + 1));
            std::array<int, 5> positions { 1, 2, 3, 4, 5 };
            std::shuffle(positions.begin(), positions.begin() + std::min(k, 5), random);
            g.bases.positions = { positions[0], positions[1], positions[2] };
            g.reduced = random() % 2 == 0;
            if (!checkBasePositions(g))
                continue;
        }
        page.conditions = randomConditions(random, k);
        if (checkConditions(page.conditions, k))
            continue;
        const Expected expected = bruteForce(page);
        EXPECT_EQ(requestTicketCount(page), expected.letters.size()) << "round " << round;
        EXPECT_EQ(checkTicketRequest(page).empty(), !expected.letters.empty()) << "round " << round;

        Selection selection;
        MemoryTicketSink memory;
        generateTickets(selection, page, memory);
        const TicketList list = memory.takeList();
        std::vector<std::string> letters;
        for (std::int64_t t = 1; t <= list.count(); ++t)
            letters.emplace_back(list.ticket(t));
        EXPECT_EQ(letters, expected.letters) << "round " << round;

        QBuffer file;
        file.open(QIODevice::WriteOnly);
        TicketFileSink sink(selection, file);
        generateTickets(selection, page, sink);
        EXPECT_TRUE(sink.finish());
        EXPECT_EQ(file.data(), expected.lines) << "round " << round;
        EXPECT_EQ(sink.linesWritten(), std::int64_t(expected.letters.size()));
        ++checked;
        empty += expected.letters.empty() ? 1 : 0;
    }
    // The cases cover both outcomes: tickets kept, and none kept (refused before anything is made).
    EXPECT_GT(checked, 200);
    EXPECT_GT(empty, 5);
    EXPECT_LT(empty, checked / 2);
}

TEST(TicketConditions, CountsOfTheBiggestRequestSplitByAGroupAddUpToTheWhole)
{
    // 20 horses, 8 per ticket, complete: too many to make, counted by sets of letters.
    TicketRecipe page;
    page.source = TicketSource::Generator;
    page.generator = GeneratorSettings { 20, 8, {}, false };
    for (int h = 1; h <= kMaxHorses; ++h)
        page.boxes[std::size_t(h - 1)] = QString::number(h);
    std::uint64_t total = 0;
    for (int j = 0; j <= 5; ++j) {
        page.conditions.groups = { ConditionGroup { QStringLiteral("Favoris"), 0b111110, j, j } };
        total += requestTicketCount(page);
    }
    EXPECT_EQ(total, 5'079'110'400u);
    // Exactly two of the five favourites: C(5,2) C(15,6) 8!.
    page.conditions.groups = { ConditionGroup { QStringLiteral("Favoris"), 0b111110, 2, 2 } };
    EXPECT_EQ(requestTicketCount(page), 10u * 5005u * 40320u);
}

TEST(TicketConditions, RefusalsNameTheConditionAndNothingIsWritten)
{
    auto refusal = [](TicketConditions c, int k) {
        const std::optional<Message> m = checkConditions(c, k);
        return m ? m->text : QString();
    };
    const ConditionGroup favourites { QStringLiteral("Favoris"), 0b1110, 1, 2 };
    const ConditionGroup outsiders { QStringLiteral("Outsiders"), 0b110000, 0, 1 };
    EXPECT_EQ(refusal({ { favourites, outsiders }, std::nullopt }, 5), QString());
    EXPECT_EQ(refusal({ { favourites, { QStringLiteral("Outsiders"), 0b11000, 0, 1 } }, std::nullopt }, 5),
        QStringLiteral("Le cheval 3 est à la fois dans le groupe « Favoris » et dans le groupe « Outsiders »."));
    EXPECT_EQ(refusal({ { { QStringLiteral("Favoris"), 0b1110, 3, 2 } }, std::nullopt }, 5),
        QStringLiteral("Groupe « Favoris » : le minimum (3) dépasse le maximum (2)."));
    EXPECT_EQ(refusal({ { { QString(), 0b1110, 4, 4 } }, std::nullopt }, 5),
        QStringLiteral("Groupe « groupe 1 » : le minimum (4) dépasse le nombre de chevaux du groupe (3)."));
    EXPECT_EQ(refusal({ { { QStringLiteral("Tocards"), 0b1111110, 4, 5 } }, std::nullopt }, 3),
        QStringLiteral("Groupe « Tocards » : le minimum (4) dépasse le nombre de chevaux d'un ticket (3)."));
    EXPECT_EQ(refusal({ {}, SumRange { 91, 95 } }, 5),
        QStringLiteral("Somme des numéros : aucun ticket de 5 chevaux n'a une somme entre 91 et 95 (elle va "
                       "de 15 à 90)."));
    EXPECT_EQ(refusal({ {}, SumRange { 90, 95 } }, 5), QString());

    // Possible conditions that keep none of this selection's tickets: refused before the count
    // question and the file name.
    TicketRecipe page;
    page.source = TicketSource::Generator;
    page.generator = GeneratorSettings { 5, 3, {}, true };
    page.boxes = { "1", "2", "3", "4", "5" };
    page.conditions.groups = { { QStringLiteral("Favoris"), 0b11 << 10, 1, 2 } };
    GameState state;
    mvx::testing::ScriptedPlatform platform;
    platform.answers = { Platform::Answer::Yes };
    platform.fileNames = { QStringLiteral("/nonexistent/never.txt") };
    EXPECT_FALSE(prepareTickets(state, page, TicketDestination::File, platform));
    EXPECT_EQ(platform.messageTexts(), QStringList { QStringLiteral("Aucun ticket ne remplit les conditions") });
    EXPECT_TRUE(platform.fileDialogs.empty());
}

TEST(TicketConditions, PayloadRoundTripsAndDamageIsRefused)
{
    TicketConditions c;
    c.groups = { { QStringLiteral("Favoris é"), 0b10110, 1, 2 }, { QString(), 1u << 20, 0, 1 } };
    c.sum = SumRange { 30, 60 };
    const QByteArray payload = encodeConditions(c);
    EXPECT_EQ(decodeConditions(payload), c);
    EXPECT_EQ(decodeConditions(encodeConditions({})), TicketConditions {});
    for (qsizetype cut = 0; cut < payload.size(); ++cut)
        EXPECT_FALSE(decodeConditions(payload.first(cut))) << "cut at " << cut;
    EXPECT_FALSE(decodeConditions(payload + '\0'));
    auto damaged = [&](qsizetype at, char value) {
        QByteArray d = payload;
        d[at] = value;
        return decodeConditions(d);
    };
    EXPECT_FALSE(damaged(0, 2)); // unknown version
    EXPECT_FALSE(damaged(1, 5)); // five groups
    EXPECT_FALSE(damaged(3, '\xff')); // a name that is not UTF-8
    EXPECT_FALSE(damaged(13, 1)); // horse 0 in the first group
    EXPECT_FALSE(damaged(17, 3)); // minimum above the maximum
    EXPECT_FALSE(damaged(20, 4)); // horse 2 in both groups
    EXPECT_FALSE(damaged(payload.size() - 5, 2)); // the sum's flag
}

TEST(TicketConditions, FilterWritesTheSameBytesAsTicketsWithTheGroups)
{
    auto run = [](const QStringList &args, const QByteArray &input = {}) {
        QProcess p;
        p.start(QStringLiteral(MAROVELLIX_CLI), args);
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::tuple { p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()) };
    };
    const QStringList request { "tickets", "-n", "9", "-k", "4", "-b", "1", "-p", "2", "--complete", "4", "9", "1",
        "12", "6", "3", "17", "8", "20" };
    const QStringList conditions { "--group", "1,3,12:1-2", "--group", "17,20,8:0-1", "--sum", "25-45" };
    const auto [allStatus, all, allErr] = run(request);
    ASSERT_EQ(allStatus, 0) << allErr.toStdString();
    const auto [keptStatus, kept, keptErr] = run(request + conditions);
    ASSERT_EQ(keptStatus, 0) << keptErr.toStdString();
    const auto [status, filtered, err] = run(QStringList { "filter" } + conditions, all);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(filtered, kept);
    EXPECT_GT(kept.count('\n'), 10);
    EXPECT_LT(kept.count('\n'), all.count('\n'));
    EXPECT_EQ(err.trimmed(),
        QStringLiteral("%1 tickets gardés, %2 écartés").arg(kept.count('\n')).arg(all.count('\n') - kept.count('\n')));

    // Conditions that cannot go together, a group bigger than the file's tickets allow, a file
    // with a line that is no ticket: status 2 and nothing on standard output.
    for (const auto &[args, input] : std::vector<std::pair<QStringList, QByteArray>> {
             { { "filter", "--group", "1,2:1-1", "--group", "2,3:0-1" }, all },
             { { "filter", "--group", "1,3,12,6,17:5-5" }, all },
             { { "filter", "--group", "1,3:1-1" }, all + "1,x,\r\n" },
             { { "tickets", "-n", "5", "-k", "3", "--group", "6,7:1-1", "1", "2", "3", "4", "5" }, {} } }) {
        const auto [badStatus, badOut, badErr] = run(args, input);
        EXPECT_EQ(badStatus, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(badOut.isEmpty()) << args.join(' ').toStdString();
        EXPECT_FALSE(badErr.isEmpty());
    }
}
