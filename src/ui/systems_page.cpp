#include "ui/systems_page.h"

#include "combi/catalogue.h"
#include "game/budget_note.h"
#include "game/game_file.h"
#include "game/open_ticket_file.h"
#include "game/ticket_request.h"
#include "ui/common_widgets.h"
#include "ui/conditions_bar.h"
#include "ui/formula_choice.h"
#include "ui/keyboard_access.h"
#include "ui/own_system_tab.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>

#include <algorithm>

namespace mvx {

using namespace mvx::ui;

namespace {

// The system list's items end in 200 blanks and the system's number, which the program reads
// back from the item text; the description is what comes before them.
QString systemDescription(QString item)
{
    qsizetype end = item.size();
    while (end > 0 && item[end - 1].isDigit())
        --end;
    while (end > 0 && item[end - 1] == QLatin1Char(' '))
        --end;
    item.truncate(end);
    return item;
}

// The list shows only the description, so that a long description is shown whole rather than
// cut short with "…" for the sake of blanks.
class SystemItemDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = systemDescription(option->text);
    }
};

} // namespace

SystemsPage::SystemsPage(GameState &state, Platform &platform, QWidget *parent)
    : QWidget(parent)
    , state_(state)
    , platform_(platform)
{
    setObjectName(QStringLiteral("tsysteme"));
    // The controls take the window's font as they are made, as they did when the page was built
    // in place.
    if (parent)
        setFont(parent->font());
    build();
    fillLists();
    connectEvents();
}

QStringList SystemsPage::takeRanking(const std::vector<int> &horses)
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
        showBoxText(selectionBoxes[std::size_t(i)], next < horses.size() ? QString::number(horses[next++]) : QString());
    }
    // The boxes were written without their signals: the conditions line follows them here.
    showConditionedCount();
    return passed;
}

void SystemsPage::setWindows(QDialog *ticketList, QDialog *slipPrint, QDialog *comparison)
{
    ticketList_ = ticketList;
    slipPrint_ = slipPrint;
    comparison_ = comparison;
}

void SystemsPage::openModal(QDialog *window)
{
    if (window)
        window->exec();
}

// The lists of the page: the catalogue, the generator's counts and the selection boxes.
void SystemsPage::fillLists()
{
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
    nameSystemBox();
    {
        const QSignalBlocker blocker(cnbchebase);
        cnbchebase->clear();
        cnbchebase->addItems({ QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3") });
        cnbchebase->setCurrentIndex(0);
    }
    fillNumberList(cnbchecomb, 20);
    fillNumberList(cnbchetick, 8);
    {
        const QSignalBlocker blocker(cpari);
        cpari->clear();
        bets_ = allBets();
        for (const Bet &bet : bets_)
            cpari->addItem(betName(bet));
        cpari->setCurrentIndex(0);
    }
    fillTaggedNumberLists(gchevaux, 20);
    showBaseControls(0);
}

void SystemsPage::connectEvents()
{
    connect(brengjeu, &QPushButton::clicked, this, &SystemsPage::brengjeuClick);
    connect(bchargejeu, &QPushButton::clicked, this, &SystemsPage::bchargejeuClick);
    connect(bouvrirtickets, &QPushButton::clicked, this, &SystemsPage::bouvrirticketsClick);
    connect(PageControl1, &QTabWidget::currentChanged, this, &SystemsPage::refreshSystemsPage);
    connect(clistesystemes, &QComboBox::currentIndexChanged, this, &SystemsPage::refreshSystemsPage);
    connect(cnbchecomb, &QComboBox::currentIndexChanged, this, &SystemsPage::refreshSystemsPage);
    connect(cnbchebase, &QComboBox::currentIndexChanged, this, &SystemsPage::cnbchebaseChange);
    connect(cnbchetick, &QComboBox::currentIndexChanged, this, &SystemsPage::refreshSystemsPage);
    connect(cpari, &QComboBox::currentIndexChanged, this, &SystemsPage::cpariChange);
    connect(formula_, &FormulaChoice::changed, this, &SystemsPage::formulaChange);
    connect(tperso, &OwnSystemTab::requestChanged, this, &SystemsPage::refreshSystemsPage);
    connect(conditionsBar, &ConditionsBar::conditionsChanged, this, &SystemsPage::showConditionedCount);
    connect(conditionsBar, &ConditionsBar::conditionsChanged, this, &SystemsPage::showFormula);
    for (QComboBox *box : selectionBoxes)
        connect(box, &QComboBox::editTextChanged, this, &SystemsPage::showConditionedCount);
    for (QComboBox *box : cposb)
        connect(box, &QComboBox::currentIndexChanged, this, &SystemsPage::refreshSystemsPage);
    connect(bvoirtick, &QPushButton::clicked, this, &SystemsPage::bvoirtickClick);
    connect(bimprimetickets, &QPushButton::clicked, this, &SystemsPage::bimprimeticketsClick);
    connect(bgenerefichier, &QPushButton::clicked, this, &SystemsPage::bgenerefichierClick);
    connect(bcompar, &QPushButton::clicked, this, &SystemsPage::bcomparClick);
}

void SystemsPage::build()
{
    QWidget *page = this;
    brengjeu = makeButton(page, QStringLiteral("brengjeu"), QStringLiteral("Enregistrer le jeu"), QRect(5, 3, 123, 37));
    brengjeu->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    bchargejeu
        = makeButton(page, QStringLiteral("bchargejeu"), QStringLiteral("Charger un jeu"), QRect(133, 3, 123, 37));
    bchargejeu->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    bouvrirtickets = makeButton(
        page, QStringLiteral("bouvrirtickets"), QStringLiteral("Ouvrir un fichier de tickets"), QRect(261, 3, 190, 37));
    bouvrirtickets->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    conditionsBar = new ConditionsBar(
        state_, platform_, [this] { return requestHorsesPerTicket(recipe()); }, page);
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
    // The bet, above whatever tab makes the tickets: the generator's ticket size follows it.
    auto *betCorner = new QWidget(PageControl1);
    auto *betRow = new QHBoxLayout(betCorner);
    betRow->setContentsMargins(0, 0, 4, 2);
    QLabel *lpari = new QLabel(QStringLiteral("Pari"), betCorner);
    lpari->setObjectName(QStringLiteral("lpari"));
    // Placed by the corner's layout rather than by its rectangle.
    cpari = makePickList(betCorner, QStringLiteral("cpari"), QRect());
    cpari->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lpari->setBuddy(cpari);
    betRow->addWidget(lpari);
    betRow->addWidget(cpari);
    PageControl1->setCornerWidget(betCorner, Qt::TopRightCorner);

    QGroupBox *choice
        = makeGroup(tsysreduit, QStringLiteral("GroupBox4"), QStringLiteral("Choix du système"), QRect(2, 8, 639, 45));
    clistesystemes = makePickList(choice, QStringLiteral("clistesystemes"), QRect(6, 16, 627, 21));
    // A scrolling list under the box rather than a menu over the whole screen.
    clistesystemes->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    clistesystemes->setMaxVisibleItems(16);
    clistesystemes->view()->setItemDelegate(new SystemItemDelegate(clistesystemes->view()));
    clistesystemes->setAccessibleDescription(choice->title());
    lsysconditions = new ResultText(QStringLiteral("Tickets du système"), tsysreduit);
    lsysconditions->setObjectName(QStringLiteral("lsysconditions"));
    lsysconditions->setGeometry(8, 58, 633, 40);
    lsysconditions->setWordWrap(true);

    makeLabel(tcombi, QStringLiteral("Label1"), QStringLiteral("Nombre de chevaux à combiner"), 4, 5);
    cnbchecomb = makePickList(tcombi, QStringLiteral("cnbchecomb"), QRect(162, 2, 71, 21));
    nameBox(cnbchecomb, QStringLiteral("Nombre de chevaux à combiner"));
    makeLabel(tcombi, QStringLiteral("Label2"),
        QStringLiteral("Nombre de chevaux par ticket (5 : quinte , 4 quarte , 3 tierce , 2 couplé )"), 244, 2);
    cnbchetick = makePickList(tcombi, QStringLiteral("cnbchetick"), QRect(348, 17, 119, 21));
    nameBox(cnbchetick, QStringLiteral("Nombre de chevaux par ticket"));
    nameBox(cpari, QStringLiteral("Pari"));
    makeLabel(tcombi, QStringLiteral("Label3"), QStringLiteral("Nombre de base "), 8, 45);
    cnbchebase = makePickList(tcombi, QStringLiteral("cnbchebase"), QRect(90, 42, 71, 21));
    nameBox(cnbchebase, QStringLiteral("Nombre de base"));

    const char *positionLabels[] = { "Position  Base 1 ", "Base 2", "Base 3" };
    const int labelLeft[] = { 170, 338, 466 };
    const int boxLeft[] = { 266, 394, 514 };
    for (int i = 0; i < 3; ++i) {
        labposb[std::size_t(i)] = makeLabel(
            tcombi, QStringLiteral("labposb%1").arg(i + 1), QString::fromLatin1(positionLabels[i]), labelLeft[i], 45);
        QComboBox *box = makePickList(tcombi, QStringLiteral("cposb%1").arg(i + 1), QRect(boxLeft[i], 42, 71, 21));
        for (int position = 1; position <= 5; ++position)
            box->addItem(QString::number(position));
        nameBox(box, QStringLiteral("Position base %1").arg(i + 1));
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
    gordre = kind;
    formula_ = new FormulaChoice(tcombi);
    // The formula comes after the generator's own choices when going round with Tab.
    QWidget::setTabOrder(rtopcombcomp, formula_->formulaBox());
    QWidget::setTabOrder(formula_->formulaBox(), formula_->runnersBox());

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
        nameNumberedBox(box, gchevaux->title(), h);
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

    // While the page is shown (the keys press a button only when it is on screen).
    addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_S), brengjeu);
    addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_O), bchargejeu);
}

// A screen reader speaks the chosen system by its description, without the blanks and number.
void SystemsPage::nameSystemBox()
{
    nameBox(clistesystemes, systemDescription(clistesystemes->currentText()).trimmed());
}

void SystemsPage::refreshSystemsPage()
{
    nameSystemBox();
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
    } else if (const std::optional<BetFormula> formula = shownFormula()) {
        // A champ total shows only its bases: the other runners are its associates.
        horses = formula->kind == BetFormula::Kind::TotalField ? formula->bases : formulaHorses(*formula);
        bases = formula->bases;
    } else {
        horses = cnbchecomb->currentIndex() + 1;
        bases = cnbchebase->currentIndex();
    }
    betFollowsTicketSize();
    showFormula();
    showByTag(gchevaux, horses);
    colourByTag(gchevaux, bases);
    showConditionedCount();
}

void SystemsPage::showConditionedCount()
{
    const TicketRecipe page = recipe();
    QString line;
    // Counted only for a request the page can make: its checks say what else is wrong.
    if (page.fromTable() && !page.conditions.isEmpty() && checkTicketRequest(page).empty()) {
        const QLocale french(QLocale::French, QLocale::France);
        const std::uint64_t kept = requestTicketCount(page);
        const std::uint64_t all = unconditionedTicketCount(page);
        line = QStringLiteral("Avec les conditions : %1 tickets au lieu de %2.")
                   .arg(french.toString(qulonglong(kept)), french.toString(qulonglong(all)));
        // The guarantee goes only with a ticket the conditions took away.
        if (kept < all)
            line += QLatin1Char(' ') + messages::guaranteeNotKept();
    }
    // The month's budget against the system's tickets, when the punter keeps one.
    if (page.fromTable() && checkTicketRequest(page).empty()) {
        const QString budget
            = budgetNoteFor(state_, recipeBet(page), std::int64_t(requestTicketCount(page)), QLatin1Char('\n'));
        if (!budget.isEmpty())
            line = line.isEmpty() ? budget : line + QLatin1Char('\n') + budget;
    }
    lsysconditions->setText(page.source == TicketSource::CatalogueSystem ? line : QString());
    tperso->setConditionsLine(page.source == TicketSource::OwnSystem ? line : QString());
}

Bet SystemsPage::shownBet() const
{
    const int index = cpari->currentIndex();
    return index >= 0 && std::size_t(index) < bets_.size() ? bets_[std::size_t(index)] : Bet {};
}

void SystemsPage::showBet(Bet bet)
{
    const auto found = std::find(bets_.begin(), bets_.end(), bet);
    if (found == bets_.end())
        return;
    {
        const QSignalBlocker blocker(cpari);
        cpari->setCurrentIndex(int(found - bets_.begin()));
    }
    showBetOrder();
    // The own-system tab offers the promises of the bet shown.
    tperso->setBet(bet);
}

// The bets of old let the punter choose combinations or every order; the others decide.
void SystemsPage::showBetOrder()
{
    const Bet bet = shownBet();
    if (!isClassicBet(bet))
        (isOrdered(bet) ? rtopcombcomp : rtopcombred)->setChecked(true);
    rtopcombred->setEnabled(isClassicBet(bet));
    rtopcombcomp->setEnabled(isClassicBet(bet));
}

void SystemsPage::betFollowsTicketSize()
{
    TicketRecipe page = recipe();
    page.bet.reset();
    const int size = requestHorsesPerTicket(page);
    const Bet shown = shownBet();
    if (size == horsesPerTicket(shown))
        return;
    // The Multi and the Mini Multi stay themselves in another of their sizes.
    const Bet resized { shown.kind, std::int8_t(size) };
    if (const std::optional<Bet> bet = isValidBet(resized) ? resized : betForTickets(shown, size)) {
        showBet(*bet);
        betPicked_ = false;
    }
}

// The generator's ticket size follows the bet chosen, and a bet of the operator other than the
// four of old makes arrangements when its order counts, combinations when it does not.
void SystemsPage::cpariChange()
{
    const Bet bet = shownBet();
    betPicked_ = true;
    if (PageControl1->currentWidget() == tcombi) {
        const QSignalBlocker blocker(cnbchetick);
        cnbchetick->setCurrentIndex(horsesPerTicket(bet) - 1);
    }
    showBetOrder();
    tperso->setBet(bet);
    formula_->offerFor(bet);
    // On the generator's tab the boxes shown follow a formula the bet no longer has.
    if (PageControl1->currentWidget() == tcombi) {
        refreshSystemsPage();
        return;
    }
    showFormula();
    showConditionedCount();
}

void SystemsPage::formulaChange()
{
    const std::optional<BetFormula::Kind> kind = formula_->kind();
    // A champ has at least one base: the generator's count of bases starts it at one.
    if (kind && *kind != BetFormula::Kind::Combined && cnbchebase->currentIndex() < 1)
        cnbchebase->setCurrentIndex(1);
    refreshSystemsPage();
}

std::optional<BetFormula> SystemsPage::shownFormula() const
{
    const std::optional<BetFormula::Kind> kind = formula_->kind();
    if (!kind || PageControl1->currentWidget() != tcombi)
        return std::nullopt;
    BetFormula formula;
    formula.bet = shownBet();
    formula.kind = *kind;
    // The bases are taken as the generator takes them: their count, then the first boxes.
    formula.bases = *kind == BetFormula::Kind::Combined ? 0 : cnbchebase->currentIndex();
    formula.chosen = cnbchecomb->currentIndex() + 1 - formula.bases;
    formula.runners = *kind == BetFormula::Kind::TotalField ? formula_->runners() : 0;
    return formula;
}

void SystemsPage::showFormula()
{
    const std::optional<BetFormula> formula = shownFormula();
    const bool generator = !formula;
    // The formula decides the ticket size and the order; a champ total, the horses combined.
    gordre->setVisible(generator);
    cnbchetick->setEnabled(generator);
    cnbchecomb->setEnabled(generator || formula->kind != BetFormula::Kind::TotalField);
    cnbchebase->setEnabled(generator || formula->kind != BetFormula::Kind::Combined);
    formula_->showRunnersBox(formula && formula->kind == BetFormula::Kind::TotalField);
    if (generator) {
        formula_->showLine(QString());
        return;
    }
    if (const std::optional<Message> refused = checkBetFormula(*formula)) {
        formula_->showLine(refused->text);
        return;
    }
    // Counted by its closed formula, at once whatever its size; the conditions, which need every
    // ticket judged, are counted by the question asked before the tickets are made.
    const std::uint64_t count = formulaTicketCount(*formula);
    const QString cost = costLineWithBudget(state_, formula->bet, std::int64_t(count), QLatin1Char('\n'));
    const QLocale french(QLocale::French, QLocale::France);
    QString line = cost.isEmpty() ? QStringLiteral("%1 tickets").arg(french.toString(qulonglong(count))) : cost;
    if (!conditionsBar->conditions().isEmpty())
        line += QStringLiteral(" (avant les conditions)");
    formula_->showLine(line);
}

bool SystemsPage::formulaPlayable()
{
    const std::optional<BetFormula> formula = shownFormula();
    if (!formula)
        return true;
    std::optional<Message> refused = checkBetFormula(*formula);
    SelectionBoxes boxes;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i] = selectionBoxes[i]->currentText();
    if (!refused)
        refused = fillTotalField(*formula, boxes);
    if (refused)
        platform_.inform(refused->text, refused->title);
    return !refused;
}

void SystemsPage::cnbchebaseChange()
{
    showBaseControls(cnbchebase->currentIndex());
    refreshSystemsPage();
}

// Base k starts at position k whenever the base count changes.
void SystemsPage::showBaseControls(int baseCount)
{
    showBasePositionBoxes(baseCount);
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker blocker(cposb[std::size_t(i)]);
        cposb[std::size_t(i)]->setCurrentIndex(i);
    }
}

void SystemsPage::showBasePositionBoxes(int baseCount)
{
    labpositionbasecombi->setVisible(baseCount >= 1);
    for (int i = 0; i < 3; ++i) {
        labposb[std::size_t(i)]->setVisible(baseCount >= i + 1);
        cposb[std::size_t(i)]->setVisible(baseCount >= i + 1);
    }
}

TicketRecipe SystemsPage::recipe() const
{
    TicketRecipe page;
    page.source = PageControl1->currentWidget() == tsysreduit ? TicketSource::CatalogueSystem
        : PageControl1->currentWidget() == tperso             ? TicketSource::OwnSystem
                                                              : TicketSource::Generator;
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
    // A formula is the generator set as the formula says, the bases at the positions chosen.
    if (const std::optional<BetFormula> formula = shownFormula()) {
        const std::array<int, 3> positions = page.generator.bases.positions;
        page.generator = formulaGenerator(*formula);
        page.generator.bases.positions = positions;
        page.bet = formula->bet;
        fillTotalField(*formula, page.boxes);
        return page;
    }
    // A bet the page followed to has the tickets' size; one the punter picked goes as it is, so
    // that tickets of another size are refused rather than played as another bet.
    const Bet bet = shownBet();
    if (betPicked_ || requestHorsesPerTicket(page) == horsesPerTicket(bet))
        page.bet = bet;
    return page;
}

void SystemsPage::applyRecipe(const TicketRecipe &page)
{
    {
        const QSignalBlocker tabs(PageControl1);
        const QSignalBlocker list(clistesystemes);
        const QSignalBlocker combine(cnbchecomb);
        const QSignalBlocker perTicket(cnbchetick);
        const QSignalBlocker baseCount(cnbchebase);
        if (page.source == TicketSource::CatalogueSystem) {
            PageControl1->setCurrentWidget(tsysreduit);
            QStringList items;
            for (int i = 0; i < clistesystemes->count(); ++i)
                items.append(clistesystemes->itemText(i));
            clistesystemes->setCurrentIndex(systemItemIndex(items, page.systemNumber));
        } else if (page.source == TicketSource::OwnSystem) {
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
    // A game keeps the generator's settings a formula made, and opens as the generator.
    formula_->showGenerator();
    // A game without a bet of its own is played as the bet its ticket size gives.
    {
        TicketRecipe sized = page;
        sized.bet.reset();
        if (const std::optional<Bet> bet = page.bet ? page.bet : betForTickets(Bet {}, requestHorsesPerTicket(sized)))
            showBet(*bet);
        betPicked_ = false;
    }
    // The positions stay as they were, but every base the tickets will place has its box on
    // screen.
    showBasePositionBoxes(cnbchebase->currentIndex());
    for (std::size_t i = 0; i < page.boxes.size(); ++i)
        showBoxText(selectionBoxes[i], page.boxes[i]);
    refreshSystemsPage();
}

void SystemsPage::brengjeuClick()
{
    saveGame(state_, recipe(), platform_);
}

void SystemsPage::bchargejeuClick()
{
    if (const std::optional<TicketRecipe> loaded = loadGame(state_, recipe(), platform_))
        applyRecipe(*loaded);
}

void SystemsPage::bouvrirticketsClick()
{
    if (openTicketFile(state_, platform_))
        openModal(ticketList_);
}

void SystemsPage::bvoirtickClick()
{
    if (!formulaPlayable())
        return;
    if (prepareTickets(state_, recipe(), TicketDestination::List, platform_))
        openModal(ticketList_);
}

void SystemsPage::bimprimeticketsClick()
{
    if (!formulaPlayable())
        return;
    if (prepareTickets(state_, recipe(), TicketDestination::Print, platform_))
        openModal(slipPrint_);
}

void SystemsPage::bgenerefichierClick()
{
    if (!formulaPlayable())
        return;
    prepareTickets(state_, recipe(), TicketDestination::File, platform_);
}

void SystemsPage::bcomparClick()
{
    if (!formulaPlayable())
        return;
    if (prepareComparison(state_, recipe(), platform_))
        openModal(comparison_);
}

} // namespace mvx
