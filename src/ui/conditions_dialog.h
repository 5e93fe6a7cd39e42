#pragma once

#include "combi/ticket_conditions.h"
#include "model/game_state.h"

#include <QDialog>

#include <array>
#include <variant>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace mvx {

class Platform;

// The conditions on the tickets: up to four groups of horses, each with the least and the most
// of its horses a ticket may hold, and a range for the sum of a ticket's horse numbers. The
// groups are typed, or the first two taken from the synthesis ranking. OK refuses, with the
// reason, conditions that cannot go together and keeps the dialog open; the caller reads them
// with conditions() once it was accepted.
class ConditionsDialog : public QDialog
{
    Q_OBJECT

public:
    // `horsesPerTicket` the size of the tickets the conditions are for, 0 when not known yet.
    ConditionsDialog(const GameState &state, Platform &platform, int horsesPerTicket, QWidget *parent = nullptr);

    void setConditions(const TicketConditions &conditions);
    const TicketConditions &conditions() const { return conditions_; }

public Q_SLOTS:
    void bsyntheseClick();
    void bokClick();

private:
    struct GroupRow
    {
        QLineEdit *name = nullptr;
        QLineEdit *horses = nullptr;
        QComboBox *min = nullptr;
        QComboBox *max = nullptr;
    };
    // What the fields hold, or the message that refuses them.
    std::variant<TicketConditions, Message> readFields() const;

    const GameState &state_;
    Platform &platform_;
    int horsesPerTicket_;
    std::array<GroupRow, kMaxConditionGroups> rows_ {};
    QLineEdit *esommin_ = nullptr;
    QLineEdit *esommax_ = nullptr;
    QPushButton *bsynthese_ = nullptr;
    QPushButton *bok_ = nullptr;
    QPushButton *bannuler_ = nullptr;
    TicketConditions conditions_;
};

namespace messages {
Message noSynthesisYet();
} // namespace messages

} // namespace mvx
