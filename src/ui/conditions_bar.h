#pragma once

#include "combi/ticket_conditions.h"
#include "model/game_state.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace mvx {

class Platform;

// The conditions of the systems page: "Conditions…" opens the dialog on them, a line says which
// are on and "Effacer" drops them all.
class ConditionsBar : public QWidget
{
    Q_OBJECT

public:
    // `horsesPerTicket` gives the ticket size of the tab shown when the dialog opens.
    ConditionsBar(
        const GameState &state, Platform &platform, std::function<int()> horsesPerTicket, QWidget *parent = nullptr);

    const TicketConditions &conditions() const { return conditions_; }
    void setConditions(const TicketConditions &conditions);

public Q_SLOTS:
    void bconditionsClick();
    void beffconditionsClick();

Q_SIGNALS:
    void conditionsChanged();

private:
    void showConditions();

    const GameState &state_;
    Platform &platform_;
    std::function<int()> horsesPerTicket_;
    TicketConditions conditions_;
    QPushButton *bconditions_ = nullptr;
    QLabel *lconditions_ = nullptr;
    QPushButton *beffconditions_ = nullptr;
};

// What the bar says of a set of conditions: "Conditions : 2 groupes", "Conditions : 1 groupe et
// la somme", "Conditions : la somme"; empty for none.
QString conditionsSummary(const TicketConditions &conditions);

} // namespace mvx
