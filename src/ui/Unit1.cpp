#include "ui/Unit1.h"

#include "combi/game_cost.h"
#include "combi/integer_text.h"
#include "model/outside_links.h"
#include "model/program_folder.h"
#include "model/settings_file.h"
#include "model/stakes_file.h"
#include "synth/forecasts.h"
#include "synth/points.h"
#include "synth/synthesis.h"
#include "ui/common_widgets.h"
#include "ui/keyboard_access.h"
#include "ui/program_icon.h"
#include "ui/systems_page.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>

namespace mvx {

using namespace mvx::ui;

namespace {

// A race has at most 49 runners; the box's two digits let up to 99 through while typing.
constexpr int kMaxHorseCount = 49;
constexpr int kMaxTypedHorseCount = 99;

const QColor kMaroon(128, 0, 0);
const QColor kTeal(0, 128, 128);

int countOf(const QString &text)
{
    return parseInteger(text).value_or(0);
}

// The banner at the top of the window: the program's name on a band of turf green.
QPixmap bannerPixmap()
{
    QPixmap pixmap(400, 75);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    // The top nine rows sit above the window's edge; the left end stays clear of the
    // "Parametres" button.
    const QRectF band(56, 12, 300, 54);
    QLinearGradient turf(band.topLeft(), band.bottomLeft());
    turf.setColorAt(0, QColor(46, 125, 50));
    turf.setColorAt(1, QColor(20, 70, 28));
    QPainterPath outline;
    outline.addRoundedRect(band, 12, 12);
    painter.fillPath(outline, turf);
    painter.setPen(QPen(QColor(212, 175, 55), 2));
    painter.drawPath(outline);

    // Running-rail posts along the bottom of the band.
    painter.setPen(QPen(QColor(255, 255, 255, 150), 1));
    painter.drawLine(QPointF(band.left() + 12, 58), QPointF(band.right() - 12, 58));
    for (int x = int(band.left()) + 18; x < band.right() - 12; x += 24)
        painter.drawLine(QPointF(x, 54), QPointF(x, 62));

    QFont title(QStringLiteral("Liberation Serif"));
    title.setPixelSize(28);
    title.setBold(true);
    title.setItalic(true);
    painter.setFont(title);
    painter.setPen(QColor(0, 0, 0, 110));
    painter.drawText(QRectF(band).translated(2, -5), Qt::AlignCenter, QStringLiteral("MAROVELLIX+"));
    painter.setPen(QColor(255, 236, 160));
    painter.drawText(QRectF(band).translated(0, -7), Qt::AlignCenter, QStringLiteral("MAROVELLIX+"));

    QFont subtitle(QStringLiteral("Liberation Sans"));
    subtitle.setPixelSize(10);
    subtitle.setBold(true);
    painter.setFont(subtitle);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(band.left(), band.top() + 33, band.width(), 14), Qt::AlignCenter,
        QStringLiteral("TIERCÉ  -  QUARTÉ+  -  QUINTÉ+  -  COUPLÉ"));
    return pixmap;
}

} // namespace

Tfprincip::Tfprincip(GameState &state, Platform &platform, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
    , state_(state)
    , platform_(platform)
{
    setUpWindow(this, QStringLiteral("fprincip"), QSize(704, 523));
    setWindowTitle(QStringLiteral("Marovellix+"));

    buildHeader();
    buildBottomRow();
    FormCreate();
    connectEvents();
    // Without a mouse: the standard keys (Return on the focused button comes with the window's
    // set-up).
    addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_Q), bquit);
    openHelpOnF1(this, platform_);

    centreOnScreen(this);
}

void Tfprincip::buildHeader()
{
    // The banner goes first so that the buttons and the tabs it overlaps stay on top.
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(112, -9, 400, 75);
    Image1->setPixmap(bannerPixmap());

    binfos = new QToolButton(this);
    binfos->setObjectName(QStringLiteral("binfos"));
    binfos->setGeometry(6, 5, 41, 36);
    binfos->setIcon(ui::buttonIcon(QStringLiteral("info")));
    binfos->setIconSize(QSize(24, 24));
    binfos->setToolTip(QStringLiteral("Informations"));
    binfos->setAccessibleName(QStringLiteral("Informations"));

    bparametre = makeButton(this, QStringLiteral("bparametre"), QStringLiteral("Parametres"), QRect(53, 5, 108, 36));
    bparametre->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    bparametre->setToolTip(QStringLiteral("Voir/Modifier les paramêtres"));

    baidegene = new QToolButton(this);
    baidegene->setObjectName(QStringLiteral("baidegene"));
    baidegene->setGeometry(662, 5, 38, 36);
    baidegene->setIcon(ui::buttonIcon(QStringLiteral("help")));
    baidegene->setIconSize(QSize(24, 24));
    baidegene->setToolTip(QStringLiteral("Aide"));
    baidegene->setAccessibleName(QStringLiteral("Aide"));

    // The punter's races, in the header's free room right of the banner.
    QPushButton *bmescourses
        = makeButton(this, QStringLiteral("bmescourses"), QStringLiteral("Mes courses"), QRect(540, 5, 116, 36));
    bmescourses->setToolTip(QStringLiteral("Les courses jouées, leur bilan et le budget du mois"));
    connect(bmescourses, &QPushButton::clicked, this, [this] { openModal(windows_.fmescourses); });
    // Tab goes along the header as the eye does: "Mes courses" before "Aide" at the right end.
    setTabOrder(bmescourses, baidegene);

    pagec1 = new QTabWidget(this);
    pagec1->setObjectName(QStringLiteral("pagec1"));
    pagec1->setGeometry(6, 61, 682, 393);
    QFont tabFont(QStringLiteral("MS Sans Serif"));
    tabFont.setPixelSize(19);
    tabFont.setBold(true);
    pagec1->tabBar()->setFont(tabFont);

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    tsysteme = new SystemsPage(state_, platform_, this);
    pagec1->addTab(TabSheet1, QStringLiteral("SYNTHESE PRONOSTICS"));
    pagec1->addTab(tsysteme, QStringLiteral("SYSTEMES "));
    pagec1->tabBar()->setTabTextColor(0, kMaroon);
    pagec1->tabBar()->setTabTextColor(1, kMaroon);
    // The page widgets take their font from the window, not from the tabs.
    TabSheet1->setFont(font());
    tsysteme->setFont(font());

    buildSynthesisPage(TabSheet1);
    pagec1->setCurrentWidget(tsysteme);
}

void Tfprincip::buildSynthesisPage(QWidget *page)
{
    QFrame *panel = makePanel(page, QStringLiteral("Panel1"), QRect(8, 32, 209, 267));
    struct CountBox
    {
        const char *group;
        const char *title;
        const char *box;
        int top;
        int maxLength;
        QComboBox **target;
    };
    const CountBox counts[] = {
        { "GroupBox1", "Nombre de chevaux", "cnbchevaux", 16, 2, &cnbchevaux },
        { "GroupBox3", "Nombre de chevaux par prono", "cnbchevauxprono", 80, 2, &cnbchevauxprono },
        { "GroupBox2", "Nombre de pronostics", "cnbpronos", 144, 4, &cnbpronos },
    };
    for (const CountBox &c : counts) {
        QGroupBox *group
            = makeGroup(panel, QString::fromLatin1(c.group), QString::fromUtf8(c.title), QRect(16, c.top, 169, 57));
        QComboBox *box = makeNumberBox(group, QString::fromLatin1(c.box), 0, c.maxLength);
        box->setGeometry(10, 20, 63, 21);
        box->installEventFilter(this);
        nameBox(box, group->title());
        *c.target = box;
    }

    bsaisiedespronos = makeButton(
        page, QStringLiteral("bsaisiedespronos"), QStringLiteral("Saisie des pronos"), QRect(256, 41, 165, 38));
    bvoirsynthese = makeButton(
        page, QStringLiteral("bvoirsynthese"), QStringLiteral("Voir la Synthese"), QRect(256, 97, 165, 51));
    befface = makeButton(
        page, QStringLiteral("befface"), QStringLiteral("Effacer tous les pronos"), QRect(256, 212, 165, 38));

    gptpos = makeGroup(page, QStringLiteral("gptpos"), QStringLiteral("Points attribués en fonction de la position"),
        QRect(432, 12, 201, 320));
    for (int p = 1; p <= kForecastPositions; ++p) {
        const int row = (p - 1) % 10;
        const bool secondColumn = p > 10;
        QLabel *label = new QLabel(QString::number(p), gptpos);
        label->setGeometry(secondColumn ? 106 : 10, 28 + 24 * row, 25, 13);
        setTag(label, 0);
        QComboBox *box = makeNumberBox(gptpos, QStringLiteral("ComboBox%1").arg(p), p, 2);
        box->setGeometry(secondColumn ? 136 : 40, 25 + 24 * row, 47, 21);
        nameNumberedBox(box, gptpos->title(), p, QStringLiteral("position"));
        pointsBoxes[std::size_t(p - 1)] = box;
    }
    pointsBoxes[0]->installEventFilter(this);
    bdefaut = makeButton(gptpos, QStringLiteral("bdefaut"), QStringLiteral("Defaut"), QRect(8, 274, 81, 42));
    bdefaut->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    bdefaut->setToolTip(QStringLiteral("Affecte les valeurs par défaut par rapport au nombre de chevaux par prono"));
}

void Tfprincip::buildBottomRow()
{
    SpeedButton1 = makeButton(this, QStringLiteral("SpeedButton1"), QStringLiteral("Arrivée tiercé , quarté , quinté"),
        QRect(8, 461, 201, 36));
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
    SpeedButton1->setFlat(true);
    SpeedButton2 = makeButton(this, QStringLiteral("SpeedButton2"),
        QStringLiteral("Sites de paris hippiques sur internet"), QRect(216, 461, 257, 36));
    SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
    SpeedButton2->setFlat(true);
    // A flat button draws no focus frame of its own: these two show one while they have the focus.
    for (QPushButton *link : { SpeedButton1, SpeedButton2 })
        link->setStyleSheet(QStringLiteral("QPushButton:focus { border: 1px dotted black; }"));
    bquit = makeButton(this, QStringLiteral("bquit"), QStringLiteral("Quit"), QRect(488, 457, 209, 40));
    bquit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    bquit->setToolTip(QStringLiteral("Quitter le logiciel"));

    panelinfo = new QLabel(this);
    panelinfo->setObjectName(QStringLiteral("panelinfo"));
    panelinfo->setGeometry(0, 502, 697, 16);
    panelinfo->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panelinfo->setAlignment(Qt::AlignCenter);
    QPalette teal = panelinfo->palette();
    teal.setColor(QPalette::WindowText, kTeal);
    panelinfo->setPalette(teal);
    panelinfo->setText(QStringLiteral("Marovellix+ : aide au jeu du tiercé, du quarté+, du quinté+ et du couplé. "
                                      "Le jeu comporte des risques : jouez avec modération."));
}

// Creation: the settings, the start values, the points and every list of the window.
void Tfprincip::FormCreate()
{
    state_.firstShowPending = true;
    settingsFolder_ = settingsFolder(platform_.programFolder());
    loadSettings(settingsFolder_, state_.settings);
    state_.stakes = loadStakes(settingsFolder_, defaultStakes());
    loadedStakes_ = state_.stakes;

    state_.horseCount = 20;
    state_.horsesPerForecast = 8;
    state_.forecastCount = 5;
    for (auto &row : state_.forecasts)
        row.fill(0);
    state_.synthesis.fill(SynthesisEntry {});
    restorePoints(state_);

    fillNumberList(cnbchevaux, 20);
    fillNumberList(cnbchevauxprono, 20);
    fillNumberList(cnbpronos, 200);

    setCountBox(cnbchevauxprono, state_.horsesPerForecast, 8);
    setCountBox(cnbchevaux, state_.horseCount, 20);
    setCountBox(cnbpronos, state_.forecastCount, 5);
    refreshPointsBoxes();
}

void Tfprincip::connectEvents()
{
    connect(cnbchevaux, &QComboBox::editTextChanged, this,
        [this](const QString &text) { state_.horseCount = std::clamp(countOf(text), 0, kMaxTypedHorseCount); });
    // The counts that size the forecast table never go past it, even while being typed.
    connect(cnbchevauxprono, &QComboBox::editTextChanged, this,
        [this](const QString &text) { state_.horsesPerForecast = std::clamp(countOf(text), 0, kForecastPositions); });
    connect(cnbpronos, &QComboBox::editTextChanged, this,
        [this](const QString &text) { state_.forecastCount = std::clamp(countOf(text), 0, kForecastRows); });

    connect(pointsBoxes[0], &QComboBox::activated, this, &Tfprincip::majtabpointpos);
    for (std::size_t p = 1; p < pointsBoxes.size(); ++p)
        connect(pointsBoxes[p], &QComboBox::editTextChanged, this, &Tfprincip::majtabpointpos);
    connect(bdefaut, &QPushButton::clicked, this, &Tfprincip::bdefautClick);

    connect(bsaisiedespronos, &QPushButton::clicked, this, &Tfprincip::bsaisiedespronosClick);
    connect(bvoirsynthese, &QPushButton::clicked, this, &Tfprincip::bvoirsyntheseClick);
    connect(befface, &QPushButton::clicked, this, &Tfprincip::beffaceClick);

    connect(binfos, &QToolButton::clicked, this, [this] { openModal(windows_.apropos); });
    connect(bparametre, &QPushButton::clicked, this, [this] { openModal(windows_.fparametre); });
    connect(baidegene, &QToolButton::clicked, this, [this] { openHelp(platform_); });
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { platform_.openInBrowser(raceResultsAddress()); });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { platform_.openInBrowser(bettingSitesAddress()); });
    connect(bquit, &QPushButton::clicked, this, &QWidget::close);
}

void Tfprincip::setSecondaryWindows(const SecondaryWindows &windows)
{
    windows_ = windows;
    tsysteme->setWindows(windows.fresultatcomb, windows.fimprime, windows.fcompare);
}

void Tfprincip::setCountBox(QComboBox *box, std::int32_t &count, int value)
{
    showBoxText(box, QString::number(value));
    count = value;
}

void Tfprincip::openModal(QDialog *window)
{
    if (window)
        window->exec();
}

bool Tfprincip::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // Opening the box's own list or switching to another program does not leave the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (watched == cnbchevaux)
                cnbchevauxExit();
            else if (watched == cnbchevauxprono)
                cnbchevauxpronoExit();
            else if (watched == cnbpronos)
                cnbpronosExit();
            else if (watched == pointsBoxes[0])
                majtabpointpos();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Tfprincip::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void Tfprincip::FormActivate()
{
    if (!state_.firstShowPending)
        return;
    state_.firstShowPending = false;
    tsysteme->refreshSystemsPage();
}

void Tfprincip::closeEvent(QCloseEvent *event)
{
    if (!closed_) {
        closed_ = true;
        FormClose();
    }
    event->accept();
}

// Saving the settings reports its own failure; the companion program is started silently.
void Tfprincip::FormClose()
{
    // The first points box takes effect when it is left, which closing the window by its title
    // bar does not do: what the boxes show is what gets saved.
    majtabpointpos();
    const bool settingsSaved = saveSettings(state_, settingsFolder_, platform_);
    // One report is enough when the folder takes no file at all.
    if (state_.stakes != loadedStakes_ && !saveStakes(settingsFolder_, state_.stakes) && settingsSaved)
        reportFileNotSaved(platform_);
    const QString folder = platform_.programFolder();
    const QString program = programFile(folder, QStringLiteral("TORVANE.EXE"));
    const QString page = programFile(folder, QStringLiteral("TORVANE.HTM"));
    if (QFileInfo(program).isFile())
        platform_.startProgram(program);
    else if (QFileInfo(page).isFile())
        platform_.openInBrowser(page);
}

// The horse count on leaving its box: at most 49, and never fewer horses than horses per forecast.
void Tfprincip::cnbchevauxExit()
{
    const std::optional<std::int32_t> n = parseInteger(cnbchevaux->currentText());
    if (!n)
        return;
    if (*n > kMaxHorseCount)
        setCountBox(cnbchevaux, state_.horseCount, kMaxHorseCount);
    else if (*n < state_.horsesPerForecast)
        setCountBox(cnbchevauxprono, state_.horsesPerForecast, std::max(*n, 0));
}

// Horses per forecast on leaving its box: no more than the horses, nor than a forecast has positions.
void Tfprincip::cnbchevauxpronoExit()
{
    const std::optional<std::int32_t> p = parseInteger(cnbchevauxprono->currentText());
    if (!p)
        return;
    int value = *p;
    if (const std::optional<std::int32_t> horses = parseInteger(cnbchevaux->currentText()); horses && value > *horses)
        value = std::max(*horses, 0);
    value = std::min(value, kForecastPositions);
    if (value != *p)
        setCountBox(cnbchevauxprono, state_.horsesPerForecast, value);
}

// The forecast table holds 500 rows.
void Tfprincip::cnbpronosExit()
{
    const std::optional<std::int32_t> n = parseInteger(cnbpronos->currentText());
    if (n && *n > kForecastRows)
        setCountBox(cnbpronos, state_.forecastCount, kForecastRows);
}

void Tfprincip::majtabpointpos()
{
    std::array<QString, kForecastPositions> texts;
    for (std::size_t p = 0; p < texts.size(); ++p)
        texts[p] = pointsBoxes[p]->currentText();
    updatePointsFromBoxes(state_, texts);
}

void Tfprincip::refreshPointsBoxes()
{
    for (int p = 1; p <= kForecastPositions; ++p)
        fillNumberListAt(gptpos, p, 20, state_.pointsByPosition[std::size_t(p - 1)]);
}

void Tfprincip::bdefautClick()
{
    if (applyDefaultPoints(state_, cnbchevauxprono->currentText()))
        refreshPointsBoxes();
}

void Tfprincip::bsaisiedespronosClick()
{
    openModal(windows_.fsaiprono);
}

void Tfprincip::bvoirsyntheseClick()
{
    computeSynthesis(state_);
    openModal(windows_.fsynthese);
}

void Tfprincip::beffaceClick()
{
    clearForecasts(state_);
}

void Tfprincip::useRanking(const std::vector<int> &horses)
{
    const QStringList passed = tsysteme->takeRanking(horses);
    pagec1->setCurrentWidget(tsysteme);
    if (!passed.isEmpty())
        platform_.inform(
            QStringLiteral("%1 %2 du classement : une sélection ne prend que les numéros 1 à %3.")
                .arg(passed.size() == 1 ? QStringLiteral("Le cheval") : QStringLiteral("Les chevaux"),
                    passed.join(QStringLiteral(", "))
                        + (passed.size() == 1 ? QStringLiteral(" est passé") : QStringLiteral(" sont passés")))
                .arg(kMaxHorses),
            QStringLiteral("Utiliser ce classement"));
}

} // namespace mvx
