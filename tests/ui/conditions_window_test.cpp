#include "arrival/ticket_holes.h"
#include "combi/game_cost.h"
#include "game/game_file.h"
#include "game/ticket_request.h"
#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/conditions_dialog.h"
#include "ui/holes_window.h"
#include "ui/systems_page.h"
#include "ui/uresultatcomb.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
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

using Tickets = std::vector<std::vector<int>>;

Tickets ticketsOf(const mvx::GameState &state)
{
    Tickets tickets;
    for (std::int64_t t = 1; t <= state.tickets.count(); ++t) {
        std::vector<int> horses;
        for (int p = 1; p <= state.tickets.horsesPerTicket(); ++p)
            horses.push_back(mvx::ticketHorse(state.selection, state.tickets.layout(), state.tickets.ticket(t), p));
        tickets.push_back(horses);
    }
    return tickets;
}

// Catalogue system 9 (a base and eight horses, tickets of five) on these boxes.
mvx::TicketRecipe catalogueSystem(const mvx::TicketConditions &conditions)
{
    mvx::TicketRecipe page;
    page.systemNumber = 9;
    page.boxes = { "8", "1", "4", "15", "6", "2", "11", "3", "9" };
    page.conditions = conditions;
    return page;
}

mvx::TicketConditions favourites()
{
    mvx::TicketConditions conditions;
    conditions.groups = { { QStringLiteral("Favoris"), (1u << 1) | (1u << 4) | (1u << 15), 2, 3 } };
    return conditions;
}

} // namespace

class ConditionsWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // Conditions set through the dialog from the page: the bar says so, the count question gives
    // both counts and the cost, a catalogue system's line and list say the guarantee is gone, and
    // the holes window counts what the conditions took, as the holes engine does on its own.
    void conditionsFromThePageToTheHoles()
    {
        QTemporaryDir folder;
        ScriptedPlatform platform;
        platform.folder = folder.path() + QLatin1Char('/');
        mvx::Application app(platform);
        app.show();
        mvx::Tfprincip &main = app.mainWindow();

        // The top row: the bar stands after "Ouvrir un fichier de tickets", inside the page.
        QWidget *bar = child<QWidget>(&main, "conditionsBar");
        QPushButton *open = child<QPushButton>(&main, "bouvrirtickets");
        QVERIFY(bar && open);
        QVERIFY(open->geometry().right() < bar->geometry().left());
        QVERIFY(bar->geometry().right() < bar->parentWidget()->width());

        auto *tabs = child<QTabWidget>(&main, "PageControl1");
        tabs->setCurrentWidget(child<QWidget>(&main, "tcombi"));
        child<QComboBox>(&main, "cnbchecomb")->setCurrentIndex(7);
        child<QComboBox>(&main, "cnbchetick")->setCurrentIndex(4);
        child<QRadioButton>(&main, "rtopcombcomp")->setChecked(true);
        for (int box = 1; box <= 8; ++box)
            child<QComboBox>(&main, QStringLiteral("c%1").arg(box).toLatin1().constData())
                ->setEditText(QString::number(box));

        QTimer::singleShot(0, &main, [&] {
            auto *dialog = qobject_cast<mvx::ConditionsDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QTest::keyClicks(child<QLineEdit>(dialog, "echevaux1"), QStringLiteral("1 4 15"));
            child<QComboBox>(dialog, "cmin1")->setCurrentIndex(2);
            child<QComboBox>(dialog, "cmax1")->setCurrentIndex(3);
            click(dialog, "bok");
        });
        click(&main, "bconditions");
        QLabel *summary = child<QLabel>(bar, "lconditions");
        QCOMPARE(summary->accessibleName(), QStringLiteral("Conditions : 1 groupe"));
        QVERIFY(summary->isVisible());
        const QRect needed = summary->fontMetrics().boundingRect(
            summary->contentsRect(), Qt::TextWordWrap, QStringLiteral("Conditions :\n1 groupe et la somme"));
        QVERIFY2(needed.height() <= summary->height() && needed.width() <= summary->width(),
            qPrintable(QStringLiteral("%1x%2").arg(needed.width()).arg(needed.height())));

        // 8 horses, five per ticket in every order, two or three of 1, 4 and 15 (only 1 and 4 are
        // in the selection): C(2,2)·C(6,3) sets of five, 120 orders each.
        platform.answers.push_back(mvx::Platform::Answer::No);
        click(&main, "bvoirtick");
        QCOMPARE(platform.messages.size(), std::size_t(1));
        const QString question = platform.messages[0].text;
        QVERIFY2(question.contains(QStringLiteral("2\u202f400 tickets au lieu de 6\u202f720")), qPrintable(question));
        QVERIFY2(question.contains(mvx::frenchCostLine(app.state().stakes, 5, 2400)), qPrintable(question));
        QCOMPARE(app.state().tickets.count(), 0);

        // The catalogue system: its line gives the count the conditions keep and the lost guarantee.
        tabs->setCurrentWidget(child<QWidget>(&main, "tsysreduit"));
        const mvx::TicketRecipe system = catalogueSystem(main.systemsPage().recipe().conditions);
        main.systemsPage().applyRecipe(system);
        mvx::GameState whole;
        mvx::TicketRecipe unconditioned = system;
        unconditioned.conditions = {};
        QVERIFY(mvx::prepareTickets(whole, unconditioned, mvx::TicketDestination::List, platform));
        const Tickets all = ticketsOf(whole);
        Tickets kept;
        for (const std::vector<int> &t : all)
            if (system.conditions.passes(t))
                kept.push_back(t);
        QVERIFY(!kept.empty() && kept.size() < all.size());
        QCOMPARE(child<QLabel>(&main, "lsysconditions")->text(),
            QStringLiteral("Avec les conditions : %1 tickets au lieu de %2. Garantie non assurée avec les conditions")
                .arg(kept.size())
                .arg(all.size()));

        auto *list = main.findChild<mvx::Tfresultatcomb *>(QStringLiteral("fresultatcomb"));
        auto *holes = list->findChild<mvx::Tftrous *>(QStringLiteral("ftrous"));
        QString count, guarantee;
        QStringList taken;
        QTimer::singleShot(0, list, [&] {
            count = child<QLabel>(list, "lnbtickets")->text();
            guarantee = child<QLabel>(list, "lgarantie")->text();
            QTimer::singleShot(0, holes, [&] {
                const QAbstractItemModel *model = holes->grid()->model();
                const int last = model->columnCount() - 1;
                QCOMPARE(model->index(0, last).data().toString(), QStringLiteral("PRIS (CONDITIONS)"));
                QVERIFY(!holes->grid()->horizontalScrollBar()->isVisible());
                for (int r = 1; r < model->rowCount(); ++r)
                    taken << model->index(r, last).data().toString();
                holes->reject();
            });
            click(list, "btrous");
            list->reject();
        });
        platform.messages.clear();
        click(&main, "bvoirtick");
        QVERIFY(platform.messages.empty()); // no count question for a system
        QCOMPARE(count, QString::number(kept.size()));
        QCOMPARE(guarantee, QStringLiteral("Garantie non assurée avec les conditions"));
        QCOMPARE(ticketsOf(app.state()), kept);

        const std::vector<int> selection { 8, 1, 4, 15, 6, 2, 11, 3, 9 };
        mvx::TicketHoles withConditions(selection, 1), without(selection, 1);
        for (const std::vector<int> &t : kept)
            withConditions.add(t);
        for (const std::vector<int> &t : all)
            without.add(t);
        QStringList expected;
        const std::vector<mvx::CategoryHoles> a = withConditions.count(), b = without.count();
        for (std::size_t c = 0; c < a.size(); ++c)
            expected << QLocale().toString(qlonglong(a[c].holes - b[c].holes));
        QCOMPARE(taken, expected);
        // The conditions took something here: a column of zeros would not show a wrong subtraction.
        QVERIFY(
            std::any_of(expected.begin(), expected.end(), [](const QString &n) { return n != QLatin1String("0"); }));

        // "Effacer" drops the conditions and the line.
        click(bar, "beffconditions");
        QVERIFY(main.systemsPage().recipe().conditions.isEmpty());
        QVERIFY(summary->isHidden());
        QCOMPARE(child<QLabel>(&main, "lsysconditions")->text(), QString());
    }

    // The line follows the boxes however they change, "Utiliser ce classement" included, and
    // speaks of the guarantee only when the conditions took a ticket away; so does the list.
    void lineFollowsTheRankingAndWarnsOnlyForATicketTaken()
    {
        QTemporaryDir folder;
        ScriptedPlatform platform;
        platform.folder = folder.path() + QLatin1Char('/');
        mvx::Application app(platform);
        app.show();
        mvx::Tfprincip &main = app.mainWindow();
        mvx::TicketConditions atMostOne;
        atMostOne.groups = { { QStringLiteral("Favoris"), (1u << 1) | (1u << 4) | (1u << 15), 0, 1 } };
        main.systemsPage().applyRecipe(catalogueSystem(atMostOne));
        QLabel *line = child<QLabel>(&main, "lsysconditions");
        QVERIFY2(line->text().endsWith(QStringLiteral("Garantie non assurée avec les conditions")),
            qPrintable(line->text()));

        // A ranking without 1, 4 or 15: no ticket holds two of them any more.
        main.useRanking({ 20, 19, 18, 17, 16, 14, 13, 12, 11, 10 });
        QCOMPARE(main.systemsPage().recipe().boxes[0], QStringLiteral("20"));
        mvx::GameState whole;
        mvx::TicketRecipe unconditioned = main.systemsPage().recipe();
        unconditioned.conditions = {};
        QVERIFY(mvx::prepareTickets(whole, unconditioned, mvx::TicketDestination::List, platform));
        const QString all = QLocale().toString(qlonglong(whole.tickets.count()));
        QCOMPARE(line->text(), QStringLiteral("Avec les conditions : %1 tickets au lieu de %1.").arg(all));

        auto *list = main.findChild<mvx::Tfresultatcomb *>(QStringLiteral("fresultatcomb"));
        QString guarantee = QStringLiteral("not shown");
        QTimer::singleShot(0, list, [&] {
            guarantee = child<QLabel>(list, "lgarantie")->text();
            list->reject();
        });
        click(&main, "bvoirtick");
        QCOMPARE(guarantee, QString());
    }

    // A game saved with conditions comes back with them and gives the same tickets; a damaged
    // section is dropped with a message and the game still loads; a game without conditions
    // stays the bare record.
    void gameKeepsItsConditions()
    {
        QTemporaryDir folder;
        ScriptedPlatform platform;
        const QString file = folder.filePath(QStringLiteral("jeu.mvx"));
        mvx::GameState state;
        const mvx::TicketRecipe saved = catalogueSystem(favourites());
        platform.fileNames.push_back(file);
        mvx::saveGame(state, saved, platform);
        QVERIFY(QFile(file).size() > mvx::kGameRecordSize);

        platform.fileNames.push_back(file);
        const std::optional<mvx::TicketRecipe> loaded = mvx::loadGame(state, mvx::TicketRecipe {}, platform);
        QVERIFY(loaded);
        QCOMPARE(loaded->conditions, saved.conditions);
        mvx::GameState first, second;
        QVERIFY(mvx::prepareTickets(first, saved, mvx::TicketDestination::List, platform));
        QVERIFY(mvx::prepareTickets(second, *loaded, mvx::TicketDestination::List, platform));
        QCOMPARE(ticketsOf(second), ticketsOf(first));
        QVERIFY(platform.messages.empty());

        // Every payload byte of the section spoiled.
        QFile bytes(file);
        QVERIFY(bytes.open(QIODevice::ReadWrite));
        QByteArray content = bytes.readAll();
        // Past the contents, which list the headers first.
        const qsizetype at = content.indexOf("COND", mvx::kGameRecordSize + 8 + content.at(mvx::kGameRecordSize + 4));
        QVERIFY(at >= mvx::kGameRecordSize);
        for (qsizetype i = at + 8; i < content.size(); ++i)
            content[i] = char(0xFF);
        bytes.seek(0);
        bytes.write(content);
        bytes.close();
        platform.fileNames.push_back(file);
        mvx::TicketRecipe current;
        current.conditions = favourites();
        const std::optional<mvx::TicketRecipe> damaged = mvx::loadGame(state, current, platform);
        QVERIFY(damaged);
        QVERIFY(damaged->conditions.isEmpty());
        QCOMPARE(damaged->systemNumber, 9);
        QCOMPARE(platform.messageTexts(),
            QStringList {
                QStringLiteral("Les conditions enregistrées dans ce fichier ne sont pas valables : le jeu est "
                               "chargé sans conditions.") });

        const QString bare = folder.filePath(QStringLiteral("sans.mvx"));
        platform.fileNames.push_back(bare);
        mvx::saveGame(state, catalogueSystem({}), platform);
        QCOMPARE(QFile(bare).size(), qint64(mvx::kGameRecordSize));
    }
};

QTEST_MAIN(ConditionsWindowTest)
#include "conditions_window_test.moc"
