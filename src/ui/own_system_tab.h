#pragma once

#include "combi/own_system.h"
#include "model/bet.h"
#include "model/platform.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace mvx::ui {
class ResultText;
}

namespace mvx {

// The "Mon système" tab of the systems page: the punter's own request (horses to combine,
// horses per ticket, bases, guarantee, the share of the arrivals it must hold for), "Chercher" and
// the table found. A request the program's library holds is answered at once from it, and
// "Chercher" then tries to beat that table. The table stays until the request changes; the
// selection boxes are read only when tickets are made from it.
class OwnSystemTab : public QWidget
{
    Q_OBJECT

public:
    explicit OwnSystemTab(Platform &platform, QWidget *parent = nullptr);

    // The request on screen and the table found for it, if any.
    const OwnSystem &ownSystem() const { return system_; }
    // Shows a loaded request and its table, without counting as a change by the user.
    void setOwnSystem(const OwnSystem &system);

    // The horses (bases included) and the bases the selection boxes are painted for.
    int horses() const;
    int bases() const;
    // The share of the arrivals chosen under "Garantie pour", in percent.
    int sharePercent() const;

    // The game's bet: the guarantees offered are the promises that mean something for it, in its
    // words, and each ticket size is named by the bet it plays.
    void setBet(Bet bet);
    // The bet tickets of the size on screen are played as: the game's bet, or its size's own.
    std::optional<Bet> betOnScreen() const;

    // A line added to the result line, what the page's conditions leave of the table; empty for
    // none.
    void setConditionsLine(const QString &line);

Q_SIGNALS:
    // The request changed (the table, if any, is gone): the selection boxes follow it.
    void requestChanged();

private:
    void fillGuarantees(int keep);
    void nameTicketSizes();
    void requestEdited();
    void bchercherClick();
    SystemRequest requestOnScreen() const;
    // The request on screen with the library's answer, when it has one.
    OwnSystem systemOnScreen() const;
    void showTable();

    Platform &platform_;
    Bet bet_;
    OwnSystem system_;
    QString conditionsLine_;

    QComboBox *cpersochevaux = nullptr;
    QComboBox *cpersoticket = nullptr;
    QComboBox *cpersobase = nullptr;
    QComboBox *cpersogarantie = nullptr;
    QComboBox *cpersopart = nullptr;
    QPushButton *bchercher = nullptr;
    ui::ResultText *lpersoresultat = nullptr;
};

} // namespace mvx
