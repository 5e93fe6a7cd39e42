// The history of races ("Mes courses") with 10,000 races, about ten years of three races a day,
// against the same work on an empty history: opening the file (which checks it), listing one
// year of quinté+ races with their winnings, the totals of that list, and the cumulative
// balance of every day for the chart. The ratios say what a long history costs the window.

#include "history/race_history.h"

#include <QTemporaryDir>

#include "ratio_reporter.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRaces = 10000;

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
            race.winnings = { { QStringLiteral("Bonus 3"), i % 4, 180 * (i % 4) },
                { QStringLiteral("Bonus 4"), i % 2, 950 * (i % 2) } };
            race.wonCents = 180 * (i % 4) + 950 * (i % 2);
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

const mvx::RaceFilter kOneYearOfQuinte { QDate(2022, 1, 1), QDate(2022, 12, 31), { *mvx::classicBet(5) } };

void open(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        mvx::RaceHistory history(path);
        benchmark::DoNotOptimize(history.error().has_value());
    }
}

void filter(benchmark::State &state, const QString &path)
{
    mvx::RaceHistory history(path);
    std::size_t listed = 0;
    for (auto _ : state) {
        const auto races = history.races(kOneYearOfQuinte);
        const auto totals = history.totals(kOneYearOfQuinte);
        listed = races.value.size();
        benchmark::DoNotOptimize(totals.value.balanceCents);
    }
    state.counters["listed"] = double(listed);
}

void series(benchmark::State &state, const QString &path)
{
    mvx::RaceHistory history(path);
    std::size_t points = 0;
    for (auto _ : state) {
        const auto s = history.balanceSeries();
        points = s.value.size();
        benchmark::DoNotOptimize(s.value.data());
    }
    state.counters["points"] = double(points);
}

void OpenFull(benchmark::State &state)
{
    open(state, histories().full);
}
void OpenEmpty(benchmark::State &state)
{
    open(state, histories().empty);
}
void FilterFull(benchmark::State &state)
{
    filter(state, histories().full);
}
void FilterEmpty(benchmark::State &state)
{
    filter(state, histories().empty);
}
void SeriesFull(benchmark::State &state)
{
    series(state, histories().full);
}
void SeriesEmpty(benchmark::State &state)
{
    series(state, histories().empty);
}

// Everything the window does when it opens on the full history: open, list all, series.
void WindowFull(benchmark::State &state)
{
    for (auto _ : state) {
        mvx::RaceHistory history(histories().full);
        const auto races = history.races();
        const auto s = history.balanceSeries();
        benchmark::DoNotOptimize(races.value.size() + s.value.size());
    }
}
void WindowEmpty(benchmark::State &state)
{
    for (auto _ : state) {
        mvx::RaceHistory history(histories().empty);
        const auto races = history.races();
        const auto s = history.balanceSeries();
        benchmark::DoNotOptimize(races.value.size() + s.value.size());
    }
}

} // namespace

BENCHMARK(OpenFull)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenEmpty)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterFull)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterEmpty)->Unit(benchmark::kMillisecond);
BENCHMARK(SeriesFull)->Unit(benchmark::kMillisecond);
BENCHMARK(SeriesEmpty)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowFull)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowEmpty)->Unit(benchmark::kMillisecond);

RATIO_BENCHMARK_MAIN({ "OpenFull", "OpenEmpty" }, { "FilterFull", "FilterEmpty" }, { "SeriesFull", "SeriesEmpty" },
    { "WindowFull", "WindowEmpty" })
