// The operator's formulas on the generator's tab: the count and cost before the tickets are made,
// and the tickets made through the page's usual request.

#include "combi/bet_formulas.h"
#include "combi/game_cost.h"
#include "combi/generation.h"
#include "combi/ticket_recipe.h"
#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/common_widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

using mvx::Bet;
using mvx::BetFormula;
using mvx::testing::ScriptedPlatform;
using Tickets = std::vector<std::vector<int>>;

class BetFormulaTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aPartialFieldOfTwoOfFourIsCountedCostedAndMade();
    void aTotalFieldNeedsTheRunnersAndTakesTheOthers();
};

namespace {

template <typename T = QWidget> T *child(QWidget &w, const QString &name)
{
    T *found = w.findChild<T *>(name);
    if (!found)
        qFatal("no control named %s", qPrintable(name));
    return found;
}

// Every ticket, its horses sorted: the bets here are played without order.
Tickets sortedTickets(const mvx::Selection &selection, const mvx::TicketList &list)
{
    Tickets tickets;
    for (std::int64_t t = 1; t <= list.count(); ++t) {
        std::vector<int> horses;
        for (int p = 1; p <= list.horsesPerTicket(); ++p)
            horses.push_back(mvx::ticketHorse(selection, list.layout(), list.ticket(t), p));
        std::sort(horses.begin(), horses.end());
        tickets.push_back(horses);
    }
    std::sort(tickets.begin(), tickets.end());
    return tickets;
}

struct Page
{
    QTemporaryDir folder;
    ScriptedPlatform platform;
    std::unique_ptr<mvx::Application> app;
    QWidget *main = nullptr;

    Page()
    {
        platform.folder = folder.path() + QLatin1Char('/');
        app = std::make_unique<mvx::Application>(platform);
        app->show();
        main = &app->mainWindow();
        child<QTabWidget>(*main, QStringLiteral("PageControl1"))
            ->setCurrentWidget(child(*main, QStringLiteral("tcombi")));
    }
    QComboBox *box(const QString &name) const { return child<QComboBox>(*main, name); }
    void pick(const QString &name, const QString &text) const
    {
        QComboBox *list = box(name);
        const int index = list->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        list->setCurrentIndex(index);
    }
    QString line() const { return child<mvx::ui::ResultText>(*main, QStringLiteral("lformuletickets"))->text(); }
    // "Voir les tickets", the count confirmed, the list window closed as it opens.
    void seeTickets()
    {
        platform.answers = { mvx::Platform::Answer::Yes };
        QTimer::singleShot(0, main, [] {
            if (QWidget *list = QApplication::activeModalWidget())
                list->close();
        });
        QTest::mouseClick(child<QPushButton>(*main, QStringLiteral("bvoirtick")), Qt::LeftButton);
    }
};

} // namespace

void BetFormulaTest::aPartialFieldOfTwoOfFourIsCountedCostedAndMade()
{
    Page page;
    page.pick(QStringLiteral("cpari"), QStringLiteral("2sur4"));
    page.pick(QStringLiteral("cformule"), QStringLiteral("champ partiel"));
    QVERIFY(child(*page.main, QStringLiteral("cformule"))->isVisible());
    QCOMPARE(child(*page.main, QStringLiteral("cformule"))->accessibleName(), QStringLiteral("Formule"));
    // A champ starts with one base; the runners are only a champ total's.
    QCOMPARE(page.box(QStringLiteral("cnbchebase"))->currentText(), QStringLiteral("1"));
    QVERIFY(!page.box(QStringLiteral("cpartants"))->isVisible());
    page.pick(QStringLiteral("cnbchecomb"), QStringLiteral("5"));
    const QStringList horses { "7", "3", "9", "12", "15" };
    for (int i = 0; i < horses.size(); ++i)
        page.box(QStringLiteral("c%1").arg(i + 1))->setEditText(horses[i]);

    // The base with each of the four others.
    const Bet twoOfFour { Bet::Kind::TwoOfFour, 2 };
    const QString cost = mvx::frenchCostLine(page.app->state().stakes, twoOfFour, 4);
    QVERIFY(cost.contains(QStringLiteral("4 tickets")));
    QCOMPARE(page.line(), cost);
    QVERIFY(child(*page.main, QStringLiteral("lformuletickets"))->isVisible());

    page.seeTickets();
    QCOMPARE(page.platform.messages.size(), std::size_t(1));
    QVERIFY2(page.platform.messages[0].text.contains(cost), qPrintable(page.platform.messages[0].text));
    QCOMPARE(page.app->state().bet, twoOfFour);

    // The same tickets as the formula made by the core on these horses.
    BetFormula formula { twoOfFour, BetFormula::Kind::PartialField, 1, 4, 0 };
    mvx::TicketRecipe recipe;
    recipe.source = mvx::TicketSource::Generator;
    recipe.generator = mvx::formulaGenerator(formula);
    recipe.bet = twoOfFour;
    for (int i = 0; i < horses.size(); ++i)
        recipe.boxes[std::size_t(i)] = horses[i];
    mvx::Selection selection;
    mvx::MemoryTicketSink sink;
    mvx::generateTickets(selection, recipe, sink, nullptr);
    const Tickets made = sortedTickets(page.app->state().selection, page.app->state().tickets);
    QCOMPARE(made, sortedTickets(selection, sink.takeList()));
    QCOMPARE(made, (Tickets { { 3, 7 }, { 7, 9 }, { 7, 12 }, { 7, 15 } }));

    // Back to the generator: its own controls and look return.
    page.pick(QStringLiteral("cformule"), QStringLiteral("générateur"));
    QVERIFY(child(*page.main, QStringLiteral("GroupBox5"))->isVisible());
    QVERIFY(!child(*page.main, QStringLiteral("lformuletickets"))->isVisible());
    QVERIFY(page.box(QStringLiteral("cnbchetick"))->isEnabled());
}

void BetFormulaTest::aTotalFieldNeedsTheRunnersAndTakesTheOthers()
{
    Page page;
    page.pick(QStringLiteral("cpari"), QStringLiteral("Trio"));
    page.pick(QStringLiteral("cformule"), QStringLiteral("champ total"));
    page.pick(QStringLiteral("cnbchebase"), QStringLiteral("2"));
    QVERIFY(page.box(QStringLiteral("cpartants"))->isVisible());
    // Only the bases are asked for: the associates are the other runners.
    QVERIFY(page.box(QStringLiteral("c2"))->isVisible());
    QVERIFY(!page.box(QStringLiteral("c3"))->isVisible());
    page.box(QStringLiteral("c1"))->setEditText(QStringLiteral("7"));
    page.box(QStringLiteral("c2"))->setEditText(QStringLiteral("3"));

    const QString needed = QStringLiteral("Un champ total a besoin du nombre de partants de la course.");
    QCOMPARE(page.line(), needed);
    page.seeTickets();
    QCOMPARE(page.platform.messages.size(), std::size_t(1));
    QCOMPARE(page.platform.messages[0].text, needed);
    QCOMPARE(page.app->state().tickets.count(), 0);

    // Eight runners: the two bases with each of the six others. No stake is known for the trio.
    page.pick(QStringLiteral("cpartants"), QStringLiteral("8"));
    QCOMPARE(page.line(), QStringLiteral("6 tickets"));
    page.platform.messages.clear();
    page.seeTickets();
    QCOMPARE(page.platform.messages.size(), std::size_t(1));
    QVERIFY(page.platform.messages[0].text.contains(QStringLiteral("6 tickets")));
    QCOMPARE(sortedTickets(page.app->state().selection, page.app->state().tickets),
        (Tickets { { 1, 3, 7 }, { 2, 3, 7 }, { 3, 4, 7 }, { 3, 5, 7 }, { 3, 6, 7 }, { 3, 7, 8 } }));

    // A base that is not a runner is refused before anything is made.
    page.box(QStringLiteral("c1"))->setEditText(QStringLiteral("9"));
    page.platform.messages.clear();
    page.seeTickets();
    QCOMPARE(page.platform.messages.size(), std::size_t(1));
    QCOMPARE(
        page.platform.messages[0].text, QStringLiteral("La base 1 d'un champ total doit être un partant (1 à 8)."));
    QCOMPARE(page.app->state().tickets.count(), 6);
}

QTEST_MAIN(BetFormulaTest)
#include "bet_formula_test.moc"
