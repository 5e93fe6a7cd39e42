#pragma once

#include "arrival/classification.h"
#include "arrival/winnings.h"
#include "history/race_from_result.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>

namespace mvx::cli {

// --database FILE, taken by every command that reads or writes the history of races: another
// file than the user's.
QCommandLineOption historyDatabaseOption();
// The history file a command uses: --database's, else the user's.
QString historyDatabasePath(const QCommandLineParser &parser, const QCommandLineOption &database);
// --date AAAA-MM-JJ read strictly; none when it is not a date of that form.
std::optional<QDate> readRaceDate(const QString &text);

// compare's --record NAME, --date, --multiplier, --remplacer and --database: the comparison
// stored in the history as a race, the way the comparison window's button stores it. A race of
// that date and name already recorded is kept, and the command says so, unless --remplacer is
// given (the window asks).
class RaceRecordOptions
{
public:
    RaceRecordOptions();
    void addTo(QCommandLineParser &parser) const;

    // Checks the values before anything is read. Returns the exit status when one is wrong,
    // after saying why; nothing when the command goes on.
    std::optional<int> read(const QCommandLineParser &parser, const char *command);

    bool wanted() const { return !name_.isEmpty(); }
    // Notes the horses of a ticket compared: the race's selection is every horse played.
    void see(std::span<const int> horses)
    {
        for (int h : horses)
            played_ |= std::uint32_t(1) << h;
    }
    // Stores the comparison of `tickets` tickets of `horsesPerTicket` horses when --record was
    // given: the exit status (kExitOk when stored or not asked; else the message was shown).
    int store(const char *command, std::int64_t tickets, int horsesPerTicket, const WinCounts &counts,
        const Payouts &payouts) const;
    // The same for a comparison with the official result of tickets played as `bet` (none: a
    // size no bet is played with): its refunds and money lines as resultMoney gives them at the
    // bet's usual unit stake and --multiplier.
    int storeResult(const char *command, std::optional<Bet> bet, const ResultTotals &totals,
        const ResultCategoryGains &gains) const;

private:
    int storeRace(const char *command, std::optional<RaceRecord> race) const;

    QCommandLineOption record_;
    QCommandLineOption date_;
    QCommandLineOption multiplier_;
    QCommandLineOption replace_;
    QCommandLineOption database_;
    QString name_;
    QDate day_;
    std::int64_t multiplierValue_ = 1;
    QString path_;
    bool replaceWanted_ = false;
    std::uint32_t played_ = 0;
};

} // namespace mvx::cli
