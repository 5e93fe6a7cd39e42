#pragma once

#include "model/game_state.h"
#include "model/platform.h"
#include "slips/slip_print.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mvx {

// The bet-slip print dialog: the slip type, the range of tickets, all slips at once or one at a
// time, and the fixed boxes to mark on the slip types that have them. "Imprimer" checks the
// range, runs the print and closes.
class Tfimprime : public QDialog
{
    Q_OBJECT

public:
    Tfimprime(GameState &state, Platform &platform, QWidget *parent = nullptr);

    // The run "Imprimer" would start with what the dialog shows (the range unchecked).
    SlipRun chosenRun() const;

public Q_SLOTS:
    void applyPrintDialogCaptions();
    void applySlipTypeOptions(int slipType);
    void ComboBox1Change();
    void boutlancerClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void formshow();
    void FormActivate();

    GameState &state_;
    Platform &platform_;

    QLabel *Label4 = nullptr;
    QLabel *Label3 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *Gpremier = nullptr;
    QLineEdit *gdernier = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QRadioButton *bimptsbull = nullptr;
    QRadioButton *bimpunbull = nullptr;
    QGroupBox *grparasup = nullptr;
    QCheckBox *chcochecasefixe = nullptr;
    QGroupBox *grmise = nullptr;
    QGroupBox *grreunion = nullptr;
    QGroupBox *grpari = nullptr;
    std::array<QRadioButton *, 7> stakeButtons {}; // ram1..ram20
    std::array<QRadioButton *, 8> meetingButtons {}; // rar1..rar8
    std::array<QRadioButton *, 3> betButtons {}; // ratierce, raquarte, raquinte
    QPushButton *boutlancer = nullptr;
    QPushButton *boutannule = nullptr;
};

} // namespace mvx
