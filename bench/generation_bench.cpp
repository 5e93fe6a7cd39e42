// The biggest ticket list the generator offers for a bet: 20 horses, 5 per ticket, every order
// (1,860,480 tickets). Each measurement stands beside a baseline taken in the same run, so the
// ratio means something on a shared machine:
//   in memory  vs  filling the same number of bytes into a buffer;
//   to a file  vs  writing the same bytes with one plain write.

#include "combi/generation.h"
#include "combi/ticket_file.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ratio_reporter.h"

#include <cstring>
#include <vector>

namespace {

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
BENCHMARK(GenerateInMemory)->Unit(benchmark::kMillisecond);

void FillSameBytes(benchmark::State &state)
{
    const std::size_t bytes = std::size_t(mvx::countTickets(biggestQuinte())) * 5;
    for (auto _ : state) {
        std::vector<char> buffer(bytes);
        std::memset(buffer.data(), 'A', bytes);
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(FillSameBytes)->Unit(benchmark::kMillisecond);

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

void WriteTicketFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const mvx::Selection selection = twentyHorses();
    const QString path = dir.filePath(QStringLiteral("tickets.txt"));
    qint64 size = 0;
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        mvx::TicketFileSink sink(selection, file);
        mvx::generateCombinations(biggestQuinte(), sink);
        sink.finish();
        size = file.size();
    }
    state.counters["bytes"] = double(size);
}
BENCHMARK(WriteTicketFile)->Unit(benchmark::kMillisecond);

void WriteSameBytesOnce(benchmark::State &state)
{
    QTemporaryDir dir;
    const QByteArray bytes = fileBytes(twentyHorses());
    const QString path = dir.filePath(QStringLiteral("plain.txt"));
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        file.write(bytes);
    }
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(WriteSameBytesOnce)->Unit(benchmark::kMillisecond);

} // namespace

RATIO_BENCHMARK_MAIN({ "GenerateInMemory", "FillSameBytes" }, { "WriteTicketFile", "WriteSameBytesOnce" })
