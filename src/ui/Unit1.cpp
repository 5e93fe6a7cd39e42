#include "ui/Unit1.h"

#include "combi/catalogue.h"
#include "combi/game_cost.h"
#include "combi/integer_text.h"
#include "combi/opened_ticket_list.h"
#include "model/game_file.h"
#include "model/outside_links.h"
#include "model/program_folder.h"
#include "model/settings_file.h"
#include "model/stakes_file.h"
#include "synth/forecasts.h"
#include "synth/points.h"
#include "synth/synthesis.h"
#include "ui/common_widgets.h"
#include "ui/conditions_bar.h"
#include "ui/own_system_tab.h"
#include "ui/program_icon.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
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

// Shows a number in a box the way the program writes it: the list item when it has one.
void showText(QComboBox *box, const QString &text)
{
    const QSignalBlocker blocker(box);
    const int index = box->findText(text, Qt::MatchExactly);
    box->setCurrentIndex(index);
    if (box->isEditable() && box->currentText() != text)
        box->setEditText(text);
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

// The system list's items end in 200 blanks and the system's number, which the program reads
// back from the item text. The list shows only the description before them, so that a long
// description is shown whole rather than cut short with "…" for the sake of blanks.
class SystemItemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        qsizetype end = option->text.size();
        while (end > 0 && option->text[end - 1].isDigit())
            --end;
        while (end > 0 && option->text[end - 1] == QLatin1Char(' '))
            --end;
        option->text.truncate(end);
    }
};

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

    bparametre = makeButton(this, QStringLiteral("bparametre"), QStringLiteral("Parametres"), QRect(53, 5, 108, 36));
    bparametre->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    bparametre->setToolTip(QStringLiteral("Voir/Modifier les paramêtres"));

    baidegene = new QToolButton(this);
    baidegene->setObjectName(QStringLiteral("baidegene"));
    baidegene->setGeometry(662, 5, 38, 36);
    baidegene->setIcon(ui::buttonIcon(QStringLiteral("help")));
    baidegene->setIconSize(QSize(24, 24));
    baidegene->setToolTip(QStringLiteral("Aide"));

    pagec1 = new QTabWidget(this);
    pagec1->setObjectName(QStringLiteral("pagec1"));
    pagec1->setGeometry(6, 61, 682, 393);
    QFont tabFont(QStringLiteral("MS Sans Serif"));
    tabFont.setPixelSize(19);
    tabFont.setBold(true);
    pagec1->tabBar()->setFont(tabFont);

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    tsysteme = new QWidget;
    tsysteme->setObjectName(QStringLiteral("tsysteme"));
    pagec1->addTab(TabSheet1, QStringLiteral("SYNTHESE PRONOSTICS"));
    pagec1->addTab(tsysteme, QStringLiteral("SYSTEMES "));
    pagec1->tabBar()->setTabTextColor(0, kMaroon);
    pagec1->tabBar()->setTabTextColor(1, kMaroon);
    // The page widgets take their font from the window, not from the tabs.
    TabSheet1->setFont(font());
    tsysteme->setFont(font());

    buildSynthesisPage(TabSheet1);
    buildSystemsPage(tsysteme);
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
        pointsBoxes[std::size_t(p - 1)] = box;
    }
    pointsBoxes[0]->installEventFilter(this);
    bdefaut = makeButton(gptpos, QStringLiteral("bdefaut"), QStringLiteral("Defaut"), QRect(8, 274, 81, 42));
    bdefaut->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    bdefaut->setToolTip(QStringLiteral("Affecte les valeurs par défaut par rapport au nombre de chevaux par prono"));
}

void Tfprincip::buildSystemsPage(QWidget *page)
{
    brengjeu = makeButton(page, QStringLiteral("brengjeu"), QStringLiteral("Enregistrer le jeu"), QRect(5, 3, 123, 37));
    brengjeu->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    bchargejeu
        = makeButton(page, QStringLiteral("bchargejeu"), QStringLiteral("Charger un jeu"), QRect(133, 3, 123, 37));
    bchargejeu->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    bouvrirtickets = makeButton(
        page, QStringLiteral("bouvrirtickets"), QStringLiteral("Ouvrir un fichier de tickets"), QRect(261, 3, 190, 37));
    bouvrirtickets->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    conditionsBar = new ConditionsBar(
        state_, platform_, [this] { return requestHorsesPerTicket(systemsPage()); }, page);
    conditionsBar->setGeometry(456, 3, 214, 37);

    QFrame *panel = makePanel(page, QStringLiteral("Panel4"), QRect(5, 43, 660, 302));
    PageControl1 = new QTabWidget(panel);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(5, 6, 652, 133);
    tsysreduit = new QWidget;
    tsysreduit->setObjectName(QStringLiteral("tsysreduit"));
    tcombi = new QWidget;
    tcombi->setObjectName(QStringLiteral("tcombi"));
    PageControl1->addTab(tsysreduit, QStringLiteral("Systemes réduits"));
    PageControl1->addTab(tcombi, QStringLiteral("Générateur de combinaisons"));
    tperso = new OwnSystemTab(platform_);
    PageControl1->addTab(tperso, QStringLiteral("Mon système"));

    QGroupBox *choice
        = makeGroup(tsysreduit, QStringLiteral("GroupBox4"), QStringLiteral("Choix du système"), QRect(2, 8, 639, 45));
    clistesystemes = makePickList(choice, QStringLiteral("clistesystemes"), QRect(6, 16, 627, 21));
    // A scrolling list under the box rather than a menu over the whole screen.
    clistesystemes->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    clistesystemes->setMaxVisibleItems(16);
    clistesystemes->view()->setItemDelegate(new SystemItemDelegate(clistesystemes->view()));
    lsysconditions = new QLabel(tsysreduit);
    lsysconditions->setObjectName(QStringLiteral("lsysconditions"));
    lsysconditions->setGeometry(8, 58, 633, 40);
    lsysconditions->setWordWrap(true);

    makeLabel(tcombi, QStringLiteral("Label1"), QStringLiteral("Nombre de chevaux à combiner"), 4, 5);
    cnbchecomb = makePickList(tcombi, QStringLiteral("cnbchecomb"), QRect(162, 2, 71, 21));
    makeLabel(tcombi, QStringLiteral("Label2"),
        QStringLiteral("Nombre de chevaux par ticket (5 : quinte , 4 quarte , 3 tierce , 2 couplé )"), 244, 2);
    cnbchetick = makePickList(tcombi, QStringLiteral("cnbchetick"), QRect(348, 17, 119, 21));
    makeLabel(tcombi, QStringLiteral("Label3"), QStringLiteral("Nombre de base "), 8, 45);
    cnbchebase = makePickList(tcombi, QStringLiteral("cnbchebase"), QRect(90, 42, 71, 21));

    const char *positionLabels[] = { "Position  Base 1 ", "Base 2", "Base 3" };
    const int labelLeft[] = { 170, 338, 466 };
    const int boxLeft[] = { 266, 394, 514 };
    for (int i = 0; i < 3; ++i) {
        labposb[std::size_t(i)] = makeLabel(
            tcombi, QStringLiteral("labposb%1").arg(i + 1), QString::fromLatin1(positionLabels[i]), labelLeft[i], 45);
        QComboBox *box = makePickList(tcombi, QStringLiteral("cposb%1").arg(i + 1), QRect(boxLeft[i], 42, 71, 21));
        for (int position = 1; position <= 5; ++position)
            box->addItem(QString::number(position));
        cposb[std::size_t(i)] = box;
    }
    labpositionbasecombi = makeLabel(tcombi, QStringLiteral("labpositionbasecombi"),
        QStringLiteral("position des bases dans les combinaisons générées "), 265, 62);

    QGroupBox *kind = makeGroup(tcombi, QStringLiteral("GroupBox5"), QString(), QRect(8, 73, 417, 29));
    rtopcombred = new QRadioButton(QStringLiteral("Combinaisons réduites"), kind);
    rtopcombred->setObjectName(QStringLiteral("rtopcombred"));
    rtopcombred->adjustSize();
    rtopcombred->move(17, 9);
    rtopcombcomp = new QRadioButton(QStringLiteral("Combinaisons complêtes"), kind);
    rtopcombcomp->setObjectName(QStringLiteral("rtopcombcomp"));
    rtopcombcomp->adjustSize();
    rtopcombcomp->move(209, 9);
    rtopcombred->setChecked(true);

    gchevaux = makeGroup(
        panel, QStringLiteral("gchevaux"), QStringLiteral("Sélection des chevaux"), QRect(8, 140, 628, 102));
    for (int h = 1; h <= kMaxHorses; ++h) {
        const std::size_t column = std::size_t((h - 1) % 10);
        const bool secondRow = h > 10;
        QLabel *label = new QLabel(QString::number(h), gchevaux);
        label->adjustSize();
        label->move(kNumberRowLabelLeft[column], secondRow ? 59 : 11);
        setTag(label, 0);
        QComboBox *box = makeNumberBox(gchevaux, QStringLiteral("c%1").arg(h), h, 2);
        box->setGeometry(kNumberRowBoxLeft[column], secondRow ? 73 : 25, 47, 21);
        selectionBoxes[std::size_t(h - 1)] = box;
    }

    bvoirtick
        = makeButton(panel, QStringLiteral("bvoirtick"), QStringLiteral("Voir les tickets "), QRect(10, 250, 143, 44));
    bimprimetickets = makeButton(
        panel, QStringLiteral("bimprimetickets"), QStringLiteral("Imprimer les tickets"), QRect(159, 249, 146, 45));
    bgenerefichier = makeButton(
        panel, QStringLiteral("bgenerefichier"), QStringLiteral("Générer un fichier"), QRect(311, 250, 153, 44));
    bcompar = makeButton(
        panel, QStringLiteral("bcompar"), QStringLiteral("Comparer avec l'arrivée"), QRect(474, 250, 167, 44));
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
    // A flat button draws no focus frame: rather than be an invisible Tab stop, these two are
    // reached with the mouse only, like toolbar buttons.
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton2->setFocusPolicy(Qt::NoFocus);
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

    {
        const QSignalBlocker blocker(clistesystemes);
        clistesystemes->clear();
        clistesystemes->addItems(systemListItems());
        clistesystemes->setCurrentIndex(0);
        // The list may stand out past the box's right edge to show the longest description.
        QAbstractItemView *list = clistesystemes->view();
        list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth()
            + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list));
    }
    {
        const QSignalBlocker blocker(cnbchebase);
        cnbchebase->clear();
        cnbchebase->addItems({ QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3") });
        cnbchebase->setCurrentIndex(0);
    }
    fillNumberList(cnbchecomb, 20);
    fillNumberList(cnbchevaux, 20);
    fillNumberList(cnbchevauxprono, 20);
    fillNumberList(cnbchetick, 8);
    fillNumberList(cnbpronos, 200);

    setCountBox(cnbchevauxprono, state_.horsesPerForecast, 8);
    setCountBox(cnbchevaux, state_.horseCount, 20);
    fillTaggedNumberLists(gchevaux, 20);
    setCountBox(cnbpronos, state_.forecastCount, 5);
    refreshPointsBoxes();
    showBaseControls(0);
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

    connect(brengjeu, &QPushButton::clicked, this, &Tfprincip::brengjeuClick);
    connect(bchargejeu, &QPushButton::clicked, this, &Tfprincip::bchargejeuClick);
    connect(bouvrirtickets, &QPushButton::clicked, this, &Tfprincip::bouvrirticketsClick);
    connect(PageControl1, &QTabWidget::currentChanged, this, &Tfprincip::refreshSystemsPage);
    connect(clistesystemes, &QComboBox::currentIndexChanged, this, &Tfprincip::refreshSystemsPage);
    connect(cnbchecomb, &QComboBox::currentIndexChanged, this, &Tfprincip::refreshSystemsPage);
    connect(cnbchebase, &QComboBox::currentIndexChanged, this, &Tfprincip::cnbchebaseChange);
    connect(tperso, &OwnSystemTab::requestChanged, this, &Tfprincip::refreshSystemsPage);
    connect(conditionsBar, &ConditionsBar::conditionsChanged, this, &Tfprincip::showConditionedCount);
    for (QComboBox *box : selectionBoxes)
        connect(box, &QComboBox::editTextChanged, this, &Tfprincip::showConditionedCount);
    for (QComboBox *box : cposb)
        connect(box, &QComboBox::currentIndexChanged, this, &Tfprincip::refreshSystemsPage);
    connect(bvoirtick, &QPushButton::clicked, this, &Tfprincip::bvoirtickClick);
    connect(bimprimetickets, &QPushButton::clicked, this, &Tfprincip::bimprimeticketsClick);
    connect(bgenerefichier, &QPushButton::clicked, this, &Tfprincip::bgenerefichierClick);
    connect(bcompar, &QPushButton::clicked, this, &Tfprincip::bcomparClick);

    connect(binfos, &QToolButton::clicked, this, [this] { openModal(windows_.apropos); });
    connect(bparametre, &QPushButton::clicked, this, [this] { openModal(windows_.fparametre); });
    connect(baidegene, &QToolButton::clicked, this, [this] { openHelp(platform_); });
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { platform_.openInBrowser(raceResultsAddress()); });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { platform_.openInBrowser(bettingSitesAddress()); });
    connect(bquit, &QPushButton::clicked, this, &QWidget::close);
}

void Tfprincip::setCountBox(QComboBox *box, std::int32_t &count, int value)
{
    showText(box, QString::number(value));
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
    refreshSystemsPage();
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

void Tfprincip::refreshSystemsPage()
{
    int horses = 0;
    int bases = 0;
    if (PageControl1->currentWidget() == tsysreduit) {
        const int s = systemNumberOfItem(clistesystemes->currentText());
        if (s < 1 || s > kSystemCount)
            return;
        horses = reducedSystem(s).horseCount;
        bases = reducedSystem(s).baseCount;
    } else if (PageControl1->currentWidget() == tperso) {
        horses = tperso->horses();
        bases = tperso->bases();
    } else {
        horses = cnbchecomb->currentIndex() + 1;
        bases = cnbchebase->currentIndex();
    }
    showByTag(gchevaux, horses);
    colourByTag(gchevaux, bases);
    showConditionedCount();
}

void Tfprincip::showConditionedCount()
{
    const SystemsPage page = systemsPage();
    QString line;
    // Counted only for a request the page can make: its checks say what else is wrong.
    if ((page.reducedTab || page.ownTab) && !page.conditions.isEmpty() && checkTicketRequest(page).empty()) {
        const QLocale french(QLocale::French, QLocale::France);
        line = QStringLiteral("Avec les conditions : %1 tickets au lieu de %2. %3")
                   .arg(french.toString(qulonglong(requestTicketCount(page))),
                       french.toString(qulonglong(unconditionedTicketCount(page))), messages::guaranteeNotKept());
    }
    lsysconditions->setText(page.reducedTab ? line : QString());
    tperso->setConditionsLine(page.ownTab ? line : QString());
}

void Tfprincip::cnbchebaseChange()
{
    showBaseControls(cnbchebase->currentIndex());
    refreshSystemsPage();
}

// Base k starts at position k whenever the base count changes.
void Tfprincip::showBaseControls(int baseCount)
{
    showBasePositionBoxes(baseCount);
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker blocker(cposb[std::size_t(i)]);
        cposb[std::size_t(i)]->setCurrentIndex(i);
    }
}

void Tfprincip::showBasePositionBoxes(int baseCount)
{
    labpositionbasecombi->setVisible(baseCount >= 1);
    for (int i = 0; i < 3; ++i) {
        labposb[std::size_t(i)]->setVisible(baseCount >= i + 1);
        cposb[std::size_t(i)]->setVisible(baseCount >= i + 1);
    }
}

SystemsPage Tfprincip::systemsPage() const
{
    SystemsPage page;
    page.reducedTab = PageControl1->currentWidget() == tsysreduit;
    page.ownTab = PageControl1->currentWidget() == tperso;
    page.ownSystem = tperso->ownSystem();
    page.systemNumber = systemNumberOfItem(clistesystemes->currentText());
    page.generator.horsesToCombine = cnbchecomb->currentIndex() + 1;
    page.generator.horsesPerTicket = cnbchetick->currentIndex() + 1;
    page.generator.bases = readBaseSettings(
        cnbchebase->currentIndex(), { cposb[0]->currentIndex(), cposb[1]->currentIndex(), cposb[2]->currentIndex() });
    page.generator.reduced = rtopcombred->isChecked();
    for (std::size_t i = 0; i < page.boxes.size(); ++i)
        page.boxes[i] = selectionBoxes[i]->currentText();
    page.conditions = conditionsBar->conditions();
    return page;
}

void Tfprincip::applySystemsPage(const SystemsPage &page)
{
    {
        const QSignalBlocker tabs(PageControl1);
        const QSignalBlocker list(clistesystemes);
        const QSignalBlocker combine(cnbchecomb);
        const QSignalBlocker perTicket(cnbchetick);
        const QSignalBlocker baseCount(cnbchebase);
        if (page.reducedTab) {
            PageControl1->setCurrentWidget(tsysreduit);
            QStringList items;
            for (int i = 0; i < clistesystemes->count(); ++i)
                items.append(clistesystemes->itemText(i));
            clistesystemes->setCurrentIndex(systemItemIndex(items, page.systemNumber));
        } else if (page.ownTab) {
            PageControl1->setCurrentWidget(tperso);
            tperso->setOwnSystem(page.ownSystem);
        } else {
            PageControl1->setCurrentWidget(tcombi);
            // An index outside its list leaves the box without an item.
            auto pick = [](QComboBox *box, int index) {
                box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
            };
            pick(cnbchecomb, page.generator.horsesToCombine - 1);
            pick(cnbchetick, page.generator.horsesPerTicket - 1);
            pick(cnbchebase, page.generator.bases.baseCount);
            (page.generator.reduced ? rtopcombred : rtopcombcomp)->setChecked(true);
        }
    }
    conditionsBar->setConditions(page.conditions);
    // The positions stay as they were, but every base the tickets will place has its box on
    // screen.
    showBasePositionBoxes(cnbchebase->currentIndex());
    for (std::size_t i = 0; i < page.boxes.size(); ++i)
        showText(selectionBoxes[i], page.boxes[i]);
    refreshSystemsPage();
}

void Tfprincip::brengjeuClick()
{
    saveGame(state_, systemsPage(), platform_);
}

void Tfprincip::bchargejeuClick()
{
    if (const std::optional<SystemsPage> loaded = loadGame(state_, systemsPage(), platform_))
        applySystemsPage(*loaded);
}

void Tfprincip::bouvrirticketsClick()
{
    if (openTicketFile(state_, platform_))
        openModal(windows_.fresultatcomb);
}

void Tfprincip::useRanking(const std::vector<int> &horses)
{
    int used = 0;
    for (const QComboBox *box : selectionBoxes)
        used += box->isHidden() ? 0 : 1;
    QStringList passed;
    std::size_t next = 0;
    for (int i = 0; i < used; ++i) {
        // A selection holds horses 1..20: a ranked runner beyond cannot be played here.
        while (next < horses.size() && (horses[next] < 1 || horses[next] > kMaxHorses))
            passed.append(QString::number(horses[next++]));
        showText(selectionBoxes[std::size_t(i)], next < horses.size() ? QString::number(horses[next++]) : QString());
    }
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

void Tfprincip::bvoirtickClick()
{
    if (prepareTickets(state_, systemsPage(), TicketDestination::List, platform_))
        openModal(windows_.fresultatcomb);
}

void Tfprincip::bimprimeticketsClick()
{
    if (prepareTickets(state_, systemsPage(), TicketDestination::Print, platform_))
        openModal(windows_.fimprime);
}

void Tfprincip::bgenerefichierClick()
{
    prepareTickets(state_, systemsPage(), TicketDestination::File, platform_);
}

void Tfprincip::bcomparClick()
{
    if (prepareComparison(state_, systemsPage(), platform_))
        openModal(windows_.fcompare);
}

} // namespace mvx
