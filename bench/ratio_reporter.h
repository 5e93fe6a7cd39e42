#pragma once

// Prints each measured benchmark as a ratio to its baseline from the same run: the machines
// these run on are shared and noisy, so only the ratio is worth comparing between runs. With
// repetitions, the ratio is taken between medians; the repetitions of all benchmarks are
// interleaved at random so that a burst of load from elsewhere falls on both sides.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    // (measured, baseline) benchmark names.
    explicit RatioReporter(std::initializer_list<std::pair<std::string, std::string>> pairs)
        : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular)
        , pairs_(pairs)
    { }

    // One more (measured, baseline) pair, for benchmarks registered at run time.
    void addPair(std::string measured, std::string baseline)
    {
        pairs_.emplace_back(std::move(measured), std::move(baseline));
    }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians_[name] = run.GetAdjustedRealTime();
            else if (run.run_type == Run::RT_Iteration)
                singles_[name] = run.GetAdjustedRealTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nRatios to the baselines of this run (real time, medians where repeated; lower is better):\n");
        for (const auto &[measured, baseline] : pairs_) {
            const double m = timeOf(measured);
            const double b = timeOf(baseline);
            if (m > 0 && b > 0)
                std::printf("  %-28s / %-28s = %.2f\n", measured.c_str(), baseline.c_str(), m / b);
        }
    }

private:
    double timeOf(const std::string &name) const
    {
        if (const auto m = medians_.find(name); m != medians_.end())
            return m->second;
        if (const auto s = singles_.find(name); s != singles_.end())
            return s->second;
        return 0;
    }

    std::vector<std::pair<std::string, std::string>> pairs_;
    std::map<std::string, double> medians_;
    std::map<std::string, double> singles_;
};

// main() for a benchmark program whose results are read as ratios. Repetitions are
// interleaved unless the command line says otherwise.
#define RATIO_BENCHMARK_MAIN(...)                                                                                      \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        std::vector<char *> args(argv, argv + argc);                                                                   \
        char interleave[] = "--benchmark_enable_random_interleaving=true";                                             \
        bool given = false;                                                                                            \
        for (int i = 1; i < argc; ++i)                                                                                 \
            given = given || std::strstr(argv[i], "random_interleaving") != nullptr;                                   \
        if (!given)                                                                                                    \
            args.insert(args.begin() + 1, interleave);                                                                 \
        int count = int(args.size());                                                                                  \
        benchmark::Initialize(&count, args.data());                                                                    \
        RatioReporter reporter({ __VA_ARGS__ });                                                                       \
        benchmark::RunSpecifiedBenchmarks(&reporter);                                                                  \
        benchmark::Shutdown();                                                                                         \
        return 0;                                                                                                      \
    }
