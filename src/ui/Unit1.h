#pragma once

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
class QTabWidget;
class QToolButton;

namespace mvx {

class SystemsPage;

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
    QDialog *fmescourses = nullptr;
};

// The main window: the forecast synthesis page and the systems page.
class Tfprincip : public QWidget
{
    Q_OBJECT

public:
    Tfprincip(GameState &state, Platform &platform, QWidget *parent = nullptr);

    void setSecondaryWindows(const SecondaryWindows &windows);

    // The systems page, whose recipe() is what a ticket request or a game file sees.
    SystemsPage &systemsPage() const { return *tsysteme; }

    // "Utiliser ce classement": the boxes the systems page uses take the ranked horses in order,
    // and the systems page is shown.
    void useRanking(const std::vector<int> &horses);

    void refreshPointsBoxes();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildHeader();
    void buildSynthesisPage(QWidget *page);
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

    // Writes a count box and the count that goes with it.
    void setCountBox(QComboBox *box, std::int32_t &count, int value);
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
    SystemsPage *tsysteme = nullptr;

    QComboBox *cnbchevaux = nullptr;
    QComboBox *cnbchevauxprono = nullptr;
    QComboBox *cnbpronos = nullptr;
    QPushButton *bsaisiedespronos = nullptr;
    QPushButton *bvoirsynthese = nullptr;
    QPushButton *befface = nullptr;
    QGroupBox *gptpos = nullptr;
    std::array<QComboBox *, kForecastPositions> pointsBoxes {};
    QPushButton *bdefaut = nullptr;

    QPushButton *SpeedButton1 = nullptr;
    QPushButton *SpeedButton2 = nullptr;
    QPushButton *bquit = nullptr;
    QLabel *panelinfo = nullptr;
};

} // namespace mvx
