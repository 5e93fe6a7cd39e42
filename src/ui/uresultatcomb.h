#pragma once

#include "model/game_state.h"
#include "model/platform.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace mvx {

namespace ui {
class ResultText;
class TicketGrid;
} // namespace ui
class Tftrous;

// The ticket list window: every ticket of the last generation as a numbered row, their count,
// and the printed list. The grid reads the tickets when it paints them, so opening it costs
// the same for six tickets as for hundreds of millions.
class Tfresultatcomb : public QDialog
{
    Q_OBJECT

public:
    Tfresultatcomb(GameState &state, Platform &platform, QWidget *parent = nullptr);

    // The windows "Imprimer les tickets" and "Comparer avec l'arrivée" open on the list.
    void setListWindows(QDialog *slipPrint, QDialog *comparison)
    {
        slipPrint_ = slipPrint;
        comparison_ = comparison;
    }

public Q_SLOTS:
    void FormActivate();
    void bimprimeClick();
    void bquitClick();
    void bimprimeticketsClick();
    void bcomparClick();
    void btrousClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Columns, headings, rows and count of the current list. The cells are read from the
    // tickets as they are painted, so there is nothing to fill in beforehand.
    void prepareTicketGrid();
    // The cost and the buttons that take the list elsewhere: slips, arrival, holes.
    void buildListActions();

    GameState &state_;
    Platform &platform_;
    ui::TicketGrid *grillecomb_ = nullptr;
    QLabel *lnbtickets_ = nullptr;
    ui::ResultText *lcout_ = nullptr;
    ui::ResultText *lbudget_ = nullptr; // the month's budget against the list, when one is set
    QLabel *lgarantie_ = nullptr;
    QDialog *slipPrint_ = nullptr;
    QDialog *comparison_ = nullptr;
    Tftrous *holes_ = nullptr;
};

} // namespace mvx
