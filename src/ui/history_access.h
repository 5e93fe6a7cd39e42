#pragma once

#include "history/race_history.h"
#include "model/game_state.h"
#include "model/platform.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace mvx {

// The punter's races as the windows reach them: the history file is opened when it is first
// used. A file that cannot be opened or is damaged is reported once, in French, and the
// windows then go on without it.
class HistoryAccess
{
public:
    // `path` empty: the user's history file (defaultHistoryPath()).
    explicit HistoryAccess(Platform &platform, const QString &path = QString());
    ~HistoryAccess();
    HistoryAccess(const HistoryAccess &) = delete;
    HistoryAccess &operator=(const HistoryAccess &) = delete;

    const QString &path() const { return path_; }
    // The history, opened on the first call; null when it cannot be used (said the first time).
    RaceHistory *history();
    // The same, quietly, only when the history is open or its file is there: null otherwise.
    RaceHistory *historyIfPresent();
    // Shows why a read or a write of the history failed.
    void report(const QString &error);

    // What the month's budget says of a game of `costCents` played today: the budget line,
    // and the overrun line under it when the game goes past the budget. Empty without a
    // budget. Asks nothing and creates no file: a history not there yet has no budget.
    QString budgetNote(std::int64_t costCents);
    // Makes the game state's budget note ask this history.
    void attachTo(GameState &state);

private:
    RaceHistory *open(bool quiet);

    Platform &platform_;
    QString path_;
    std::unique_ptr<RaceHistory> history_;
    bool failed_ = false;
    bool reported_ = false;
};

} // namespace mvx
