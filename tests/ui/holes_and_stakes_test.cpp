#include "arrival/ticket_holes.h"
#include "combi/catalogue.h"
#include "combi/game_cost.h"
#include "game/ticket_request.h"
#include "model/settings_file.h"
#include "model/stakes_file.h"
#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/Usynthese.h"
#include "ui/application.h"
#include "ui/holes_window.h"
#include "ui/stakes_dialog.h"
#include "ui/systems_page.h"
#include "ui/ufcompare.h"
#include "ui/uresultatcomb.h"

#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using mvx::testing::ScriptedPlatform;

namespace {

template <typename T> T *child(QWidget *w, const char *name)
{
    return w->findChild<T *>(QString::fromLatin1(name));
}

void click(QWidget *w, const char *name)
{
    QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton);
}

// The rows of the holes grid below its heading, cells joined by " | ".
QStringList holesShown(mvx::Tftrous *window)
{
    const QAbstractItemModel *model = window->grid()->model();
    QStringList rows;
    for (int r = 1; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        rows << cells.join(QStringLiteral(" | "));
    }
    return rows;
}

// One row as the window writes it, from the holes engine's count.
QString rowOf(const mvx::CategoryHoles &c)
{
    const QLocale french(QLocale::French, QLocale::France);
    QStringList examples;
    for (const std::vector<int> &e : c.examples) {
        QStringList places;
        for (int h : e)
            places << QString::number(h);
        examples << places.join(QLatin1Char('-'));
    }
    // The share of the arrivals won, rounded down to a tenth of a percent.
    const std::int64_t tenths = c.arrivals > 0 ? (c.arrivals - c.holes) * 1000 / c.arrivals : 0;
    const QString won
        = c.arrivals > 0 ? QStringLiteral("%1,%2 % des arrivées gagnent").arg(tenths / 10).arg(tenths % 10) : QString();
    return QStringList { c.label, french.toString(qlonglong(c.holes)), french.toString(qlonglong(c.arrivals)), won,
        examples.join(QStringLiteral("  ")) }
        .join(QStringLiteral(" | "));
}

// The same rows straight from the holes engine, with a promise's row last when given one
// (the first `among` finishers, `needed` of them on a ticket).
QStringList holesExpected(const std::vector<int> &selection, int bases, const std::vector<std::vector<int>> &tickets,
    int among = 0, int needed = 0)
{
    mvx::TicketHoles holes(selection, bases);
    for (const std::vector<int> &t : tickets)
        holes.add(t);
    QStringList rows;
    for (const mvx::CategoryHoles &c : holes.count())
        rows << rowOf(c);
    if (needed > 0)
        rows << rowOf(holes.promiseHoles(among, needed));
    return rows;
}

} // namespace

class HolesAndStakesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // A hand-written tiercé file opened from the systems page: listed with its cost, compared
    // with the arrival with the stake and the balance, and its holes counted as the engine does.
    void ticketFileOpenedComparedAndHoled()
    {
        QTemporaryDir folder;
        ScriptedPlatform platform;
        platform.folder = folder.path() + QLatin1Char('/');
        const QString file = folder.filePath(QStringLiteral("mes tickets.txt"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("7,3,12,\r\n3,12,5,\r\n9,7,5,\r\n12,9,3,\r\n");
        out.close();
        platform.fileNames.push_back(file);

        mvx::Application app(platform);
        app.show();
        auto *list = app.mainWindow().findChild<mvx::Tfresultatcomb *>(QStringLiteral("fresultatcomb"));
        auto *compare = app.mainWindow().findChild<mvx::Tfcompare *>(QStringLiteral("fcompare"));
        auto *holes = list->findChild<mvx::Tftrous *>(QStringLiteral("ftrous"));
        QVERIFY(list && compare && holes);

        QString count, cost, summary;
        QStringList shownHoles;
        QTimer::singleShot(0, list, [&] {
            count = child<QLabel>(list, "lnbtickets")->text();
            cost = child<QLabel>(list, "lcout")->text();
            QTimer::singleShot(0, compare, [&] {
                const QStringList arrival { "7", "3", "12", "5", "9" };
                for (int p = 1; p <= 5; ++p)
                    child<QComboBox>(compare, QStringLiteral("c%1").arg(p).toLatin1().constData())
                        ->setEditText(arrival[p - 1]);
                child<QLineEdit>(compare, "etordre")->setText(QStringLiteral("120"));
                compare->AOLButton1Click();
                summary = child<QLabel>(compare, "laffresul")->text();
                compare->reject();
            });
            click(list, "bcompar");
            QTimer::singleShot(0, holes, [&] {
                shownHoles = holesShown(holes);
                holes->reject();
            });
            click(list, "btrous");
            list->reject();
        });
        click(&app.mainWindow(), "bouvrirtickets");

        QCOMPARE(count, QStringLiteral("4"));
        // Each amount keeps its "€" on its line.
        QCOMPARE(cost, QStringLiteral("Coût : 4 tickets × 1,00\u00a0€ = 4,00\u00a0€"));
        QCOMPARE(summary, QStringLiteral("1 Tiercé\nGains  :120\nMise : 4,00 €\nBilan : +116,00 €"));
        QCOMPARE(shownHoles,
            holesExpected({ 7, 3, 12, 5, 9 }, 0, { { 7, 3, 12 }, { 3, 12, 5 }, { 9, 7, 5 }, { 12, 9, 3 } }));
        QCOMPARE(shownHoles.size(), 2);
        QVERIFY(
            shownHoles[0].startsWith(QStringLiteral("Tierce ordre | 56 | 60 | 6,6 % des arrivées gagnent | 7-3-5")));
        QCOMPARE(platform.messages.size(), std::size_t(0));
    }

    // Generator tickets with a base: the holes take the base first and only the horses the
    // tickets were made from, although a seventh box holds a horse too.
    void holesOfAGeneratedListWithABase()
    {
        mvx::GameState state;
        ScriptedPlatform platform;
        mvx::TicketRecipe page;
        page.source = mvx::TicketSource::Generator;
        page.generator.horsesToCombine = 6;
        page.generator.horsesPerTicket = 4;
        page.generator.bases.baseCount = 1;
        page.generator.bases.positions = { 2, 2, 3 };
        page.boxes = { "8", "1", "4", "15", "6", "2", "11" };
        platform.answers.push_back(mvx::Platform::Answer::Yes);
        QVERIFY(mvx::prepareTickets(state, page, mvx::TicketDestination::List, platform));
        std::vector<std::vector<int>> tickets;
        for (std::int64_t t = 1; t <= state.tickets.count(); ++t) {
            std::vector<int> horses;
            for (int p = 1; p <= 4; ++p)
                horses.push_back(mvx::ticketHorse(state.selection, state.tickets.layout(), state.tickets.ticket(t), p));
            tickets.push_back(horses);
        }
        QCOMPARE(tickets.size(), std::size_t(10)); // C(5, 3)
        QCOMPARE(tickets[0], (std::vector<int> { 1, 8, 4, 15 }));

        mvx::Tfresultatcomb list(state, platform);
        auto *holes = list.findChild<mvx::Tftrous *>(QStringLiteral("ftrous"));
        QStringList shown;
        QString selection;
        QString clipped;
        QTimer::singleShot(0, holes, [&] {
            shown = holesShown(holes);
            selection = child<QLabel>(holes, "lselection")->text();
            // Every cell's text fits its column.
            auto *grid = holes->findChild<QTableView *>(QStringLiteral("grilletrous"));
            const QFontMetrics metrics(grid->font());
            for (int r = 0; r < grid->model()->rowCount(); ++r)
                for (int c = 0; c < grid->model()->columnCount(); ++c) {
                    const QString text = grid->model()->index(r, c).data().toString();
                    if (metrics.horizontalAdvance(text) + 2 > grid->columnWidth(c) && clipped.isEmpty())
                        clipped = text;
                }
            holes->reject();
        });
        list.btrousClick();
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped));
        QCOMPARE(shown, holesExpected({ 8, 1, 4, 15, 6, 2 }, 1, tickets));
        QCOMPARE(selection, QStringLiteral("10 tickets de 4 chevaux sur la sélection 8-1-4-15-6-2 (base : 8)."));
        QCOMPARE(platform.longWorks.size(), 2);

        // A catalogue system with a base (1 + 8 horses, a Bonus 4 promised when the base and three
        // others take the first four places): its base counts as one, so the promise leaves no hole.
        mvx::TicketRecipe system;
        system.systemNumber = 9;
        system.boxes = { "8", "1", "4", "15", "6", "2", "11", "3", "9" };
        QVERIFY(mvx::prepareTickets(state, system, mvx::TicketDestination::List, platform));
        QTimer::singleShot(0, holes, [&] {
            shown = holesShown(holes);
            selection = child<QLabel>(holes, "lselection")->text();
            holes->reject();
        });
        list.btrousClick();
        QCOMPARE(selection, QStringLiteral("14 tickets de 5 chevaux sur la sélection 8-1-4-15-6-2-11-3-9 (base : 8)."));
        QCOMPARE(shown.size(), 5);
        QVERIFY2(shown[2].startsWith(QStringLiteral("Bonus 4 | 0 | 1\u202f344 |")), qPrintable(shown[2]));

        // A ticket size without winning categories is told, not counted.
        page.generator.horsesPerTicket = 6;
        page.generator.bases.baseCount = 0;
        platform.answers.push_back(mvx::Platform::Answer::Yes);
        QVERIFY(mvx::prepareTickets(state, page, mvx::TicketDestination::List, platform));
        platform.messages.clear();
        list.btrousClick();
        QCOMPARE(platform.messages.size(), std::size_t(1));
        QVERIFY(platform.messages[0].text.startsWith(QStringLiteral("Les tickets de 6 chevaux")));
    }

    // Pairs made on the own-system tab for a couplé placé, two of them taken away: the window
    // counts the arrivals whose first three are horses of the selection with no pair of them on
    // a ticket, as the holes engine counts the promise, on a row of its own after the couplé's.
    void holesOfACouplePlacedPromise()
    {
        mvx::GameState state;
        ScriptedPlatform platform;
        mvx::TicketRecipe page;
        page.source = mvx::TicketSource::OwnSystem;
        page.ownSystem.request = mvx::SystemRequest { 6, 2, 0, 2, 3 };
        // Every pair inside {1, 2, 3} and inside {4, 5, 6}, less 1-2 and 4-5.
        page.ownSystem.rows = { { 1, 3 }, { 2, 3 }, { 4, 6 }, { 5, 6 } };
        page.boxes = { "8", "1", "4", "15", "6", "2" };
        page.bet = mvx::Bet { mvx::Bet::Kind::CouplePlaced, 2 };
        QVERIFY(mvx::prepareTickets(state, page, mvx::TicketDestination::List, platform));
        const std::vector<std::vector<int>> tickets { { 8, 4 }, { 1, 4 }, { 15, 2 }, { 6, 2 } };
        QCOMPARE(state.tickets.count(), std::int64_t(tickets.size()));

        mvx::Tfresultatcomb list(state, platform);
        auto *holes = list.findChild<mvx::Tftrous *>(QStringLiteral("ftrous"));
        QStringList shown;
        QTimer::singleShot(0, holes, [&] {
            shown = holesShown(holes);
            holes->reject();
        });
        list.btrousClick();
        const QStringList expected = holesExpected({ 8, 1, 4, 15, 6, 2 }, 0, tickets, 3, 2);
        QCOMPARE(shown, expected);
        // 8-1 with 15, 6 or 2, and 15-6 with 8, 1 or 4: six triples, each in its 6 orders.
        QVERIFY2(shown.last().startsWith(QStringLiteral("GARANTIE | 36 | 120 |")), qPrintable(shown.last()));
    }

    // "Mises" from the settings: a wrong multiplier is refused, OK keeps the stakes, the cost
    // follows them, and at close they go to their own file while the settings keep 112 bytes.
    void stakesDialogAndItsFile()
    {
        QTemporaryDir folder;
        ScriptedPlatform platform;
        platform.folder = folder.path() + QLatin1Char('/');
        mvx::Stakes chosen;
        {
            mvx::Application app(platform);
            app.show();
            QCOMPARE(app.state().stakes, mvx::defaultStakes());
            auto *settings = app.mainWindow().findChild<QDialog *>(QStringLiteral("fparametre"));
            auto *stakes = settings->findChild<mvx::Tfmises *>(QStringLiteral("fmises"));
            QVERIFY(stakes);
            QString shownQuinte;
            QTimer::singleShot(0, settings, [&] {
                QCOMPARE(child<QPushButton>(settings, "bmises")->text(), QStringLiteral("Mises..."));
                QTimer::singleShot(0, stakes, [&] {
                    shownQuinte = child<QLineEdit>(stakes, "emisequinte")->text();
                    QLineEdit *quinte = child<QLineEdit>(stakes, "emisequinte");
                    quinte->selectAll();
                    QTest::keyClicks(quinte, QStringLiteral("2,5"));
                    QLineEdit *times = child<QLineEdit>(stakes, "emultiplicateur");
                    times->selectAll();
                    QTest::keyClicks(times, QStringLiteral("0"));
                    click(stakes, "bok");
                    QVERIFY(stakes->isVisible()); // refused: still open
                    times->selectAll();
                    QTest::keyClicks(times, QStringLiteral("3"));
                    click(stakes, "bok");
                });
                click(settings, "bmises");
                settings->reject();
            });
            click(&app.mainWindow(), "bparametre");
            QCOMPARE(shownQuinte, QStringLiteral("2,00"));
            QCOMPARE(platform.messages.size(), std::size_t(1));
            QCOMPARE(platform.messages[0].text,
                QStringLiteral("Le multiplicateur doit être un nombre entier de 1 à 10000."));
            chosen = mvx::defaultStakes();
            chosen.unitStakeCents[3] = 250;
            chosen.multiplier = 3;
            QCOMPARE(app.state().stakes, chosen);
            QVERIFY(!QFile::exists(mvx::stakesFilePath(platform.folder)));
            app.mainWindow().close();
        }
        QCOMPARE(QFile(mvx::settingsFilePath(platform.folder)).size(), qint64(mvx::kSettingsRecordSize));
        QCOMPARE(mvx::loadStakes(platform.folder, mvx::defaultStakes()), chosen);
        QCOMPARE(mvx::frenchCostLine(chosen, 5, 66), QStringLiteral("Coût : 66 tickets × 2,50 € × 3 = 495,00 €"));
    }

    // "Utiliser ce classement" puts the ranked horses into the boxes the reduced system uses,
    // passing over a runner a selection cannot hold, and shows the systems page.
    void rankingFillsTheSelectionBoxes()
    {
        QTemporaryDir folder;
        ScriptedPlatform platform;
        platform.folder = folder.path() + QLatin1Char('/');
        mvx::Application app(platform);
        app.show();
        mvx::Tfprincip &main = app.mainWindow();
        mvx::TicketRecipe page = main.systemsPage().recipe();
        page.source = mvx::TicketSource::CatalogueSystem;
        page.systemNumber = 3; // quinté, 7 horses
        page.boxes.fill(QString());
        page.boxes[15] = QStringLiteral("19"); // a hidden box the system does not use
        main.systemsPage().applyRecipe(page);
        const int used = mvx::reducedSystem(3).horseCount;

        mvx::GameState &state = app.state();
        child<QComboBox>(&main, "cnbchevaux")->setEditText(QStringLiteral("22"));
        child<QComboBox>(&main, "cnbchevauxprono")->setEditText(QStringLiteral("3"));
        child<QComboBox>(&main, "cnbpronos")->setEditText(QStringLiteral("2"));
        state.pointsByPosition[0] = 3;
        state.pointsByPosition[1] = 2;
        state.pointsByPosition[2] = 1;
        state.forecasts[0][0] = 21;
        state.forecasts[0][1] = 5;
        state.forecasts[0][2] = 9;
        state.forecasts[1][0] = 2;
        state.forecasts[1][1] = 5;
        state.forecasts[1][2] = 1;
        child<QTabWidget>(&main, "pagec1")->setCurrentIndex(0);
        auto *synthese = main.findChild<mvx::Tfsynthese *>(QStringLiteral("fsynthese"));
        QTimer::singleShot(0, synthese, [&] { click(synthese, "butiliser"); });
        click(&main, "bvoirsynthese");

        // Ranking: 5 (4 points), 2 and 21 (3), 1 and 9 (1), then 3, 4, 6... with none.
        const QStringList ranked { "5", "2", "1", "9", "3", "4", "6" };
        QCOMPARE(used, int(ranked.size()));
        for (int i = 0; i < used; ++i)
            QCOMPARE(main.systemsPage().recipe().boxes[std::size_t(i)], ranked[i]);
        QCOMPARE(main.systemsPage().recipe().boxes[15], QStringLiteral("19"));
        QCOMPARE(child<QTabWidget>(&main, "pagec1")->currentIndex(), 1);
        QVERIFY(!synthese->isVisible());
        QCOMPARE(platform.messageTexts(),
            QStringList { QStringLiteral("Le cheval 21 est passé du classement : une sélection ne prend que les "
                                         "numéros 1 à 20.") });
    }
};

QTEST_MAIN(HolesAndStakesTest)
#include "holes_and_stakes_test.moc"
