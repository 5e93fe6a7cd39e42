#include "ui/own_system_tab.h"

#include "combi/bet_promise.h"
#include "combi/own_library.h"
#include "model/work_progress.h"
#include "ui/common_widgets.h"
#include "ui/keyboard_access.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

namespace mvx {

using namespace mvx::ui;

namespace {

// The lists of the request: horses to combine 3..20, horses per ticket 2..7, bases 0..3.
constexpr int kFewestHorses = 3;
constexpr int kFewestPerTicket = 2;
constexpr int kMostPerTicket = kMostPerOwnTicket;
constexpr int kMostBases = 3;

// A guarantee's item in its list: T for a promise about the first T, 100 M + T for one about the
// first M > T.
int promiseKey(int guarantee, int among)
{
    return among > guarantee ? 100 * among + guarantee : guarantee;
}

int promiseKey(const SystemRequest &request)
{
    return promiseKey(request.guarantee, promiseSize(request));
}

// The request the tab shows before the punter changes it: ten horses, the quinté, bonus 4.
constexpr SystemRequest kFirstRequest { 10, 5, 0, 4 };

void fillRange(QComboBox *box, int first, int last)
{
    for (int value = first; value <= last; ++value)
        box->addItem(QString::number(value), value);
}

void pick(QComboBox *box, int value)
{
    box->setCurrentIndex(std::max(box->findData(value), 0));
}

// The right edge of a control and the gap before the next one.
int after(const QWidget *widget, int gap = 6)
{
    return widget->geometry().right() + 1 + gap;
}

} // namespace

OwnSystemTab::OwnSystemTab(Platform &platform, QWidget *parent)
    : QWidget(parent)
    , platform_(platform)
{
    setObjectName(QStringLiteral("tperso"));

    QLabel *horsesLabel
        = makeLabel(this, QStringLiteral("labpersochevaux"), QStringLiteral("Chevaux à combiner"), 6, 9);
    cpersochevaux = makePickList(this, QStringLiteral("cpersochevaux"), QRect(after(horsesLabel), 6, 50, 21));
    QLabel *perTicketLabel = makeLabel(
        this, QStringLiteral("labpersoticket"), QStringLiteral("Chevaux par ticket"), after(cpersochevaux, 16), 9);
    cpersoticket = makePickList(this, QStringLiteral("cpersoticket"), QRect(after(perTicketLabel), 6, 110, 21));
    QLabel *basesLabel
        = makeLabel(this, QStringLiteral("labpersobase"), QStringLiteral("Bases"), after(cpersoticket, 16), 9);
    cpersobase = makePickList(this, QStringLiteral("cpersobase"), QRect(after(basesLabel), 6, 50, 21));
    // The guarantee's line ends with the share of the arrivals it is kept for.
    QLabel *guaranteeLabel = makeLabel(this, QStringLiteral("labpersogarantie"), QStringLiteral("Garantie"), 6, 37);
    const int guaranteeLeft = after(guaranteeLabel);
    cpersogarantie = makePickList(this, QStringLiteral("cpersogarantie"), QRect(guaranteeLeft, 34, 0, 21));
    QLabel *shareLabel = makeLabel(this, QStringLiteral("labpersopart"), QStringLiteral("Garantie pour"), 0, 37);
    cpersopart = makePickList(this, QStringLiteral("cpersopart"), QRect(638 - 70, 34, 70, 21));
    for (int share : kShareChoices)
        cpersopart->addItem(QStringLiteral("%1 %").arg(share), share);
    shareLabel->move(cpersopart->x() - 6 - shareLabel->width(), 37);
    cpersogarantie->setGeometry(guaranteeLeft, 34, shareLabel->x() - 12 - guaranteeLeft, 21);

    // A screen reader names each list by the caption before it.
    nameBox(cpersochevaux, horsesLabel->text());
    nameBox(cpersoticket, perTicketLabel->text());
    nameBox(cpersobase, basesLabel->text());
    nameBox(cpersogarantie, guaranteeLabel->text());
    nameBox(cpersopart, shareLabel->text());

    bchercher = makeButton(this, QStringLiteral("bchercher"), QStringLiteral("Chercher"), QRect(6, 61, 105, 33));
    lpersoresultat = new ResultText(QStringLiteral("Système trouvé"), this);
    lpersoresultat->setObjectName(QStringLiteral("lpersoresultat"));
    lpersoresultat->setGeometry(after(bchercher, 8), 61, 638 - after(bchercher, 8), 33);
    lpersoresultat->setWordWrap(true);
    lpersoresultat->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    fillRange(cpersochevaux, kFewestHorses, kMaxHorses);
    for (int k = kFewestPerTicket; k <= kMostPerTicket; ++k)
        cpersoticket->addItem(QString::number(k), k);
    nameTicketSizes();
    fillRange(cpersobase, 0, kMostBases);
    pick(cpersochevaux, kFirstRequest.horses);
    pick(cpersoticket, kFirstRequest.perTicket);
    pick(cpersobase, kFirstRequest.bases);
    fillGuarantees(kFirstRequest.guarantee);
    system_ = systemOnScreen();
    showTable();

    // Another count of horses or of bases keeps the guarantee where it can; another bet starts
    // from its usual one, the first k - 1 finishers.
    for (QComboBox *box : { cpersochevaux, cpersobase })
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            fillGuarantees(cpersogarantie->currentData().toInt());
            requestEdited();
        });
    connect(cpersoticket, &QComboBox::currentIndexChanged, this, [this] {
        fillGuarantees(0);
        requestEdited();
    });
    connect(cpersogarantie, &QComboBox::currentIndexChanged, this, &OwnSystemTab::requestEdited);
    connect(cpersopart, &QComboBox::currentIndexChanged, this, &OwnSystemTab::requestEdited);
    connect(bchercher, &QPushButton::clicked, this, &OwnSystemTab::bchercherClick);
}

int OwnSystemTab::horses() const
{
    return cpersochevaux->currentData().toInt();
}

int OwnSystemTab::bases() const
{
    return cpersobase->currentData().toInt();
}

int OwnSystemTab::sharePercent() const
{
    return cpersopart->currentData().toInt();
}

SystemRequest OwnSystemTab::requestOnScreen() const
{
    const int key = cpersogarantie->currentData().toInt();
    SystemRequest request { horses(), cpersoticket->currentData().toInt(), bases(), key % 100 };
    if (key >= 100)
        request.among = key / 100;
    return request;
}

// The Multi and the Mini Multi stay themselves in another of their sizes, as on the page.
std::optional<Bet> betOfSize(Bet chosen, int k)
{
    const Bet resized { chosen.kind, std::int8_t(k) };
    return isValidBet(resized) ? std::optional<Bet>(resized) : betForTickets(chosen, k);
}

std::optional<Bet> OwnSystemTab::betOnScreen() const
{
    return betOfSize(bet_, cpersoticket->currentData().toInt());
}

void OwnSystemTab::setBet(Bet bet)
{
    if (bet == bet_)
        return;
    const SystemRequest before = requestOnScreen();
    bet_ = bet;
    nameTicketSizes();
    fillGuarantees(promiseKey(before));
    // Another bet may offer other promises: the table goes only when the request changed.
    const SystemRequest after = requestOnScreen();
    if (after.guarantee != before.guarantee || promiseSize(after) != promiseSize(before))
        requestEdited();
}

// Each count of horses per ticket with the bet it plays ("6 : Multi en 6").
void OwnSystemTab::nameTicketSizes()
{
    for (int i = 0; i < cpersoticket->count(); ++i) {
        const int k = cpersoticket->itemData(i).toInt();
        const std::optional<Bet> bet = betOfSize(bet_, k);
        cpersoticket->setItemText(i, bet ? QStringLiteral("%1 : %2").arg(k).arg(betName(*bet)) : QString::number(k));
    }
}

// The promises the bet on screen offers with the other three choices, in its words, keeping
// `keep` (a promise key) when it is still one of them, else the bet's usual promise. A ticket
// size no bet serves with a promise of its own offers the first T, from the bases + 1 to k.
void OwnSystemTab::fillGuarantees(int keep)
{
    const QSignalBlocker blocker(cpersogarantie);
    const int n = horses();
    const int k = cpersoticket->currentData().toInt();
    const int b = bases();
    const std::optional<Bet> bet = betOnScreen();
    std::vector<SystemRequest> offered;
    if (bet) {
        for (const BetPromise &promise : betPromises(*bet, b))
            offered.push_back(SystemRequest { n, k, b, promise.guarantee, promise.among });
    }
    if (offered.empty()) {
        for (int t = b + 1; t <= k; ++t)
            offered.push_back(SystemRequest { n, k, b, t });
        // T = k - 1 first, as it always was.
        std::stable_partition(
            offered.begin(), offered.end(), [k](const SystemRequest &r) { return r.guarantee == k - 1; });
    }
    cpersogarantie->clear();
    for (const SystemRequest &request : offered) {
        if (!ownRequestRefusal(request).isEmpty())
            continue;
        const QString text = bet ? betPromiseText(*bet, request) : guaranteeText(request);
        cpersogarantie->addItem(text, promiseKey(request));
    }
    const int kept = cpersogarantie->findData(keep);
    cpersogarantie->setCurrentIndex(kept >= 0 ? kept : (cpersogarantie->count() > 0 ? 0 : -1));
    cpersogarantie->setEnabled(cpersogarantie->count() > 0);
}

OwnSystem OwnSystemTab::systemOnScreen() const
{
    OwnSystem system { requestOnScreen(), {}, OwnTableOrigin::Searched };
    system.sharePercent = sharePercent();
    // The library answers the full guarantee at once (or the catalogue, when it does no worse).
    if (system.sharePercent >= 100 && ownRequestRefusal(system.request).isEmpty() && libraryTable(system.request))
        system = readyOwnSystem(system.request);
    return system;
}

void OwnSystemTab::requestEdited()
{
    system_ = systemOnScreen();
    showTable();
    Q_EMIT requestChanged();
}

void OwnSystemTab::showTable()
{
    // With no table the line says what stands in the way of a search, if anything does.
    QString text = system_.hasTable() ? ownSystemResultText(system_) : ownRequestRefusal(system_.request);
    if (system_.hasTable() && !conditionsLine_.isEmpty())
        text += QLatin1Char('\n') + conditionsLine_;
    lpersoresultat->setText(text);
    // Beside "Chercher", where the tickets found fit; with the month's budget and its overrun,
    // each on a line of its own, the text takes the room down to the tab's edge.
    const QRect beside(lpersoresultat->x(), 61, lpersoresultat->width(), 33);
    lpersoresultat->setGeometry(text.contains(QLatin1Char('\n')) ? beside.adjusted(0, -6, 0, 6) : beside);
}

void OwnSystemTab::setConditionsLine(const QString &line)
{
    conditionsLine_ = line;
    showTable();
}

void OwnSystemTab::setOwnSystem(const OwnSystem &system)
{
    {
        const QSignalBlocker horses(cpersochevaux);
        const QSignalBlocker perTicket(cpersoticket);
        const QSignalBlocker baseCount(cpersobase);
        const QSignalBlocker share(cpersopart);
        pick(cpersopart, system.sharePercent);
        pick(cpersochevaux, system.request.horses);
        pick(cpersoticket, system.request.perTicket);
        pick(cpersobase, system.request.bases);
        fillGuarantees(promiseKey(system.request));
        // A promise saved with another bet than the one on screen is still the game's: it is
        // offered beside the bet's own, in the plain words.
        if (cpersogarantie->findData(promiseKey(system.request)) < 0
            && system.request.horses == cpersochevaux->currentData().toInt()
            && system.request.perTicket == cpersoticket->currentData().toInt()
            && system.request.bases == cpersobase->currentData().toInt()
            && ownRequestRefusal(system.request).isEmpty()) {
            const QSignalBlocker promise(cpersogarantie);
            cpersogarantie->addItem(guaranteeText(system.request), promiseKey(system.request));
            cpersogarantie->setCurrentIndex(cpersogarantie->count() - 1);
            cpersogarantie->setEnabled(true);
        }
    }
    // A request the lists cannot show is not kept, nor its table: the tab shows what it holds.
    const SystemRequest shown = requestOnScreen();
    const SystemRequest &given = system.request;
    const bool same = shown.horses == given.horses && shown.perTicket == given.perTicket && shown.bases == given.bases
        && shown.guarantee == given.guarantee && promiseSize(shown) == promiseSize(given)
        && sharePercent() == system.sharePercent;
    if (same) {
        system_ = system;
    } else {
        system_ = OwnSystem { shown, {}, OwnTableOrigin::Searched };
        system_.sharePercent = sharePercent();
    }
    showTable();
}

void OwnSystemTab::bchercherClick()
{
    const SystemRequest request = requestOnScreen();
    if (const QString refusal = ownRequestRefusal(request); !refusal.isEmpty()) {
        platform_.inform(refusal, QStringLiteral("Opération impossible"));
        return;
    }
    const WaitCursor wait(platform_);
    WorkProgress progress(std::uint64_t(ownSystemMoveBudget(request)));
    OwnSystem found;
    platform_.runLongWork(QStringLiteral("Recherche d'un système de %1 chevaux, %2 par ticket...")
                              .arg(request.horses)
                              .arg(request.perTicket),
        progress, [&] { found = findOwnSystem(request, sharePercent(), progress); });
    if (!found.hasTable()) {
        platform_.inform(QStringLiteral("Aucune table trouvée n'a tenu la garantie."), QStringLiteral("Problème !!"));
        return;
    }
    system_ = std::move(found);
    showTable();
    // The page counts the found table's tickets again: the budget note follows at once.
    Q_EMIT requestChanged();
}

} // namespace mvx
