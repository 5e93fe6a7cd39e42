#pragma once

#include "combi/bet_formulas.h"

#include <QObject>

#include <optional>

class QComboBox;
class QLabel;
class QWidget;

namespace mvx::ui {
class ResultText;
}

namespace mvx {

// The operator's formulas on the generator's tab: the "Formule" list (générateur, combinée,
// champ partiel, champ total), the number of runners a champ total needs, and the line that
// shows the formula's tickets and their cost before they are made.
class FormulaChoice : public QObject
{
    Q_OBJECT

public:
    // Makes the controls on the generator's tab; with "générateur" only the list shows.
    explicit FormulaChoice(QWidget *tab);

    // The formula chosen; none for the generator itself.
    std::optional<BetFormula::Kind> kind() const;
    // The runners chosen for a champ total, 0 while none is.
    int runners() const;

    // Offers the formulas the bet has: a bet of one horse has no champ.
    void offerFor(Bet bet);
    // Back to the generator itself, without a signal.
    void showGenerator();
    void showRunnersBox(bool shown);
    // The formula's tickets and cost, or why it cannot be played.
    void showLine(const QString &text);

    QComboBox *formulaBox() const { return cformule; }
    QComboBox *runnersBox() const { return cpartants; }

Q_SIGNALS:
    void changed();

private:
    QLabel *lformule = nullptr;
    QComboBox *cformule = nullptr;
    QLabel *lpartants = nullptr;
    QComboBox *cpartants = nullptr;
    ui::ResultText *lformuletickets = nullptr;
};

} // namespace mvx
