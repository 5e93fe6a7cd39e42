#pragma once

#include "model/platform.h"
#include "model/stakes_file.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <optional>

class QLineEdit;

namespace mvx {

class HistoryAccess;

// The "Mises" dialog, opened from the settings: the unit stake of a couplé, a tiercé, a quarté+
// and a quinté+ ticket, and how many times each ticket is played. OK checks every field and
// writes the stakes; "Annuler" and the title bar's close keep them as they were. Every showing
// starts from the stakes in use.
class Tfmises : public QDialog
{
    Q_OBJECT

public:
    Tfmises(Stakes &stakes, Platform &platform, QWidget *parent = nullptr);
    // Where the monthly budget is kept; without it the budget field stays off.
    void setHistory(HistoryAccess *history);

public Q_SLOTS:
    void bokClick();
    void bdefautClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showStakes(const Stakes &stakes);

    Stakes &stakes_;
    Platform &platform_;
    std::array<QLineEdit *, Stakes::kBetKinds> stakeFields_ {}; // by the number of the bet's kind
    QLineEdit *emultiplicateur_ = nullptr;
    QLineEdit *ebudget_ = nullptr;
    HistoryAccess *history_ = nullptr;
    std::optional<std::int64_t> shownBudget_; // the budget as read when the dialog was shown
};

} // namespace mvx
