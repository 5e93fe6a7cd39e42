// "Mes courses" in the windows, against a real history file in a temporary folder: a comparison
// recorded from its window and seen in the history window, the totals of what is shown, deleting
// and renaming, and the month's budget in the generator's count question.

#include "support/scripted_platform.h"
#include "support/test_data.h"

#include "arrival/official_result.h"
#include "arrival/rapports_text.h"
#include "combi/game_cost.h"
#include "game/ticket_request.h"
#include "history/race_history.h"
#include "ui/history_access.h"
#include "ui/history_window.h"
#include "ui/race_record_dialog.h"
#include "ui/stakes_dialog.h"
#include "ui/ufcompare.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <limits>

using mvx::HistoryAccess;
using mvx::RaceRecord;
using mvx::Tfmescourses;
using mvx::testing::ScriptedPlatform;

namespace {

void click(QWidget *window, const char *name)
{
    auto *button = window->findChild<QPushButton *>(QString::fromLatin1(name));
    QVERIFY2(button, name);
    QVERIFY2(button->isEnabled(), name);
    QTest::mouseClick(button, Qt::LeftButton);
}

void type(QWidget *window, const char *name, const QString &text)
{
    auto *field = window->findChild<QLineEdit *>(QString::fromLatin1(name));
    QVERIFY2(field, name);
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        QTest::keyClicks(field, text);
}

mvx::TicketRecipe generator(int horses, int perTicket)
{
    mvx::TicketRecipe recipe;
    recipe.source = mvx::TicketSource::Generator;
    recipe.generator.horsesToCombine = horses;
    recipe.generator.horsesPerTicket = perTicket;
    recipe.generator.reduced = false;
    recipe.boxes = mvx::testing::selectionBoxes({ "7", "3", "12", "1", "9" });
    return recipe;
}

RaceRecord race(const QDate &day, const char *name, mvx::Bet bet, std::int64_t stake, std::int64_t won)
{
    RaceRecord r;
    r.date = day;
    r.name = QString::fromUtf8(name);
    r.bet = bet;
    r.tickets = stake / 100;
    r.stakeCents = stake;
    r.wonCents = won;
    r.balanceCents = won - stake;
    return r;
}

QString totalsShown(const Tfmescourses &window)
{
    return window.findChild<QLabel *>(QStringLiteral("ltotaux"))->text();
}

} // namespace

class MesCoursesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // Tickets made by the generator, compared in the window and recorded under the game's name
    // and a date of the punter's; the race is then in the history window. Recording it again
    // asks first, and a name edited in the grid renames the same race.
    void aComparisonRecordedFromItsWindowIsInTheHistoryWindow()
    {
        QTemporaryDir dir;
        ScriptedPlatform platform;
        HistoryAccess access(platform, dir.filePath(QStringLiteral("mes-courses.sqlite")));
        mvx::GameState state;
        state.stakes = mvx::defaultStakes();
        state.stakes.multiplier = 2;
        state.gameFileName = dir.filePath(QStringLiteral("Vincennes R1C4.mvx"));
        platform.answers.push_back(mvx::Platform::Answer::Yes); // the count question
        QVERIFY(mvx::prepareTickets(state, generator(5, 3), mvx::TicketDestination::List, platform));
        QCOMPARE(state.tickets.count(), 60);
        platform.messages.clear();

        mvx::Tfcompare compare(state, platform);
        compare.setHistory(&access);
        compare.show();
        compare.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&compare));
        auto *record = compare.findChild<QPushButton *>(QStringLiteral("benregistrercourse"));
        QVERIFY(record && !record->isEnabled()); // nothing compared yet
        const QStringList arrival { "7", "3", "12", "1", "9" };
        for (int p = 1; p <= 5; ++p) {
            auto *box = compare.findChild<QComboBox *>(QStringLiteral("c%1").arg(p));
            box->lineEdit()->selectAll();
            QTest::keyClicks(box, arrival[p - 1]);
        }
        type(&compare, "etordre", QStringLiteral("150,50"));
        type(&compare, "etdesordre", QStringLiteral("30,10"));
        click(&compare, "AOLButton1");
        QVERIFY(record->isEnabled());

        // The dialog proposes today and the game's name; the punter gives the race's day.
        const QDate day(2026, 3, 14);
        QString proposedName;
        QDate proposedDay;
        const auto fillDialog = [&] {
            auto *dialog = compare.findChild<mvx::RaceRecordDialog *>(QStringLiteral("fenregistrercourse"));
            QVERIFY(dialog && dialog->isVisible());
            proposedName = dialog->findChild<QLineEdit *>(QStringLiteral("enomcourse"))->text();
            proposedDay = dialog->findChild<QDateEdit *>(QStringLiteral("edatecourse"))->date();
            dialog->findChild<QDateEdit *>(QStringLiteral("edatecourse"))->setDate(day);
            click(dialog, "bok");
        };
        QTimer::singleShot(0, this, fillDialog);
        click(&compare, "benregistrercourse");
        QCOMPARE(proposedName, QStringLiteral("Vincennes R1C4"));
        QCOMPARE(proposedDay, QDate::currentDate());
        QCOMPARE(platform.messages.size(), std::size_t(1));
        QVERIFY(platform.messages[0].text.contains(QStringLiteral("est enregistrée")));

        // The same date and name again: asked first, and No keeps the race as it was.
        QTimer::singleShot(0, this, fillDialog);
        click(&compare, "benregistrercourse");
        QCOMPARE(platform.messages.size(), std::size_t(2));
        QCOMPARE(platform.messages[1].text, QStringLiteral("Cette course existe déjà : la remplacer ?"));

        Tfmescourses window(access, platform);
        window.show();
        const std::vector<RaceRecord> &shown = window.model().races();
        QCOMPARE(shown.size(), std::size_t(1));
        const RaceRecord &stored = shown[0];
        QCOMPARE(stored.key(), (mvx::RaceKey { day, QStringLiteral("Vincennes R1C4") }));
        QCOMPARE(stored.bet, *mvx::classicBet(3));
        QCOMPARE(stored.making.source, mvx::TicketOrigin::Generator);
        QCOMPARE(stored.selection, (std::vector<int> { 7, 3, 12, 1, 9 }));
        QCOMPARE(stored.tickets, std::int64_t(60));
        // 60 tickets × 1,00 € × 2; (150,50 + 5 × 30,10) × 2.
        QCOMPARE(stored.stakeCents, std::int64_t(12000));
        QCOMPARE(stored.wonCents, std::int64_t(60200));
        QCOMPARE(stored.balanceCents, std::int64_t(48200));
        QCOMPARE(stored.winnings.size(), std::size_t(2));
        QCOMPARE(stored.winnings[1].count, std::int64_t(5));
        QCOMPARE(stored.winnings[1].amountCents, std::int64_t(30100));
        const QAbstractItemModel *model = window.findChild<QTableView *>(QStringLiteral("grillecourses"))->model();
        QCOMPARE(model->index(0, mvx::RaceTableModel::DateColumn).data().toString(), QStringLiteral("14/03/2026"));
        QCOMPARE(model->index(0, mvx::RaceTableModel::BalanceColumn).data().toString(), QStringLiteral("+482,00 €"));

        const std::int64_t id = stored.id;
        auto *grid = window.findChild<QTableView *>(QStringLiteral("grillecourses"));
        QVERIFY(grid->model()->setData(
            grid->model()->index(0, mvx::RaceTableModel::NameColumn), QStringLiteral("Vincennes quinté")));
        QTRY_COMPARE(window.model().races().at(0).name, QStringLiteral("Vincennes quinté"));
        QCOMPARE(window.model().races().at(0).id, id);
        QCOMPARE(window.model().races().at(0).wonCents, std::int64_t(60200));
    }

    // A race compared with its official result (horse 9 a non-runner) is recorded with the
    // winnings of every category it paid, "Tiercé 1 NP" included, not with the ten fields'.
    void theOfficialResultIsRecordedWithWhatItPaid()
    {
        QTemporaryDir dir;
        ScriptedPlatform platform;
        HistoryAccess access(platform, dir.filePath(QStringLiteral("mes-courses.sqlite")));
        mvx::GameState state;
        state.stakes = mvx::defaultStakes();
        platform.answers.push_back(mvx::Platform::Answer::Yes); // the count question
        QVERIFY(mvx::prepareTickets(state, generator(5, 3), mvx::TicketDestination::List, platform));
        mvx::OfficialResult result;
        result.arrival = { { 7 }, { 3 }, { 12 } };
        result.nonRunners = { 9 };
        for (const char *line : { "Tierce ordre 7-3-12 100", "Tierce desordre 7-3-12 20", "Tierce 1 NP 7-3-NP 10" })
            result.rapports.push_back(mvx::parseRapportLine(QString::fromLatin1(line)).value());
        state.officialResult = std::make_shared<const mvx::OfficialResult>(result);

        mvx::Tfcompare compare(state, platform);
        compare.setHistory(&access);
        compare.show();
        compare.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&compare));
        click(&compare, "AOLButton1");
        QTimer::singleShot(0, this, [&] {
            auto *dialog = compare.findChild<mvx::RaceRecordDialog *>(QStringLiteral("fenregistrercourse"));
            QVERIFY(dialog && dialog->isVisible());
            click(dialog, "bok");
        });
        click(&compare, "benregistrercourse");

        const auto stored = access.history()->races();
        QVERIFY(stored.ok());
        QCOMPARE(stored.value.size(), std::size_t(1));
        const RaceRecord &race = stored.value[0];
        // 60 tickets at 1,00 €: one ordre (100), five désordre (5 × 20), and the six tickets of
        // 7, 3 and the non-runner (6 × 10).
        QCOMPARE(race.stakeCents, std::int64_t(6000));
        QCOMPARE(race.wonCents, std::int64_t(26000));
        QCOMPARE(race.balanceCents, std::int64_t(20000));
        QStringList paid;
        for (const mvx::CategoryWinnings &w : race.winnings)
            paid << QStringLiteral("%1 %2 %3").arg(w.label).arg(w.count).arg(w.amountCents);
        QCOMPARE(paid, (QStringList { "Tierce ordre 1 10000", "Tiercé désordre 5 10000", "Tiercé 1 NP 6 6000" }));
    }

    // Four races, two of them this month: the totals of each filter against sums made by hand,
    // the chart's last point the balance shown, the export of what is shown, and a deletion
    // that is asked first.
    void theTotalsAreThoseOfTheRacesShownAndDeletingIsAskedFirst()
    {
        QTemporaryDir dir;
        ScriptedPlatform platform;
        HistoryAccess access(platform, dir.filePath(QStringLiteral("mes-courses.sqlite")));
        QVERIFY(access.history());
        const QDate today = QDate::currentDate();
        const QDate thisMonth(today.year(), today.month(), 1);
        const QDate lastYear(today.year() - 1, 6, 15);
        QVERIFY(access.history()
                    ->store({ race(lastYear, "Longchamp", *mvx::classicBet(5), 4000, 0),
                        race(lastYear.addDays(3), "Chantilly", *mvx::classicBet(3), 1200, 9050),
                        race(thisMonth, "Vincennes", *mvx::classicBet(3), 600, 0),
                        race(thisMonth, "Auteuil", *mvx::classicBet(4), 2400, 3075) })
                    .ok());

        Tfmescourses window(access, platform);
        window.show();
        QCOMPARE(window.model().races().size(), std::size_t(4));
        // Staked 40 + 12 + 6 + 24 = 82 €; won 90,50 + 30,75 = 121,25 €; balance +39,25 €;
        // return 121,25 ÷ 82 = 147,87 %.
        QCOMPARE(totalsShown(window),
            QStringLiteral("Courses : 4 — Mise : 82,00 € — Gains : 121,25 € — Remboursements : 0,00 € — "
                           "Bilan : +39,25 € — Rendement : 147,87 %"));
        const QLineSeries *series = &window.balanceSeries();
        QCOMPARE(series->count(), 3); // one point per day
        QCOMPARE(series->at(2).y(), 39.25);
        QCOMPARE(series->at(0).y(), -40.0);

        auto *period = window.findChild<QComboBox *>(QStringLiteral("cperiode"));
        auto *bet = window.findChild<QComboBox *>(QStringLiteral("cpari"));
        period->setCurrentIndex(1); // "Ce mois"
        QCOMPARE(totalsShown(window),
            QStringLiteral("Courses : 2 — Mise : 30,00 € — Gains : 30,75 € — Remboursements : 0,00 € — "
                           "Bilan : +0,75 € — Rendement : 102,50 %"));
        period->setCurrentIndex(0); // "Tout"
        bet->setCurrentIndex(bet->findText(QStringLiteral("Tiercé")));
        QCOMPARE(totalsShown(window),
            QStringLiteral("Courses : 2 — Mise : 18,00 € — Gains : 90,50 € — Remboursements : 0,00 € — "
                           "Bilan : +72,50 € — Rendement : 502,78 %"));

        const QString exported = dir.filePath(QStringLiteral("courses.txt"));
        platform.fileNames.push_back(exported);
        click(&window, "bexport");
        QFile file(exported);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("DATE;NOM;PARI;TICKETS;MISE;GAINS;REMBOURSEMENT;BILAN;\r\n"));
        QCOMPARE(bytes.count("\r\n"), 3); // the heading and the two tiercés shown
        QVERIFY(bytes.contains(";Chantilly;"));
        QVERIFY(!bytes.contains(";Longchamp;"));
        // Never onto the history itself: refused, said, and the races all still there.
        platform.messages.clear();
        platform.fileNames.push_back(dir.filePath(QStringLiteral("mes-courses.sqlite")));
        click(&window, "bexport");
        QCOMPARE(platform.messages.size(), std::size_t(1));
        QVERIFY(platform.messages[0].text.contains(QStringLiteral("est l'historique des courses lui-même")));
        QCOMPARE(access.history()->races().value.size(), std::size_t(4));

        // Deleting the race under the cursor: No keeps it, Yes removes it from the file.
        auto *grid = window.findChild<QTableView *>(QStringLiteral("grillecourses"));
        grid->setCurrentIndex(grid->model()->index(0, 0));
        QCOMPARE(window.model().races().at(0).name, QStringLiteral("Chantilly"));
        platform.messages.clear();
        click(&window, "bsupprimer");
        QCOMPARE(platform.messages.size(), std::size_t(1));
        QCOMPARE(platform.messages[0].buttons, mvx::Platform::Buttons::YesNo);
        QVERIFY(platform.messages[0].text.startsWith(QStringLiteral("Supprimer la course « Chantilly » du ")));
        QCOMPARE(window.model().races().size(), std::size_t(2));
        platform.answers.push_back(mvx::Platform::Answer::Yes);
        click(&window, "bsupprimer");
        QCOMPARE(window.model().races().size(), std::size_t(1));
        QCOMPARE(access.history()->races().value.size(), std::size_t(3));
        QVERIFY(!access.history()->race({ lastYear.addDays(3), QStringLiteral("Chantilly") }).value);

        // Escape closes the window like "Retour".
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }

    // With no budget the count question is what it always was and no history file is made;
    // a budget set in "Mises" adds the month's line and, past it, the overrun.
    // The "Pari" list holds the four bets of old and every other bet a race was kept with; a
    // bet kept while the window is open joins it, and the bet chosen stays chosen.
    void everyBetPlayedIsInThePariFilter()
    {
        QTemporaryDir dir;
        ScriptedPlatform platform;
        HistoryAccess access(platform, dir.filePath(QStringLiteral("mes-courses.sqlite")));
        QVERIFY(access.history());
        const QDate day(2026, 6, 1);
        const mvx::Bet multi5 { mvx::Bet::Kind::Multi, 5 };
        const mvx::Bet pick5 { mvx::Bet::Kind::Pick5, 5 };
        QVERIFY(access.history()
                    ->store({ race(day, "Vincennes", *mvx::classicBet(3), 600, 0),
                        race(day, "Chantilly", multi5, 1500, 4200) })
                    .ok());

        Tfmescourses window(access, platform);
        window.show();
        auto *bet = window.findChild<QComboBox *>(QStringLiteral("cpari"));
        for (const char *name : { "Tous les paris", "Couplé", "Tiercé", "Quarté+", "Quinté+", "Multi en 5" })
            QVERIFY2(bet->findText(QString::fromUtf8(name)) >= 0, name);
        QCOMPARE(bet->findText(mvx::betName(pick5)), -1);
        QCOMPARE(bet->findText(QStringLiteral("Multi en 4")), -1);

        bet->setCurrentIndex(bet->findText(QStringLiteral("Multi en 5")));
        QCOMPARE(window.model().races().size(), std::size_t(1));
        QCOMPARE(
            window.model().index(0, mvx::RaceTableModel::BetColumn).data().toString(), QStringLiteral("Multi en 5"));
        QVERIFY(totalsShown(window).startsWith(QStringLiteral("Courses : 1 — Mise : 15,00 € — Gains : 42,00 €")));

        QVERIFY(access.history()->store(race(day.addDays(1), "Auteuil", pick5, 2000, 0)).ok());
        QVERIFY(window.reload());
        QVERIFY(bet->findText(QStringLiteral("Pick5")) >= 0);
        QCOMPARE(bet->currentText(), QStringLiteral("Multi en 5"));
        QCOMPARE(window.model().races().size(), std::size_t(1));
    }

    void theBudgetLineIsInTheCountQuestionOnlyWithABudget()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mes-courses.sqlite"));
        ScriptedPlatform platform;
        HistoryAccess access(platform, path);
        mvx::GameState state;
        state.stakes = mvx::defaultStakes();
        access.attachTo(state);

        QVERIFY(!mvx::prepareTickets(state, generator(5, 3), mvx::TicketDestination::List, platform));
        QCOMPARE(platform.messages.size(), std::size_t(1));
        QCOMPARE(platform.messages[0].text,
            QStringLiteral("Votre sélection va générer \n60 tickets \rCoût : 60 tickets × 1,00 € = 60,00 €\r "
                           "Voulez vous continuer ?"));
        QVERIFY(!QFile::exists(path));

        mvx::Tfmises stakes(state.stakes, platform);
        stakes.setHistory(&access);
        stakes.show();
        type(&stakes, "ebudget", QStringLiteral("100"));
        click(&stakes, "bok");
        QCOMPARE(access.history()->monthlyBudget().value, std::optional<std::int64_t>(10000));
        RaceRecord played = race(QDate::currentDate(), "Enghien", *mvx::classicBet(5), 8400, 0);
        QVERIFY(access.history()->store(played).ok());

        platform.messages.clear();
        QVERIFY(!mvx::prepareTickets(state, generator(5, 3), mvx::TicketDestination::List, platform));
        QCOMPARE(platform.messages.at(0).text,
            QStringLiteral("Votre sélection va générer \n60 tickets \rCoût : 60 tickets × 1,00 € = 60,00 €\r"
                           "Budget du mois : 100,00 € dont 84,00 € déjà joués ; ce jeu : 60,00 €\r"
                           "Ce jeu dépasse le budget du mois de 44,00 €.\r Voulez vous continuer ?"));

        // The field shows the budget again; emptied, the budget goes and so does the line.
        stakes.hide();
        stakes.show();
        QCOMPARE(stakes.findChild<QLineEdit *>(QStringLiteral("ebudget"))->text(), QStringLiteral("100,00"));
        type(&stakes, "ebudget", QString());
        click(&stakes, "bok");
        platform.messages.clear();
        QVERIFY(!mvx::prepareTickets(state, generator(5, 3), mvx::TicketDestination::List, platform));
        QVERIFY(!platform.messages.at(0).text.contains(QStringLiteral("Budget")));
    }

    // A file that is not a history: said once, in French, when the punter first opens "Mes
    // courses"; the window does not open, the budget adds nothing and the file is left as it was.
    // Balances a file could hold, each within 64-bit cents, whose sum is not: no chart rather
    // than a line that wraps to the other side.
    void aBalancePastSixtyFourBitsDrawsNoChart()
    {
        const QDate day(2026, 5, 1);
        RaceRecord big = race(day, "A", *mvx::classicBet(3), 0, 0);
        big.balanceCents = std::numeric_limits<std::int64_t>::max() / 2 + 1;
        QCOMPARE(mvx::cumulativeBalance({ big }).size(), std::size_t(1));
        big.date = day.addDays(1);
        QVERIFY(mvx::cumulativeBalance({ big, big }).empty());
    }

    void aDamagedHistoryIsReportedOnceAndLeftAlone()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mes-courses.sqlite"));
        const QByteArray garbage("Ceci n'est pas une base : des notes de courses.\n");
        mvx::testing::writeBytes(path, garbage);
        ScriptedPlatform platform;
        HistoryAccess access(platform, path);
        mvx::GameState state;
        state.stakes = mvx::defaultStakes();
        access.attachTo(state);

        QVERIFY(!mvx::prepareTickets(state, generator(5, 3), mvx::TicketDestination::List, platform));
        QCOMPARE(platform.messages.size(), std::size_t(1)); // the count question alone
        QVERIFY(!platform.messages[0].text.contains(QStringLiteral("Budget")));

        Tfmescourses window(access, platform);
        QCOMPARE(window.exec(), int(QDialog::Rejected));
        QCOMPARE(platform.messages.size(), std::size_t(2));
        QCOMPARE(platform.messages[1].title, QStringLiteral("Mes courses"));
        QVERIFY(platform.messages[1].text.startsWith(QStringLiteral("Mes courses ne peuvent pas être utilisées : ")));
        QCOMPARE(window.exec(), int(QDialog::Rejected));
        QCOMPARE(platform.messages.size(), std::size_t(2));
        QCOMPARE(mvx::testing::readBytes(path), garbage);
    }
};

QTEST_MAIN(MesCoursesTest)
#include "mescourses_test.moc"
