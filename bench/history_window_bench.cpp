// The "Mes courses" window over 10,000 races, about ten years of three races a day, against the
// same window over an empty history, offscreen: opening it (the list, the totals and the chart of
// the cumulative balance, painted once), and choosing a filter (a bet, then every bet again),
// painted. The window must open and filter in under 300 ms; the ratio says what a long history
// costs it.

#include "ui/history_access.h"
#include "ui/history_window.h"

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include "ratio_reporter.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRaces = 10000;

// Nothing is ever asked of the outside world here.
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

struct Histories
{
    QTemporaryDir dir;
    QString full;
    QString empty;
};

const Histories &histories()
{
    static const Histories *h = [] {
        auto *made = new Histories;
        made->full = made->dir.filePath(QStringLiteral("full.sqlite"));
        made->empty = made->dir.filePath(QStringLiteral("empty.sqlite"));
        std::vector<mvx::RaceRecord> races;
        races.reserve(kRaces);
        const QDate first(2017, 1, 1);
        for (int i = 0; i < kRaces; ++i) {
            mvx::RaceRecord race;
            race.date = first.addDays(i / 3);
            race.name = QStringLiteral("Réunion 1 course %1").arg(i % 3 + 1);
            race.bet = *mvx::classicBet(2 + i % 4);
            race.making = { mvx::TicketOrigin::CatalogueSystem, 1 + i % 50, i % 7 == 0 };
            race.selection = { 7, 3, 12, 1, 9, 14, 2 };
            race.tickets = 12 + i % 100;
            race.stakeCents = race.tickets * 200;
            race.winnings = { { QStringLiteral("Bonus 3"), i % 4, 180 * (i % 4) } };
            race.wonCents = 180 * (i % 4);
            race.balanceCents = mvx::raceBalanceCents(race.stakeCents, race.wonCents, 0);
            races.push_back(race);
        }
        mvx::RaceHistory full(made->full);
        mvx::RaceHistory empty(made->empty);
        const mvx::HistoryResult<bool> stored = full.store(races);
        if (full.error() || empty.error() || !stored.ok()) {
            std::fprintf(stderr, "cannot fill the history: %s\n", qPrintable(stored.error));
            std::exit(1);
        }
        return made;
    }();
    return *h;
}

void open(benchmark::State &state, const QString &path)
{
    QuietPlatform platform;
    std::size_t listed = 0;
    for (auto _ : state) {
        mvx::HistoryAccess access(platform, path);
        mvx::Tfmescourses window(access, platform);
        window.show();
        benchmark::DoNotOptimize(window.grab().size());
        listed = window.model().races().size();
    }
    state.counters["listed"] = double(listed);
}

void filter(benchmark::State &state, const QString &path)
{
    QuietPlatform platform;
    mvx::HistoryAccess access(platform, path);
    mvx::Tfmescourses window(access, platform);
    window.show();
    auto *bet = window.findChild<QComboBox *>(QStringLiteral("cpari"));
    for (auto _ : state) {
        bet->setCurrentIndex(4); // quinté+
        benchmark::DoNotOptimize(window.grab().size());
        bet->setCurrentIndex(0);
        benchmark::DoNotOptimize(window.grab().size());
    }
}

void OpenWindowFull(benchmark::State &state)
{
    open(state, histories().full);
}
void OpenWindowEmpty(benchmark::State &state)
{
    open(state, histories().empty);
}
void FilterWindowFull(benchmark::State &state)
{
    filter(state, histories().full);
}
void FilterWindowEmpty(benchmark::State &state)
{
    filter(state, histories().empty);
}

} // namespace

BENCHMARK(OpenWindowFull)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OpenWindowEmpty)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FilterWindowFull)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(FilterWindowEmpty)->Unit(benchmark::kMillisecond)->UseRealTime();

#define main benchmarkMain
RATIO_BENCHMARK_MAIN({ "OpenWindowFull", "OpenWindowEmpty" }, { "FilterWindowFull", "FilterWindowEmpty" })
#undef main

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return benchmarkMain(argc, argv);
}
