// The holes of the biggest quinté file, 20 horses in every order (1,860,480 tickets, 27 MB), read
// from memory and counted by category, against a loop that only finds the line ends of the same
// bytes. The holes must take seconds at most; the ratio says what the counting adds to a read.

#include "arrival/ticket_holes.h"
#include "combi/generation.h"
#include "combi/ticket_file.h"
#include "combi/ticket_text.h"

#include <QBuffer>
#include <QByteArray>

#include "ratio_reporter.h"

#include <cstring>

namespace {

const QByteArray &biggestQuinteFile()
{
    static const QByteArray bytes = [] {
        mvx::GeneratorSettings g;
        g.horsesToCombine = 20;
        g.horsesPerTicket = 5;
        g.reduced = false;
        mvx::Selection s;
        for (int i = 1; i <= 20; ++i)
            s.otherHorses[std::size_t(i)] = i;
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        mvx::TicketFileSink sink(s, buffer);
        mvx::generateCombinations(g, sink);
        sink.finish();
        return out;
    }();
    return bytes;
}

void CountHoles(benchmark::State &state)
{
    QByteArray bytes = biggestQuinteFile();
    std::vector<int> selection;
    for (int h = 1; h <= 20; ++h)
        selection.push_back(h);
    for (auto _ : state) {
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        mvx::TicketHoles holes(selection, 0);
        mvx::readTicketText(in, mvx::kClassifiedTicketSizes, [&](std::span<const int> t) { return holes.add(t); });
        const std::vector<mvx::CategoryHoles> counted = holes.count();
        benchmark::DoNotOptimize(counted.data());
    }
    state.counters["tickets"] = 1860480;
}
BENCHMARK(CountHoles)->Unit(benchmark::kMillisecond);

void FindLineEnds(benchmark::State &state)
{
    QByteArray bytes = biggestQuinteFile();
    std::vector<char> chunk(std::size_t(1) << 20);
    for (auto _ : state) {
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        std::int64_t lines = 0;
        for (qint64 got; (got = in.read(chunk.data(), qint64(chunk.size()))) > 0;)
            for (const char *p = chunk.data(), *end = p + got;
                 (p = static_cast<const char *>(std::memchr(p, '\n', std::size_t(end - p)))); ++p)
                ++lines;
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(FindLineEnds)->Unit(benchmark::kMillisecond);

} // namespace

RATIO_BENCHMARK_MAIN(std::pair<std::string, std::string> { "CountHoles", "FindLineEnds" })
