#pragma once

#include "arrival/result_classification.h"
#include "history/race_history.h"
#include "model/game_state.h"
#include "model/platform.h"

#include <QDate>
#include <QDialog>
#include <QString>

#include <optional>

class QDateEdit;
class QLabel;
class QLineEdit;

namespace mvx {

// The last comparison of the window as a race to record: the bet the tickets are played as, how
// the list was made, the horses played, the stake at the punter's stake for that bet and the
// winnings per category. None, with the reason in French in `refusal`, for a size no bet has or
// a stake that is not known.
std::optional<RaceRecord> comparedRace(const GameState &state, QString &refusal);
// The same for a comparison with the official result: its refunds and the winnings of every
// category, dead heats and non-runners included.
std::optional<RaceRecord> comparedRace(const GameState &state, const ResultTotals &totals, QString &refusal);

// The name proposed for the race: the game file's, else "Course du 08/12/2026".
QString proposedRaceName(const GameState &state, const QDate &day);

// Stores the race; one of the same date and name is replaced only when the punter says so.
// True when the race was stored.
bool storeRace(RaceHistory &history, const RaceRecord &race, Platform &platform);

// "Enregistrer dans mes courses": the race's date (today unless changed) and its name.
class RaceRecordDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RaceRecordDialog(QWidget *parent = nullptr);

    void setRace(const QDate &day, const QString &name, const QString &summary);
    QDate raceDate() const;
    QString raceName() const;

public Q_SLOTS:
    void bokClick();

private:
    QDateEdit *edatecourse_ = nullptr;
    QLineEdit *enomcourse_ = nullptr;
    QLabel *lresume_ = nullptr;
};

} // namespace mvx
