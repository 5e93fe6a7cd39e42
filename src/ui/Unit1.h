#pragma once

#include "combi/ticket_request.h"
#include "model/game_state.h"
#include "model/platform.h"

#include <QWidget>

#include <array>
#include <vector>

class QComboBox;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace mvx {

class ConditionsBar;
class OwnSystemTab;

// The windows the main window opens modally. Each is created once at start-up; a window that
// is not there yet leaves its button with only the work done before showing it.
struct SecondaryWindows
{
    QDialog *fsaiprono = nullptr;
    QDialog *fsynthese = nullptr;
    QDialog *fresultatcomb = nullptr;
    QDialog *fcompare = nullptr;
    QDialog *apropos = nullptr;
    QDialog *fparametre = nullptr;
    QDialog *fimprime = nullptr;
};

// The main window: the forecast synthesis page and the systems page.
class Tfprincip : public QWidget
{
    Q_OBJECT

public:
    Tfprincip(GameState &state, Platform &platform, QWidget *parent = nullptr);

    void setSecondaryWindows(const SecondaryWindows &windows) { windows_ = windows; }

    // What the systems page shows, as a ticket request or a game file sees it.
    SystemsPage systemsPage() const;
    // Puts a loaded game back on the page without counting as a change by the user.
    void applySystemsPage(const SystemsPage &page);

    // "Utiliser ce classement": the boxes the systems page uses take the ranked horses in order,
    // and the systems page is shown.
    void useRanking(const std::vector<int> &horses);

    void refreshSystemsPage();
    void showBaseControls(int baseCount);
    void refreshPointsBoxes();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildHeader();
    void buildSynthesisPage(QWidget *page);
    void buildSystemsPage(QWidget *page);
    void buildBottomRow();
    void connectEvents();
    void FormCreate();
    void FormActivate();
    void FormClose();

    void cnbchevauxExit();
    void cnbchevauxpronoExit();
    void cnbpronosExit();
    void majtabpointpos();
    void bdefautClick();
    void bsaisiedespronosClick();
    void bvoirsyntheseClick();
    void beffaceClick();
    void brengjeuClick();
    void bchargejeuClick();
    void bouvrirticketsClick();
    void bvoirtickClick();
    void bimprimeticketsClick();
    void bgenerefichierClick();
    void bcomparClick();
    void cnbchebaseChange();

    // Writes a count box and the count that goes with it.
    void setCountBox(QComboBox *box, std::int32_t &count, int value);
    void showBasePositionBoxes(int baseCount);
    // The conditioned count of a catalogue or own system, on its tab's result line.
    void showConditionedCount();
    void openModal(QDialog *window);

    GameState &state_;
    Platform &platform_;
    SecondaryWindows windows_;
    bool closed_ = false;
    // Where the settings file was read at creation and is written at close.
    QString settingsFolder_;
    // The stakes as read at creation: the stakes file is written at close only when they changed.
    Stakes loadedStakes_;

    QToolButton *binfos = nullptr;
    QPushButton *bparametre = nullptr;
    QToolButton *baidegene = nullptr;
    QLabel *Image1 = nullptr;
    QTabWidget *pagec1 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QWidget *tsysteme = nullptr;

    QComboBox *cnbchevaux = nullptr;
    QComboBox *cnbchevauxprono = nullptr;
    QComboBox *cnbpronos = nullptr;
    QPushButton *bsaisiedespronos = nullptr;
    QPushButton *bvoirsynthese = nullptr;
    QPushButton *befface = nullptr;
    QGroupBox *gptpos = nullptr;
    std::array<QComboBox *, kForecastPositions> pointsBoxes {};
    QPushButton *bdefaut = nullptr;

    QPushButton *brengjeu = nullptr;
    QPushButton *bchargejeu = nullptr;
    QPushButton *bouvrirtickets = nullptr;
    ConditionsBar *conditionsBar = nullptr;
    QLabel *lsysconditions = nullptr;
    QTabWidget *PageControl1 = nullptr;
    QWidget *tsysreduit = nullptr;
    QWidget *tcombi = nullptr;
    OwnSystemTab *tperso = nullptr;
    QComboBox *clistesystemes = nullptr;
    QComboBox *cnbchecomb = nullptr;
    QComboBox *cnbchetick = nullptr;
    QComboBox *cnbchebase = nullptr;
    std::array<QLabel *, 3> labposb {};
    std::array<QComboBox *, 3> cposb {};
    QLabel *labpositionbasecombi = nullptr;
    QRadioButton *rtopcombred = nullptr;
    QRadioButton *rtopcombcomp = nullptr;
    QGroupBox *gchevaux = nullptr;
    std::array<QComboBox *, kMaxHorses> selectionBoxes {};
    QPushButton *bvoirtick = nullptr;
    QPushButton *bimprimetickets = nullptr;
    QPushButton *bgenerefichier = nullptr;
    QPushButton *bcompar = nullptr;

    QPushButton *SpeedButton1 = nullptr;
    QPushButton *SpeedButton2 = nullptr;
    QPushButton *bquit = nullptr;
    QLabel *panelinfo = nullptr;
};

} // namespace mvx
