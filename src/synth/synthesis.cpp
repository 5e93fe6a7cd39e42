#include "synth/synthesis.h"

#include "synth/forecasts.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace mvx {

int synthesisHorseCount(const GameState &state)
{
    return std::clamp(state.horseCount, 0, kMaxRunners);
}

void computeSynthesis(GameState &state)
{
    const int horses = synthesisHorseCount(state);
    const int rows = forecastRowsInUse(state);
    const int positions = forecastPositionsInUse(state);

    // Summed wide: points come from the settings file too, and no total may wrap around.
    std::array<std::int64_t, kMaxRunners> totals {};
    for (int f = 0; f < rows; ++f) {
        const auto &forecast = state.forecasts[std::size_t(f)];
        for (int p = 0; p < positions; ++p) {
            const int horse = forecast[std::size_t(p)];
            if (horse >= 1 && horse <= horses)
                totals[std::size_t(horse - 1)] += state.pointsByPosition[std::size_t(p)];
        }
    }
    for (int h = 1; h <= horses; ++h) {
        const std::int64_t total = std::clamp<std::int64_t>(totals[std::size_t(h - 1)],
            std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
        state.synthesis[std::size_t(h - 1)] = { h, std::int32_t(total) };
    }
    std::stable_sort(state.synthesis.begin(), state.synthesis.begin() + horses,
        [](const SynthesisEntry &a, const SynthesisEntry &b) { return a.points > b.points; });
}

QString shareText(float share, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(double(share), 'g', 15);
}

QString roundedShareText(const QString &share, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    bool ok = false;
    const double value = plain.toDouble(share, &ok);
    return ok ? plain.toString(value, 'f', 2) : share;
}

std::vector<SynthesisRow> roundedShareRows(std::vector<SynthesisRow> rows, const QLocale &locale)
{
    for (SynthesisRow &row : rows)
        row[3] = roundedShareText(row[3], locale);
    return rows;
}

std::vector<SynthesisRow> synthesisRows(const GameState &state, const QLocale &locale)
{
    const int horses = synthesisHorseCount(state);
    float total = 0;
    for (int r = 0; r < horses; ++r)
        total += float(state.synthesis[std::size_t(r)].points);

    std::vector<SynthesisRow> rows;
    rows.reserve(std::size_t(horses));
    for (int r = 0; r < horses; ++r) {
        const SynthesisEntry &entry = state.synthesis[std::size_t(r)];
        const float share = total > 0 ? float(double(entry.points) * 100.0 / double(total)) : 0.0f;
        rows.push_back({ QString::number(r + 1), QStringLiteral("CHEVAL %1").arg(entry.horse),
            QString::number(entry.points), shareText(share, locale) });
    }
    return rows;
}

std::vector<int> pointsInHorseOrder(const GameState &state)
{
    const int horses = synthesisHorseCount(state);
    std::vector<int> points(std::size_t(horses), 0);
    for (int r = 0; r < horses; ++r) {
        const SynthesisEntry &entry = state.synthesis[std::size_t(r)];
        if (entry.horse >= 1 && entry.horse <= horses)
            points[std::size_t(entry.horse - 1)] = entry.points;
    }
    return points;
}

} // namespace mvx
