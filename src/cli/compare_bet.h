#pragma once

#include "arrival/official_result.h"
#include "cli/race_record_options.h"
#include "model/bet.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace mvx::cli {

// compare's --bet: the bet the tickets are played at, or several of one size played together
// ("couple-gagnant,couple-place": a couplé à cheval, each ticket being one ticket of each bet).
class CompareBetOption
{
public:
    CompareBetOption();
    void addTo(QCommandLineParser &parser) const;
    bool given(const QCommandLineParser &parser) const { return parser.isSet(option_); }

    // Reads the names. Returns the exit status when they are wrong, after saying why; nothing
    // when the command goes on.
    std::optional<int> read(const QCommandLineParser &parser, const char *command);
    const std::vector<Bet> &bets() const { return bets_; }

private:
    QCommandLineOption option_;
    std::vector<Bet> bets_;
};

// Compares the tickets of `in` (named `name` in messages), every one of the bets' size, with the
// official result for each bet: per ticket and bet a line with the ticket, its category and, when
// paid, the combination that pays it and its rapport; then the summary. With --record (one bet
// only), the race is stored with that bet at its own unit stake, each ticket played
// `multiplier` times. The exit status.
int compareBetsWithOfficialResult(QFile &in, const QString &name, const OfficialResult &result,
    const std::vector<Bet> &bets, std::int64_t multiplier, const char *command, RaceRecordOptions &record);

} // namespace mvx::cli
