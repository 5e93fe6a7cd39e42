// Feeds arbitrary bytes to the forecast reader and checks it against the plain reading of the
// whole text it replaces (split into lines, blanks and commas between numbers): the same
// forecasts, the same refusal, with no line longer than its limit ever gathered, and messages
// that quote nothing raw.
#include "synth/forecast_text.h"

#include "combi/integer_text.h"

#include "fuzz_support.h"

#include <QRegularExpression>

#include <cstdint>
#include <vector>

using namespace mvx;
using fuzz::require;

namespace {

// The forecasts of the whole text read at once, or nothing when a line is refused.
std::optional<std::vector<std::vector<int>>> plainReading(
    const QByteArray &text, int positions, int horseCount, int mostForecasts)
{
    const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    std::vector<std::vector<int>> forecasts;
    for (const QByteArray &bytes : text.split('\n')) {
        const QString line = QString::fromUtf8(bytes).trimmed();
        if (line.isEmpty())
            continue;
        if (int(forecasts.size()) == mostForecasts)
            return std::nullopt;
        const QStringList numbers = line.split(separators, Qt::SkipEmptyParts);
        if (numbers.size() > positions)
            return std::nullopt;
        std::vector<int> horses;
        for (const QString &n : numbers) {
            const std::optional<std::int32_t> horse = parseInteger(n);
            if (!horse || *horse < 0 || *horse > horseCount)
                return std::nullopt;
            horses.push_back(*horse);
        }
        forecasts.push_back(horses);
    }
    return forecasts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 3)
        return 0;
    const int positions = 1 + data[0] % 20;
    const int horseCount = 1 + data[1] % 49;
    const int mostForecasts = 1 + data[2] % 8;
    const QByteArray text(reinterpret_cast<const char *>(data + 3), qsizetype(size - 3));
    fuzz::TrickleDevice in(text, 1 + data[2] / 8);

    std::vector<std::vector<int>> read;
    const ForecastTextRead result
        = readForecastText(in, positions, horseCount, mostForecasts, [&](std::span<const int> horses) {
              require(int(horses.size()) <= positions, "no more horses than positions");
              for (int h : horses)
                  require(h >= 0 && h <= horseCount, "horses 0..N");
              read.emplace_back(horses.begin(), horses.end());
          });
    require(int(read.size()) == result.forecasts, "the count is the forecasts handed over");
    require(result.forecasts <= mostForecasts, "never more forecasts than the limit");
    if (!result.ok())
        fuzz::requireTerminalSafe(result.error);

    bool longLine = false;
    for (const QByteArray &line : text.split('\n'))
        longLine = longLine || line.size() - (line.endsWith('\r') ? 1 : 0) > kLongestForecastLine;
    if (longLine)
        return 0;
    const std::optional<std::vector<std::vector<int>>> plain = plainReading(text, positions, horseCount, mostForecasts);
    require(plain.has_value() == result.ok(), "the same lines refused as the plain reading");
    if (plain)
        require(*plain == read, "the same forecasts as the plain reading");
    return 0;
}
