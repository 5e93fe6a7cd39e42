#pragma once

#include "arrival/official_result.h"
#include "model/game_state.h"
#include "model/platform.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace mvx {

// The arrival as punters write it, places joined by " - " and tied horses by " = ":
// "7 - 13 - 2 = 9 - 20".
QString officialArrivalLine(const OfficialResult &result);

// Reads an arrival typed that way: horse numbers separated by "-", ",", ";", "/" or blanks, "="
// between tied horses ("7 13 2=9 20", "7,13,2=9,20"). Nothing for any other text, or for none.
// The numbers are not checked against 1..20 here (resultProblem does).
std::optional<std::vector<std::vector<int>>> readOfficialArrival(const QString &text);

// The official result of the race, typed in for the comparison: the arrival line, the
// non-runners, the cheval de complément (any horse of the race the tickets do not hold), the
// number of runners, the stake the rapports are given for (the unit stake or 1 €) and the
// published rapports, a table that also takes pasted lines of a rapports file
// ("Tierce ordre 7-13-2 120.50"). "OK" keeps the result once it is checked; "Effacer le
// résultat" goes back to the five arrival boxes; "Annuler" and Escape leave the earlier result.
class OfficialResultDialog : public QDialog
{
    Q_OBJECT

public:
    // `current` is shown to start with (null: an empty form); `played` are the horses the
    // tickets hold, which cannot be the complément.
    OfficialResultDialog(const std::vector<int> &played, std::shared_ptr<const OfficialResult> current,
        Platform &platform, QWidget *parent = nullptr);

    // After "OK": the result typed in; after "Effacer le résultat": null. Unchanged from
    // `current` while the dialog is open or after "Annuler".
    const std::shared_ptr<const OfficialResult> &result() const { return result_; }

    // Adds the rapports of pasted text, one line each, after those of the table; false, after a
    // message saying which line is wrong, when a line is not a rapport (nothing is added then).
    bool pasteRapports(const QString &text);

public Q_SLOTS:
    void bokClick();
    void beffacerClick();
    void bcollerClick();
    void bsupprimerClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showResult(const OfficialResult &result);
    void addRapportRow(const QString &category, const QString &combination, const QString &amount);
    void keepOneEmptyRow();
    // The result the form holds, or nothing after a message saying what is wrong.
    std::optional<OfficialResult> readForm();
    void refuse(QWidget *control, const QString &text);

    Platform &platform_;
    std::shared_ptr<const OfficialResult> result_;
    QLineEdit *earrivee_ = nullptr;
    QLineEdit *enonpartants_ = nullptr;
    QComboBox *ccomplement_ = nullptr;
    QSpinBox *spartants_ = nullptr;
    QComboBox *cbaserapports_ = nullptr;
    QTableWidget *grapports_ = nullptr;
};

} // namespace mvx
