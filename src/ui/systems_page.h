#pragma once

#include "combi/bet_formulas.h"
#include "combi/ticket_recipe.h"
#include "model/game_state.h"
#include "model/platform.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <vector>

class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace mvx::ui {
class ResultText;
}

namespace mvx {

class ConditionsBar;
class FormulaChoice;
class OwnSystemTab;

// The systems page of the main window ("tsysteme"): the game file buttons, the conditions bar,
// the three ways of making tickets (a reduced system of the catalogue, the generator, the
// punter's own system), the selection boxes and the four buttons that make the tickets.
class SystemsPage : public QWidget
{
    Q_OBJECT

public:
    SystemsPage(GameState &state, Platform &platform, QWidget *parent = nullptr);

    // The windows the page's buttons open modally; one not there yet is not opened.
    void setWindows(QDialog *ticketList, QDialog *slipPrint, QDialog *comparison);

    // What the page asks for, as a ticket request or a game file sees it.
    TicketRecipe recipe() const;
    // Puts a loaded game back on the page without counting as a change by the user.
    void applyRecipe(const TicketRecipe &recipe);

    // The selection boxes shown take the ranked horses in order; returns the ranked horses
    // passed over because a selection holds only horses 1..20.
    QStringList takeRanking(const std::vector<int> &horses);

    void refreshSystemsPage();
    void showBaseControls(int baseCount);

private:
    void build();
    void fillLists();
    void connectEvents();

    void brengjeuClick();
    void bchargejeuClick();
    void bouvrirticketsClick();
    void bvoirtickClick();
    void bimprimeticketsClick();
    void bgenerefichierClick();
    void bcomparClick();
    void cnbchebaseChange();
    void cpariChange();
    void formulaChange();

    // The operator's formula the generator's tab asks for; none for the generator itself.
    std::optional<BetFormula> shownFormula() const;
    // The formula's count and cost on its line, and the generator's controls it does not use.
    void showFormula();
    // Tells why the formula asked for cannot be played; true when it can (or none is asked).
    bool formulaPlayable();

    // The bet the Pari list shows.
    Bet shownBet() const;
    void showBet(Bet bet);
    void showBetOrder();
    // The Pari list follows tickets of another size than its bet, to the bet that size gives.
    void betFollowsTicketSize();

    void showBasePositionBoxes(int baseCount);
    void nameSystemBox();
    // The conditioned count of a catalogue or own system, on its tab's result line.
    void showConditionedCount();
    void openModal(QDialog *window);

    GameState &state_;
    Platform &platform_;
    QDialog *ticketList_ = nullptr;
    QDialog *slipPrint_ = nullptr;
    QDialog *comparison_ = nullptr;

    QPushButton *brengjeu = nullptr;
    QPushButton *bchargejeu = nullptr;
    QPushButton *bouvrirtickets = nullptr;
    ConditionsBar *conditionsBar = nullptr;
    ui::ResultText *lsysconditions = nullptr;
    QTabWidget *PageControl1 = nullptr;
    QWidget *tsysreduit = nullptr;
    QWidget *tcombi = nullptr;
    OwnSystemTab *tperso = nullptr;
    QComboBox *clistesystemes = nullptr;
    QComboBox *cnbchecomb = nullptr;
    QComboBox *cnbchetick = nullptr;
    QComboBox *cpari = nullptr; // the bet, beside the tabs
    std::vector<Bet> bets_; // the Pari list's bets, in its order
    // The punter picked the bet shown, rather than the page following a ticket size: tickets of
    // another size are then refused rather than played as another bet.
    bool betPicked_ = false;
    QComboBox *cnbchebase = nullptr;
    std::array<QLabel *, 3> labposb {};
    std::array<QComboBox *, 3> cposb {};
    QLabel *labpositionbasecombi = nullptr;
    QRadioButton *rtopcombred = nullptr;
    QRadioButton *rtopcombcomp = nullptr;
    QGroupBox *gordre = nullptr; // the two radio buttons
    FormulaChoice *formula_ = nullptr;
    QGroupBox *gchevaux = nullptr;
    std::array<QComboBox *, kMaxHorses> selectionBoxes {};
    QPushButton *bvoirtick = nullptr;
    QPushButton *bimprimetickets = nullptr;
    QPushButton *bgenerefichier = nullptr;
    QPushButton *bcompar = nullptr;
};

} // namespace mvx
