#pragma once

#include "arrival/official_result.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace mvx::cli {

class RaceRecordOptions;

// compare's options for the race as it was run: non-runners, the complément, the number of
// runners and the published rapports; with them, or with a dead heat in --arrival, compare judges each ticket against
// the official result and writes its paying combination and amount.
class OfficialResultOptions
{
public:
    OfficialResultOptions();
    void addTo(QCommandLineParser &parser) const;
    // The official result is wanted: one of these options is given, or the arrival has a tie.
    bool wanted(const QCommandLineParser &parser, const QString &arrival) const;

    // Reads the options with the arrival and the ten payouts (when --payouts is given) into a
    // result. Returns the exit status when they are wrong, after saying why; nothing when the
    // command goes on.
    std::optional<int> read(const QCommandLineParser &parser, const QString &arrival,
        const std::optional<Payouts> &payouts, const char *command);

    const OfficialResult &result() const { return result_; }
    bool rapportsGiven(const QCommandLineParser &parser) const { return parser.isSet(rapports_); }

private:
    QCommandLineOption nonRunners_;
    QCommandLineOption complement_;
    QCommandLineOption runners_;
    QCommandLineOption rapports_;
    QCommandLineOption rapportsBase_;
    OfficialResult result_;
};

// The value of --arrival with ties: places separated by commas, horses tied at a place by "="
// ("7,13,2=9,20"), each 1..20, at most 20 horses. Nothing when the text is not that.
std::optional<std::vector<std::vector<int>>> readTiedArrivalOption(const QString &text);
// A list of horses 1..20 separated by commas ("4,11"). Nothing when the text is not that.
std::optional<std::vector<int>> readHorsesOption(const QString &text);

// Compares the tickets of `in` (named `name` in messages) with the official result, the usual
// stakes played `multiplier` times giving the money lines: the exit status. With --record the
// comparison is then stored, with the same money.
int compareWithOfficialResult(QFile &in, const QString &name, const OfficialResult &result, std::int64_t multiplier,
    const char *command, RaceRecordOptions &record);

} // namespace mvx::cli
