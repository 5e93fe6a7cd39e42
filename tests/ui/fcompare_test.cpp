#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/systems_page.h"
#include "ui/ticket_grid.h"
#include "ui/ufcompare.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using mvx::Tfcompare;
using mvx::testing::ScriptedPlatform;
using mvx::ui::TicketGrid;

namespace {

// The category column of the grid rows on screen.
QStringList categoriesShown(const Tfcompare &window)
{
    const QAbstractItemModel *model = window.findChild<TicketGrid *>(QStringLiteral("grillecomb"))->table()->model();
    QStringList labels;
    for (int r = 1; r < model->rowCount(); ++r)
        labels << model->index(r, model->columnCount() - 1).data().toString();
    return labels;
}

struct Window
{
    explicit Window(mvx::GameState &state)
        : window(state, platform)
    {
        window.show();
        window.activateWindow();
        active = QTest::qWaitForWindowActive(&window);
    }

    template <typename T> T *find(const QString &name) { return window.findChild<T *>(name); }
    QComboBox *place(int p) { return find<QComboBox>(QStringLiteral("c%1").arg(p)); }
    QLineEdit *field(const char *name) { return find<QLineEdit>(QString::fromLatin1(name)); }
    void click(const char *name) { QTest::mouseClick(find<QPushButton>(QString::fromLatin1(name)), Qt::LeftButton); }

    void typeArrival(const QStringList &places)
    {
        for (int p = 1; p <= places.size(); ++p) {
            place(p)->setFocus();
            place(p)->lineEdit()->selectAll();
            QTest::keyClicks(place(p), places[p - 1]);
        }
    }
    void typePayout(const char *name, const QString &text)
    {
        QLineEdit *f = field(name);
        f->setFocus(Qt::TabFocusReason);
        f->selectAll();
        QTest::keyClicks(f, text);
        find<QPushButton>(QStringLiteral("bquit"))->setFocus(Qt::TabFocusReason); // leaving the field
    }

    QStringList categories() { return categoriesShown(window); }
    QString summary() { return find<QLabel>(QStringLiteral("laffresul"))->text(); }

    ScriptedPlatform platform;
    Tfcompare window;
    bool active = false;
};

void setTickets(mvx::GameState &state, const std::vector<std::vector<int>> &tickets)
{
    for (int h = 1; h <= 20; ++h)
        state.selection.otherHorses[std::size_t(h)] = h;
    const int size = tickets.empty() ? 5 : int(tickets[0].size());
    state.tickets = mvx::TicketList::stored(mvx::TicketLayout { size, 0, { 1, 2, 3 } }, std::int64_t(tickets.size()));
    for (const std::vector<int> &horses : tickets) {
        std::string letters;
        for (int h : horses)
            letters += char('A' + h - 1);
        state.tickets.append(letters);
    }
}

} // namespace

class FcompareTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // The worked example typed in as a punter does, then a second showing.
    void workedExampleThenShownAgain()
    {
        mvx::GameState state;
        setTickets(state, { { 7, 3, 12, 1, 9 }, { 3, 7, 12, 1, 4 }, { 2, 4, 6, 8, 10 } });
        Window w(state);
        QVERIFY(w.active);
        for (int p = 1; p <= 5; ++p)
            QCOMPARE(w.place(p)->currentText(), QStringLiteral("1"));
        w.typeArrival({ "7", "3", "12", "1", "9" });
        w.typePayout("eqordre", QStringLiteral("1000"));
        QCOMPARE(w.field("eqordre")->text(), QStringLiteral("1000,00"));
        w.typePayout("eqbonus4", QStringLiteral("50"));
        w.typePayout("etordre", QStringLiteral("abc"));
        QCOMPARE(w.field("etordre")->text(), QStringLiteral("0,00"));

        w.click("AOLButton1");
        QCOMPARE(w.categories(), QStringList({ "Quinté ordre", "Bonus 4", "" }));
        QCOMPARE(w.summary(), QStringLiteral("1 Quinte\n1 Bonus 4\nGains  :1050"));
        QCOMPARE(w.field("eqdesordre")->text(), QStringLiteral("0,00")); // every field rewritten
        QCOMPARE(state.winCounts[0], 1);
        QCOMPARE(state.winCounts[2], 1);
        QCOMPARE(state.payouts[0], 1000.0);
        QCOMPARE(state.payouts[3], 50.0);
        QCOMPARE(w.window.ticketCategories(), (std::vector<std::uint8_t> { 1, 3, 0 }));
        QCOMPARE(w.platform.waitCursorShown, 1);
        QCOMPARE(w.platform.waitCursorDepth, 0);

        // Shown again: the arrival boxes start from "1", the payouts stay, the old results go.
        w.window.hide();
        w.window.show();
        QCOMPARE(w.place(1)->currentText(), QStringLiteral("1"));
        QCOMPARE(w.field("eqordre")->text(), QStringLiteral("1000,00"));
        QCOMPARE(w.summary(), QString());
        QCOMPARE(w.categories(), QStringList());

        // "25" is no horse: the box is shown wrong, the user told, nothing compared.
        w.typeArrival({ "7", "3", "25", "1", "9" });
        QCOMPARE(w.place(3)->currentText(), QStringLiteral("25"));
        w.click("AOLButton1");
        QCOMPARE(w.platform.messageTexts(),
            QStringList { QString::fromUtf8("La 3e place de l'arrivée n'est pas un cheval de 1 à 20.") });
        QVERIFY(w.place(3)->property("wrongArrival").toBool());
        QCOMPARE(w.categories(), QStringList());
        QCOMPARE(w.platform.longWorks.size(), 1);
        w.platform.messages.clear();
        w.typeArrival({ "7", "3", "12", "1", "9" });
        QVERIFY(!w.place(3)->property("wrongArrival").toBool());
        w.click("AOLButton1");
        QCOMPARE(w.categories(), QStringList({ "Quinté ordre", "Bonus 4", "" }));

        // "Annuler" during the comparison: the last results, counts and arrival stay.
        w.platform.stopLongWorkAt = 0;
        w.typeArrival({ "9", "1", "12", "3", "7" });
        w.click("AOLButton1");
        QCOMPARE(w.platform.longWorks.size(), 3);
        QVERIFY(w.platform.messages.empty());
        QCOMPARE(w.categories(), QStringList({ "Quinté ordre", "Bonus 4", "" }));
        QCOMPARE(w.summary(), QStringLiteral("1 Quinte\n1 Bonus 4\nGains  :1050"));
        QCOMPARE(state.arrival[1], 7);
        QCOMPARE(state.winCounts[0], 1);
        w.platform.stopLongWorkAt.reset();

        // No ticket at all: one empty row and nothing won.
        setTickets(state, {});
        w.click("AOLButton1");
        QCOMPARE(w.categories(), QStringList({ "" }));
        QCOMPARE(w.summary(), QStringLiteral("Gains  :0"));
    }

    // The boxes start at "1": typing only the first three places leaves horse 1 twice. Refused
    // before anything is computed for quinté tickets, accepted for tiercé ones, which look at
    // three places; a negative payout is no amount. Enter compares from any field on every
    // showing, Escape closes from any field.
    void repeatedArrivalKeysAndNegativePayout()
    {
        mvx::GameState state;
        setTickets(state, { { 7, 3, 2, 1, 4 }, { 2, 3, 7, 5, 6 } });
        Window w(state);
        QVERIFY(w.active);
        w.typeArrival({ "7", "3", "2" });
        QTest::keyClick(w.place(3), Qt::Key_Return);
        QCOMPARE(w.platform.messageTexts(),
            QStringList { QString::fromUtf8("Le cheval 1 est à la fois 4e et 5e de l'arrivée : chaque place doit avoir "
                                            "un cheval différent.") });
        QCOMPARE(w.platform.messages[0].title, QString::fromUtf8("Opération impossible"));
        QVERIFY(w.place(5)->property("wrongArrival").toBool());
        QVERIFY(w.platform.longWorks.isEmpty());
        QCOMPARE(w.summary(), QString());
        QCOMPARE(state.winCounts, mvx::WinCounts {});

        w.typePayout("equarteordre", QStringLiteral("-1000"));
        QCOMPARE(w.field("equarteordre")->text(), QStringLiteral("0,00"));
        w.typeArrival({ "7", "3", "2", "1", "9" });
        w.field("eqbonus4")->setFocus();
        QTest::keyClick(w.field("eqbonus4"), Qt::Key_Enter);
        QCOMPARE(w.categories(), QStringList({ "Bonus 4", "Bonus 3" }));

        // Escape from the grid, from an arrival box.
        w.find<TicketGrid>(QStringLiteral("grillecomb"))->table()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!w.window.isVisible());
        w.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        w.place(2)->setFocus();
        QTest::keyClick(w.place(2), Qt::Key_Escape);
        QVERIFY(!w.window.isVisible());

        // Shown again after "Retour" had the focus: Enter compares (1, 1, 1 is refused, the
        // window stays), here tiercé tickets with horse 1 left twice in places 4 and 5.
        setTickets(state, { { 7, 3, 2 }, { 3, 7, 2 } });
        w.platform.messages.clear();
        w.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        w.find<QPushButton>(QStringLiteral("bquit"))->setFocus();
        w.window.hide();
        w.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(w.window.isVisible());
        QCOMPARE(w.platform.messages.size(), std::size_t(1));
        w.platform.messages.clear();
        w.typeArrival({ "7", "3", "2" });
        QTest::keyClick(w.place(3), Qt::Key_Return);
        QVERIFY(w.platform.messages.empty());
        QCOMPARE(w.categories(), QStringList({ "Tierce ordre", QString::fromUtf8("Tiercé désordre") }));
    }

    // "Comparer avec l'arrivée" generates the couplé tickets and opens the window on them.
    void comparisonOpensFromTheMainWindow()
    {
        QTemporaryDir folder;
        ScriptedPlatform platform;
        platform.folder = folder.path() + QLatin1Char('/');
        mvx::Application app(platform);
        app.show();
        mvx::TicketRecipe page = app.mainWindow().systemsPage().recipe();
        page.source = mvx::TicketSource::Generator;
        page.generator.horsesToCombine = 4;
        page.generator.horsesPerTicket = 2;
        const QStringList horses { "7", "3", "12", "5" };
        for (int i = 0; i < horses.size(); ++i)
            page.boxes[std::size_t(i)] = horses[i];
        app.mainWindow().systemsPage().applyRecipe(page);

        auto *compare = app.mainWindow().findChild<Tfcompare *>(QStringLiteral("fcompare"));
        QVERIFY(compare);
        QStringList labels;
        QString summary;
        QTimer::singleShot(0, compare, [&] {
            for (int p = 1; p <= 3; ++p)
                compare->findChild<QComboBox *>(QStringLiteral("c%1").arg(p))->setEditText(horses[p - 1]);
            compare->AOLButton1Click();
            labels = categoriesShown(*compare);
            summary = compare->findChild<QLabel *>(QStringLiteral("laffresul"))->text();
            compare->reject();
        });
        QTest::mouseClick(app.mainWindow().findChild<QPushButton *>(QStringLiteral("bcompar")), Qt::LeftButton);

        // Arrival 7, 3, 12 against 7-3, 7-12, 7-5, 3-12, 3-5, 12-5; no count question asked.
        QCOMPARE(labels, QStringList({ "Couplé gagnant", "Couplé placé", "", "Couplé placé", "", "" }));
        // The usual couplé stake: six tickets at 1,50 €, nothing won.
        QCOMPARE(
            summary, QStringLiteral("1 Couplé gagnant\n2 Couplé placé\nGains  :0\nMise : 9,00 €\nBilan : -9,00 €"));
        QVERIFY(platform.messages.empty());
    }
};

QTEST_MAIN(FcompareTest)
#include "fcompare_test.moc"
