#pragma once

// Prints each measured benchmark as a ratio to its baseline from the same run: the machines
// these run on are shared and noisy, so only the ratio is worth comparing between runs.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    // (measured, baseline) benchmark names.
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
        : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular)
        , pairs_(std::move(pairs))
    { }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                seconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nRatios to the baselines of this run (lower is better):\n");
        for (const auto &[measured, baseline] : pairs_) {
            const auto m = seconds_.find(measured);
            const auto b = seconds_.find(baseline);
            if (m != seconds_.end() && b != seconds_.end() && b->second > 0)
                std::printf("  %-24s / %-24s = %.2f\n", measured.c_str(), baseline.c_str(), m->second / b->second);
        }
    }

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
    std::map<std::string, double> seconds_;
};

// main() for a benchmark program whose results are read as ratios.
#define RATIO_BENCHMARK_MAIN(...)                                                                                      \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        benchmark::Initialize(&argc, argv);                                                                            \
        RatioReporter reporter({ __VA_ARGS__ });                                                                       \
        benchmark::RunSpecifiedBenchmarks(&reporter);                                                                  \
        benchmark::Shutdown();                                                                                         \
        return 0;                                                                                                      \
    }
