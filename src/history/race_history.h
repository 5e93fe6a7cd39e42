#pragma once

#include "history/history_schema.h"
#include "history/race_export.h"
#include "history/race_record.h"

#include <QByteArray>
#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The punter's races kept in one SQLite file ("Mes courses"). The window program and the tool
// open the same file; a second copy of either may read or write it at the same time. A file
// that cannot be opened or is damaged is never written: the history says why and the program
// goes on without it.
namespace mvx {

// The history's file: mes-courses.sqlite in $XDG_DATA_HOME/marovellix/, or in
// ~/.local/share/marovellix/ when XDG_DATA_HOME is unset, empty or not an absolute path.
QString defaultHistoryPath();

// The bounds of what the history keeps of a race: each amount (stake, winnings, refunds,
// balance, each category's) within ± 100 000 000 000,00 €, each ticket played 1 to 10000
// times. Sums over the races are checked: a total that does not fit in 64-bit cents is refused.
constexpr std::int64_t kMostRaceAmountCents = 10'000'000'000'000;
constexpr std::int64_t kMostMultiplier = 10000;

// What a read or a write of the history gives: the value, or why there is none, in French.
template <typename T> struct HistoryResult
{
    T value {};
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// Which races a list, its totals or its balance series take; every bound is optional.
struct RaceFilter
{
    std::optional<QDate> from; // first day taken
    std::optional<QDate> to; // last day taken
    std::vector<Bet> bets; // the races of any of these bets; of every bet when empty
};

// The sums over a list of races.
struct HistoryTotals
{
    std::int64_t races = 0;
    std::int64_t tickets = 0;
    std::int64_t stakedCents = 0;
    std::int64_t wonCents = 0;
    std::int64_t refundCents = 0;
    std::int64_t balanceCents = 0;
    // A sum did not fit in 64-bit cents: the other fields are then zero and mean nothing.
    bool overflow = false;

    // Winnings ÷ stake, in percent; none when nothing was staked.
    std::optional<double> returnPercent() const;
};

// The same sums over races already listed.
HistoryTotals totalsOf(const std::vector<RaceRecord> &races);

// The balance of every race up to and including `date`, one point per day that has races.
struct BalancePoint
{
    QDate date;
    std::int64_t cumulativeCents = 0;

    friend bool operator==(const BalancePoint &, const BalancePoint &) = default;
};

// The month's budget set against a game about to be played.
struct BudgetCheck
{
    std::optional<std::int64_t> budgetCents; // none when the punter set no budget
    std::int64_t stakedCents = 0; // already played in the month
    std::int64_t gameCents = 0;
    // "Budget du mois : 120,00 € dont 84,00 € déjà joués ; ce jeu : 60,00 €"; empty without a budget.
    QString line;
    // "Ce jeu dépasse le budget du mois de 24,00 €." when the game goes past the budget, else empty.
    QString overrun;
};

// The two texts of a budget check, for a budget, what the month already played and the game.
QString budgetLine(std::int64_t budgetCents, std::int64_t stakedCents, std::int64_t gameCents);
QString budgetOverrunLine(std::int64_t budgetCents, std::int64_t stakedCents, std::int64_t gameCents);

class RaceHistory
{
public:
    // Opens the history at `path` (defaultHistoryPath() when empty), creating the file and its
    // folder when there is none and bringing an older schema up to date. Check error() before
    // use: every operation of a history that did not open returns that message.
    explicit RaceHistory(const QString &path = QString());
    ~RaceHistory();
    RaceHistory(const RaceHistory &) = delete;
    RaceHistory &operator=(const RaceHistory &) = delete;

    // Why the history cannot be used, in French; nothing when it is open.
    const std::optional<QString> &error() const { return openError_; }
    const QString &path() const { return path_; }

    // What storing a race of a date and name already recorded does.
    enum class IfRecorded
    {
        Replace, // the stored race is replaced (its id is kept)
        Refuse, // nothing is written and the error says a race of that date has that name
    };
    // Stores the race. The race's id is returned. A race without a name or a valid date, or
    // with an amount outside the bounds above, is refused.
    HistoryResult<std::int64_t> store(const RaceRecord &race, IfRecorded ifRecorded = IfRecorded::Replace);
    // Stores several races in one transaction: all of them or, on a failure, none.
    HistoryResult<bool> store(const std::vector<RaceRecord> &races);
    // Gives a stored race another date or name; its id and everything else stay. False when no
    // race is `from`; refused when another race already has the new date and name.
    HistoryResult<bool> rename(std::int64_t id, const RaceKey &to);
    HistoryResult<bool> rename(const RaceKey &from, const RaceKey &to);
    // False when there was no such race.
    HistoryResult<bool> remove(std::int64_t id);
    HistoryResult<bool> remove(const RaceKey &key);

    // The races the filter takes, oldest first (by date, then in the order they were first stored).
    HistoryResult<std::vector<RaceRecord>> races(const RaceFilter &filter = {});
    HistoryResult<std::optional<RaceRecord>> race(const RaceKey &key);
    HistoryResult<HistoryTotals> totals(const RaceFilter &filter = {});
    HistoryResult<std::vector<BalancePoint>> balanceSeries(const RaceFilter &filter = {});
    // Every bet at least one race was played with, in the order the bet lists show them.
    HistoryResult<std::vector<Bet>> playedBets();

    // The monthly budget; none when the punter set none. Setting none removes it.
    HistoryResult<std::optional<std::int64_t>> monthlyBudget();
    HistoryResult<bool> setMonthlyBudget(std::optional<std::int64_t> cents);
    // The budget of the month of `day` against a game of `gameCents`. The race `game` stands for,
    // if it is already stored, is not counted as played before it. Nothing is ever refused.
    HistoryResult<BudgetCheck> checkBudget(
        const QDate &day, std::int64_t gameCents, const std::optional<RaceKey> &game = std::nullopt);

private:
    std::optional<QString> open();
    std::optional<QString> migrate();
    bool markOnWrite(QSqlError &error);
    template <typename T> HistoryResult<T> unavailable() const;

    QString path_;
    QString connectionName_;
    QSqlDatabase db_;
    std::optional<QString> openError_;
    bool unmarked_ = false; // a history written before the mark, marked on its next write
};

} // namespace mvx
