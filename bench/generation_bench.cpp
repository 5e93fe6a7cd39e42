// The biggest ticket list the generator offers for a bet: 20 horses, 5 per ticket, every order
// (1,860,480 tickets). Each measurement stands beside a baseline taken in the same run, so the
// ratio means something on a shared machine:
//   in memory  vs  copying the finished ticket store;
//   to a file  vs  writing the same bytes with one plain write to the same file system.
// The files go to MAROVELLIX_BENCH_DIR when set, else to the temporary folder.

#include "combi/generation.h"
#include "combi/ticket_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "ratio_reporter.h"

#include <cstdlib>

namespace {

constexpr int kRepetitions = 15;

mvx::GeneratorSettings biggestQuinte()
{
    mvx::GeneratorSettings g;
    g.horsesToCombine = 20;
    g.horsesPerTicket = 5;
    g.reduced = false;
    return g;
}

mvx::Selection twentyHorses()
{
    mvx::Selection s;
    for (int i = 1; i <= 20; ++i)
        s.otherHorses[std::size_t(i)] = 21 - i;
    return s;
}

QString benchFolder()
{
    const QByteArray chosen = qgetenv("MAROVELLIX_BENCH_DIR");
    return chosen.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(chosen);
}

mvx::TicketList generatedList()
{
    mvx::MemoryTicketSink sink;
    mvx::generateCombinations(biggestQuinte(), sink);
    return sink.takeList();
}

void GenerateInMemory(benchmark::State &state)
{
    const mvx::GeneratorSettings g = biggestQuinte();
    for (auto _ : state) {
        mvx::MemoryTicketSink sink;
        mvx::generateCombinations(g, sink);
        mvx::TicketList list = sink.takeList();
        benchmark::DoNotOptimize(list.ticket(list.count()).data());
    }
    state.counters["tickets"] = double(mvx::countTickets(g));
}
BENCHMARK(GenerateInMemory)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->UseRealTime();

void CopyFinishedStore(benchmark::State &state)
{
    const mvx::TicketList finished = generatedList();
    for (auto _ : state) {
        mvx::TicketList copy = finished;
        benchmark::DoNotOptimize(copy.ticket(copy.count()).data());
    }
    state.counters["bytes"] = double(finished.bytes());
}
BENCHMARK(CopyFinishedStore)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->UseRealTime();

QByteArray fileBytes(const mvx::Selection &selection)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    mvx::TicketFileSink sink(selection, buffer);
    mvx::generateCombinations(biggestQuinte(), sink);
    sink.finish();
    return bytes;
}

// Both file benchmarks create a new file each time: the old one is removed outside the
// measured time.
void WriteTicketFile(benchmark::State &state)
{
    QTemporaryDir dir(benchFolder() + QStringLiteral("/marovellix-bench-XXXXXX"));
    const mvx::Selection selection = twentyHorses();
    const QString path = dir.filePath(QStringLiteral("tickets.txt"));
    qint64 size = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        // As the program writes it: a temporary file that takes the name at the end.
        mvx::WholeFile file(path);
        file.open();
        mvx::TicketFileSink sink(selection, file.device());
        mvx::generateCombinations(biggestQuinte(), sink);
        if (!sink.finish() || !file.commit())
            state.SkipWithError("the ticket file could not be written");
        size = QFileInfo(path).size();
    }
    state.counters["bytes"] = double(size);
}
BENCHMARK(WriteTicketFile)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->UseRealTime();

void WriteSameBytesOnce(benchmark::State &state)
{
    QTemporaryDir dir(benchFolder() + QStringLiteral("/marovellix-bench-XXXXXX"));
    const QByteArray bytes = fileBytes(twentyHorses());
    const QString path = dir.filePath(QStringLiteral("plain.txt"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        if (file.write(bytes) != bytes.size())
            state.SkipWithError("the plain file could not be written");
    }
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(WriteSameBytesOnce)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->UseRealTime();

} // namespace

RATIO_BENCHMARK_MAIN({ "GenerateInMemory", "CopyFinishedStore" }, { "WriteTicketFile", "WriteSameBytesOnce" })
