// The comparison window judging the tickets of a chosen bet against the official result.

#include "combi/game_cost.h"
#include "support/scripted_platform.h"
#include "ui/official_result_dialog.h"
#include "ui/ticket_grid.h"
#include "ui/ufcompare.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

class BetCompareTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // 9 and 4 dead-heat 4th: each pays with the winner at its own rapport, never the two
    // together; the number of runners typed in the dialog is kept with the result.
    void twoOfFourTicketsShowTheirRapport()
    {
        mvx::GameState state;
        for (int h = 1; h <= 16; ++h)
            state.selection.otherHorses[std::size_t(h)] = h;
        const std::vector<std::string> tickets { "GI", "ID", "DG", "AB" }; // 7-9, 9-4, 4-7, 1-2
        state.tickets = mvx::TicketList::stored(mvx::TicketLayout { 2, 0, { 1, 2, 3 } }, 4);
        for (const std::string &letters : tickets)
            state.tickets.append(letters);
        // The game's bet, as the systems page sets it when the tickets are made.
        state.bet = mvx::Bet { mvx::Bet::Kind::TwoOfFour, 2 };
        state.stakes = mvx::defaultStakes();
        state.stakes.multiplier = 3;
        mvx::testing::ScriptedPlatform platform;
        mvx::Tfcompare window(state, platform);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        bool filled = false;
        QTimer::singleShot(0, &window, [&] {
            auto *dialog = qobject_cast<mvx::OfficialResultDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            auto *arrival = dialog->findChild<QLineEdit *>(QStringLiteral("earrivee"));
            arrival->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(arrival, QStringLiteral("7 - 13 - 2 - 9 = 4"));
            auto *runners = dialog->findChild<QSpinBox *>(QStringLiteral("spartants"));
            QVERIFY(!runners->accessibleName().isEmpty());
            runners->setFocus(Qt::TabFocusReason);
            runners->selectAll();
            QTest::keyClicks(runners, QStringLiteral("12"));
            QApplication::clipboard()->setText(QStringLiteral("2sur4 7-9 4,10\n2sur4 7-4 5,30\nCouplé placé 7-13 3\n"));
            auto *rapports = dialog->findChild<QTableWidget *>(QStringLiteral("grapports"));
            rapports->setFocus(Qt::TabFocusReason);
            QTest::keyClick(rapports, Qt::Key_V, Qt::ControlModifier);
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("bok")), Qt::LeftButton);
            filled = !dialog->isVisible();
            if (dialog->isVisible())
                dialog->reject();
        });
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("bresultatofficiel")), Qt::LeftButton);
        QVERIFY(filled);
        QVERIFY(state.officialResult);
        QCOMPARE(state.officialResult->runners, 12);
        QVERIFY(window.findChild<QLabel *>(QStringLiteral("lresultatofficiel"))
                    ->toolTip()
                    .endsWith(QStringLiteral("\nPartants : 12")));

        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("AOLButton1")), Qt::LeftButton);
        const QAbstractItemModel *model
            = window.findChild<mvx::ui::TicketGrid *>(QStringLiteral("grillecomb"))->table()->model();
        auto shown = [&](int row) {
            const int label = model->columnCount() - 2;
            return QStringList { model->index(row, label).data().toString(),
                model->index(row, label + 1).data().toString() };
        };
        QCOMPARE(shown(1), QStringList({ "2sur4", "7-9 : 4,10 €" }));
        QCOMPARE(shown(2), QStringList({ "", "" }));
        QCOMPARE(shown(3), QStringList({ "2sur4", "7-4 : 5,30 €" }));
        QCOMPARE(shown(4), QStringList({ "", "" }));
        QVERIFY(window.findChild<QLabel *>(QStringLiteral("laffresul"))->text().contains(QStringLiteral("2 2sur4")));
        // The money is the 2sur4's own stake, and the race can be kept with its bet.
        const QString stake = mvx::frenchEuroText(4 * state.stakes.unitStake(state.bet) * 3);
        QVERIFY(window.findChild<QLabel *>(QStringLiteral("laffresul"))
                    ->text()
                    .contains(QStringLiteral("Mise : ") + stake + QStringLiteral("\n")));
        QVERIFY(window.findChild<QPushButton *>(QStringLiteral("benregistrercourse"))->isEnabled());
    }
};

QTEST_MAIN(BetCompareTest)
#include "bet_compare_test.moc"
