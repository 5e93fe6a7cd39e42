// The generator's biggest six-horse request, 20 horses, every order (27,907,200 tickets), with
// two groups of horses set against the same request without conditions, into memory and into a
// file. The conditions are checked inside the generation walk: the ratio says what they cost.
//   two groups:   favourites 1-5 two or three, outsiders 6-10 one or two (about a third kept);
//   loose groups: favourites and outsiders up to four each (nearly every ticket kept, so the
//                 sink does all its work and the check comes on top).
// The files go to MAROVELLIX_BENCH_DIR when set, else to the temporary folder.

#include "combi/generation.h"
#include "combi/ticket_conditions.h"
#include "combi/ticket_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ratio_reporter.h"

namespace {

constexpr int kRepetitions = 9;

mvx::GeneratorSettings sixOfTwenty()
{
    mvx::GeneratorSettings g;
    g.horsesToCombine = 20;
    g.horsesPerTicket = 6;
    g.reduced = false;
    return g;
}

mvx::Selection twentyHorses()
{
    mvx::Selection s;
    for (int i = 1; i <= 20; ++i)
        s.otherHorses[std::size_t(i)] = i;
    return s;
}

mvx::TicketConditions twoGroups(int favouritesMin, int favouritesMax, int outsidersMin, int outsidersMax)
{
    mvx::TicketConditions c;
    c.groups = { { QStringLiteral("Favoris"), 0b111110, favouritesMin, favouritesMax },
        { QStringLiteral("Outsiders"), 0b11111000000, outsidersMin, outsidersMax } };
    return c;
}

const mvx::TicketConditions kNone;
const mvx::TicketConditions kTwoGroups = twoGroups(2, 3, 1, 2);
const mvx::TicketConditions kLooseGroups = twoGroups(0, 4, 0, 4);

QString benchFolder()
{
    const QByteArray chosen = qgetenv("MAROVELLIX_BENCH_DIR");
    return chosen.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(chosen);
}

void fillList(benchmark::State &state, const mvx::TicketConditions &conditions)
{
    const mvx::Selection selection = twentyHorses();
    std::int64_t count = 0;
    for (auto _ : state) {
        mvx::MemoryTicketSink sink;
        mvx::generateCombinations(sixOfTwenty(), sink, selection, conditions);
        mvx::TicketList list = sink.takeList();
        count = list.count();
        benchmark::DoNotOptimize(list.ticket(list.count()).data());
    }
    state.counters["tickets"] = double(count);
}

void writeFile(benchmark::State &state, const mvx::TicketConditions &conditions)
{
    QTemporaryDir dir(benchFolder() + QStringLiteral("/marovellix-bench-XXXXXX"));
    const mvx::Selection selection = twentyHorses();
    const QString path = dir.filePath(QStringLiteral("tickets.txt"));
    std::int64_t lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        mvx::TicketFileSink sink(selection, file);
        mvx::generateCombinations(sixOfTwenty(), sink, selection, conditions);
        if (!sink.finish())
            state.SkipWithError("the ticket file could not be written");
        lines = sink.linesWritten();
    }
    QFile::remove(path);
    state.counters["tickets"] = double(lines);
}

void ListNoConditions(benchmark::State &state)
{
    fillList(state, kNone);
}
void ListTwoGroups(benchmark::State &state)
{
    fillList(state, kTwoGroups);
}
void ListLooseGroups(benchmark::State &state)
{
    fillList(state, kLooseGroups);
}
void FileNoConditions(benchmark::State &state)
{
    writeFile(state, kNone);
}
void FileTwoGroups(benchmark::State &state)
{
    writeFile(state, kTwoGroups);
}
void FileLooseGroups(benchmark::State &state)
{
    writeFile(state, kLooseGroups);
}

BENCHMARK(ListNoConditions)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->UseRealTime();
BENCHMARK(ListTwoGroups)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->UseRealTime();
BENCHMARK(ListLooseGroups)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->UseRealTime();
BENCHMARK(FileNoConditions)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->UseRealTime();
BENCHMARK(FileTwoGroups)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->UseRealTime();
BENCHMARK(FileLooseGroups)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->UseRealTime();

} // namespace

RATIO_BENCHMARK_MAIN({ "ListTwoGroups", "ListNoConditions" }, { "ListLooseGroups", "ListNoConditions" },
    { "FileTwoGroups", "FileNoConditions" }, { "FileLooseGroups", "FileNoConditions" })
