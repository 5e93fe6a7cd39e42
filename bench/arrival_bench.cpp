// Checking the biggest quinté list against an arrival, and opening the windows that show it:
// 20 horses, 5 per ticket, every order (1,860,480 tickets). Baselines from the same run:
//   classification  vs  a loop that only reads the same ticket letters;
//   classification against an official result with two dead heats and two non-runners, and
//   against the plain five places through the same path  vs  the plain classification;
//   opening the list or the results on 1,860,480 tickets  vs  the same on 51 tickets;
//   classifying 1,860,480 tickets of each other bet of the race (couplé gagnant to Pick5, each
//   ticket of the bet's size drawn at random) against the result with dead heats and
//   non-runners  vs  the plain quinté+ classification.
// The memory a window adds beyond the ticket store is what it still holds on the heap once
// shown (the window itself is made beforehand, as at start-up).
//
// MAROVELLIX_BENCH_LARGEST=1 adds the longest list the program keeps (20 horses, 7 per
// ticket, every order: 390,700,800 tickets, 2.7 GB of letters): opening the list, reaching and
// painting its last ticket, and comparing it.

#include "arrival/bet_judge.h"
#include "arrival/classification.h"
#include "arrival/result_classification.h"
#include "combi/game_cost.h"
#include "combi/generation.h"
#include "model/game_state.h"
#include "ui/ticket_grid.h"
#include "ui/ufcompare.h"
#include "ui/uresultatcomb.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableView>

#include "ratio_reporter.h"

#include <cstdio>
#include <malloc.h>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Answers nothing and prints nothing: the windows measured here ask nothing of it.
class QuietPlatform : public mvx::Platform
{
public:
    Answer message(const QString &, const QString &, Buttons, Icon) override { return Answer::Cancel; }
    void beep() override { }
    QString saveFileName(const FileDialog &) override { return {}; }
    QString openFileName(const FileDialog &) override { return {}; }
    void setWaitCursor(bool) override { }
    QString programFolder() override { return {}; }
    bool openDocument(const QString &) override { return false; }
    bool openInBrowser(const QString &) override { return false; }
    bool startProgram(const QString &) override { return false; }
    std::unique_ptr<mvx::PrintSurface> openPrinter(const QString &) override { return nullptr; }
};

// The bytes the program holds on its heap, mapped blocks included.
std::int64_t heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return std::int64_t(info.uordblks + info.hblkhd);
}

std::int64_t residentBytes()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return std::int64_t(resident) * sysconf(_SC_PAGESIZE);
}

mvx::GeneratorSettings everyOrder(int horses, int perTicket)
{
    mvx::GeneratorSettings g;
    g.horsesToCombine = horses;
    g.horsesPerTicket = perTicket;
    g.reduced = false;
    return g;
}

// A game state holding the tickets of the generator settings, 20 horses selected.
std::unique_ptr<mvx::GameState> stateWith(const mvx::GeneratorSettings &g)
{
    auto state = std::make_unique<mvx::GameState>();
    for (int h = 1; h <= 20; ++h)
        state->selection.otherHorses[std::size_t(h)] = h;
    mvx::MemoryTicketSink sink;
    mvx::generateCombinations(g, sink);
    state->tickets = sink.takeList();
    return state;
}

mvx::GameState &biggestQuinte()
{
    static const std::unique_ptr<mvx::GameState> state = stateWith(everyOrder(20, 5));
    return *state;
}

mvx::GameState &smallQuinte()
{
    // 51 tickets, as many as a reduced quinté system of 10 horses.
    static const std::unique_ptr<mvx::GameState> state = [] {
        auto s = stateWith(everyOrder(20, 5));
        mvx::TicketList few = mvx::TicketList::stored(s->tickets.layout(), 51);
        for (std::int64_t t = 1; t <= 51; ++t)
            few.append(s->tickets.ticket(t * 1000));
        s->tickets = std::move(few);
        return s;
    }();
    return *state;
}

const mvx::Arrival kArrival { 0, 7, 3, 12, 1, 9 };

void ClassifyTickets(benchmark::State &state)
{
    const mvx::GameState &game = biggestQuinte();
    std::vector<std::uint8_t> categories(std::size_t(game.tickets.count()));
    mvx::WinCounts counts {};
    for (auto _ : state) {
        counts.fill(0);
        const mvx::TicketClassifier classifier(game.tickets, game.selection, kArrival);
        classifier.classify(0, game.tickets.count(), categories.data(), counts);
        benchmark::DoNotOptimize(categories.data());
    }
    state.SetItemsProcessed(state.iterations() * game.tickets.count());
    state.counters["quinte_desordre"] = counts[1];
}
BENCHMARK(ClassifyTickets)->Unit(benchmark::kMillisecond);

// The official result: 3 and 12 dead-heated 2nd, 1 and 9 dead-heated 4th, 4 and 16 non-runners.
mvx::OfficialResult tiedResult()
{
    mvx::OfficialResult result;
    result.arrival = { { 7 }, { 3, 12 }, { 1, 9 }, { 5 } };
    result.nonRunners = { 4, 16 };
    using C = mvx::ResultCategory;
    result.rapports = { { C::QuinteInOrder, { 7, 3, 12, 1, 9 }, 8000 }, { C::QuinteAnyOrder, { 7, 3, 12, 1, 9 }, 160 },
        { C::Bonus4, {}, 20 }, { C::Bonus4Of5, {}, 6 }, { C::Bonus3, {}, 4 }, { C::QuarteInOrder, {}, 900 },
        { C::QuarteAnyOrder, {}, 60 }, { C::QuarteBonus, {}, 5 }, { C::QuinteTwoNonRunners, {}, 40 } };
    return result;
}

void classifyAgainst(benchmark::State &state, const mvx::OfficialResult &result)
{
    const mvx::GameState &game = biggestQuinte();
    std::vector<std::uint8_t> categories(std::size_t(game.tickets.count()));
    mvx::ResultTotals totals;
    for (auto _ : state) {
        totals = {};
        const mvx::ResultJudge judge(result, mvx::defaultStakes());
        const mvx::ResultClassifier classifier(game.tickets, game.selection, judge);
        classifier.classify(0, game.tickets.count(), categories.data(), totals);
        benchmark::DoNotOptimize(categories.data());
    }
    state.SetItemsProcessed(state.iterations() * game.tickets.count());
    state.counters["quinte_desordre"] = double(totals.counts[1]);
    state.counters["refunded"] = double(totals.refunded());
}

void ClassifyTicketsAgainstTiesAndNonRunners(benchmark::State &state)
{
    classifyAgainst(state, tiedResult());
}
BENCHMARK(ClassifyTicketsAgainstTiesAndNonRunners)->Unit(benchmark::kMillisecond);

void ClassifyTicketsAgainstPlainResult(benchmark::State &state)
{
    classifyAgainst(state, mvx::officialResult(kArrival, mvx::Payouts { 8000, 160, 6, 20, 4, 900, 60, 5 }));
}
BENCHMARK(ClassifyTicketsAgainstPlainResult)->Unit(benchmark::kMillisecond);

// As many tickets of the bet's size as the biggest quinté+ list, each of distinct horses drawn
// at random (the same draw every run).
const mvx::TicketList &randomTicketsOf(int horsesPerTicket)
{
    static std::map<int, mvx::TicketList> lists;
    if (const auto known = lists.find(horsesPerTicket); known != lists.end())
        return known->second;
    const std::int64_t count = biggestQuinte().tickets.count();
    mvx::TicketList list = mvx::TicketList::stored(mvx::TicketLayout { horsesPerTicket, 0, { 0, 0, 0 } }, count);
    std::mt19937 pick { std::uint32_t(horsesPerTicket) };
    std::string letters = "ABCDEFGHIJKLMNOPQRST";
    for (std::int64_t t = 0; t < count; ++t) {
        for (int i = 0; i < horsesPerTicket; ++i)
            std::swap(letters[std::size_t(i)], letters[std::size_t(i) + pick() % (20 - std::size_t(i))]);
        list.append(letters.substr(0, std::size_t(horsesPerTicket)));
    }
    return lists.emplace(horsesPerTicket, std::move(list)).first->second;
}

// The tied result with a rapport for each category of the other bets.
mvx::OfficialResult tiedResultOfEveryBet()
{
    mvx::OfficialResult result = tiedResult();
    result.runners = 14;
    for (int c = int(mvx::ResultCategory::SimpleWinner); c <= mvx::kResultCategories; ++c)
        result.rapports.push_back({ mvx::ResultCategory(c), {}, 10.0 + c });
    return result;
}

void classifyBet(benchmark::State &state, mvx::Bet bet)
{
    const mvx::TicketList &tickets = randomTicketsOf(mvx::horsesPerTicket(bet));
    const mvx::GameState &game = biggestQuinte();
    std::vector<std::uint8_t> categories(std::size_t(tickets.count()));
    mvx::ResultTotals totals;
    const mvx::OfficialResult result = tiedResultOfEveryBet();
    for (auto _ : state) {
        totals = {};
        const mvx::BetJudge judge(result, bet, mvx::defaultStakes());
        const mvx::BetClassifier classifier(tickets, game.selection, judge);
        classifier.classify(0, tickets.count(), categories.data(), totals);
        benchmark::DoNotOptimize(categories.data());
    }
    state.SetItemsProcessed(state.iterations() * tickets.count());
    std::int64_t won = 0;
    for (std::size_t c = 0; c < totals.counts.size(); ++c)
        if (mvx::ResultCategory(c + 1) != mvx::ResultCategory::Refunded)
            won += totals.counts[c];
    state.counters["won"] = double(won);
    state.counters["refunded"] = double(totals.refunded());
}

// Reads every letter of every ticket and adds them up: the least any classification must do.
void ReadTicketLetters(benchmark::State &state)
{
    const mvx::GameState &game = biggestQuinte();
    for (auto _ : state) {
        unsigned sum = 0;
        for (std::int64_t t = 1; t <= game.tickets.count(); ++t)
            for (char letter : game.tickets.ticket(t))
                sum += static_cast<unsigned char>(letter);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * game.tickets.count());
}
BENCHMARK(ReadTicketLetters)->Unit(benchmark::kMillisecond);

// Reads every horse of every ticket the way the consumers of the list do.
void ReadTicketHorses(benchmark::State &state)
{
    const mvx::GameState &game = biggestQuinte();
    const mvx::TicketReader reader(game.selection, game.tickets.layout());
    for (auto _ : state) {
        int sum = 0;
        for (std::int64_t t = 1; t <= game.tickets.count(); ++t)
            for (int p = 1; p <= 5; ++p)
                sum += reader.horse(game.tickets.ticket(t), p);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * game.tickets.count());
}
BENCHMARK(ReadTicketHorses)->Unit(benchmark::kMillisecond);

// From the request to the list window painted once, on a window made at start-up.
void OpenList(benchmark::State &state, mvx::GameState &game)
{
    QuietPlatform platform;
    mvx::Tfresultatcomb window(game, platform);
    window.resize(window.size()); // laid out as when shown
    const std::int64_t before = heapBytes();
    for (auto _ : state) {
        window.FormActivate();
        benchmark::DoNotOptimize(window.grab());
    }
    state.counters["tickets"] = double(game.tickets.count());
    state.counters["bytes_added"] = double(heapBytes() - before);
}
void OpenListOfBiggestQuinte(benchmark::State &state)
{
    OpenList(state, biggestQuinte());
}
void OpenListOf51Tickets(benchmark::State &state)
{
    OpenList(state, smallQuinte());
}
BENCHMARK(OpenListOfBiggestQuinte)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenListOf51Tickets)->Unit(benchmark::kMillisecond);

// "Voir les résultats": payouts, arrival, classification, grid and summary, painted once.
void CompareAndShow(benchmark::State &state, mvx::GameState &game)
{
    QuietPlatform platform;
    mvx::Tfcompare window(game, platform);
    window.FormActivate();
    const QStringList arrival { "7", "3", "12", "1", "9" };
    for (int p = 1; p <= 5; ++p)
        window.findChild<QComboBox *>(QStringLiteral("c%1").arg(p))->setEditText(arrival[p - 1]);
    const std::int64_t before = heapBytes();
    for (auto _ : state) {
        window.AOLButton1Click();
        benchmark::DoNotOptimize(window.grab());
    }
    state.counters["tickets"] = double(game.tickets.count());
    state.counters["bytes_added"] = double(heapBytes() - before);
}
void CompareBiggestQuinte(benchmark::State &state)
{
    CompareAndShow(state, biggestQuinte());
}
void Compare51Tickets(benchmark::State &state)
{
    CompareAndShow(state, smallQuinte());
}
BENCHMARK(CompareBiggestQuinte)->Unit(benchmark::kMillisecond);
BENCHMARK(Compare51Tickets)->Unit(benchmark::kMillisecond);

// The longest list, measured once: generating it is most of the time.
void largestList()
{
    QElapsedTimer clock;
    clock.start();
    const std::unique_ptr<mvx::GameState> game = stateWith(everyOrder(20, 7));
    std::printf("\nLongest list: %lld tickets generated in %.1f s, resident %.0f MB\n",
        static_cast<long long>(game->tickets.count()), clock.elapsed() / 1000.0, residentBytes() / 1e6);

    QuietPlatform platform;
    mvx::Tfresultatcomb list(*game, platform);
    list.show();
    std::int64_t before = heapBytes();
    clock.restart();
    list.FormActivate();
    list.grab();
    std::printf("  list opened and painted in %.1f ms, %lld bytes added\n", clock.nsecsElapsed() / 1e6,
        static_cast<long long>(heapBytes() - before));
    auto *grid = list.findChild<mvx::ui::TicketGrid *>(QStringLiteral("grillecomb"));
    clock.restart();
    grid->scrollToRow(game->tickets.count());
    list.grab();
    const QAbstractItemModel *model = grid->table()->model();
    std::printf("  last ticket reached and painted in %.1f ms: row \"%s\" shows %s\n", clock.nsecsElapsed() / 1e6,
        qPrintable(model->index(model->rowCount() - 1, 0).data().toString()),
        qPrintable(model->index(model->rowCount() - 1, 7).data().toString()));
    list.hide();

    mvx::Tfcompare compare(*game, platform);
    compare.show();
    before = heapBytes();
    clock.restart();
    compare.AOLButton1Click();
    compare.grab();
    std::printf(
        "  compared and shown in %.2f s, %.0f MB added\n", clock.elapsed() / 1000.0, (heapBytes() - before) / 1e6);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(
        { { "ClassifyTickets", "ReadTicketLetters" }, { "ClassifyTicketsAgainstTiesAndNonRunners", "ClassifyTickets" },
            { "ClassifyTicketsAgainstPlainResult", "ClassifyTickets" }, { "ReadTicketHorses", "ReadTicketLetters" },
            { "OpenListOfBiggestQuinte", "OpenListOf51Tickets" }, { "CompareBiggestQuinte", "Compare51Tickets" } });
    for (const mvx::Bet bet : mvx::allBets()) {
        if (mvx::isClassicBet(bet))
            continue;
        const std::string name = "ClassifyBet_" + mvx::betCliName(bet).toStdString();
        benchmark::RegisterBenchmark(name.c_str(), classifyBet, bet)->Unit(benchmark::kMillisecond);
        reporter.addPair(name, "ClassifyTickets");
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (qEnvironmentVariableIntValue("MAROVELLIX_BENCH_LARGEST") == 1)
        largestList();
    return 0;
}
