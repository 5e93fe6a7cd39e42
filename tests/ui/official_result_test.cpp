#include "support/scripted_platform.h"
#include "ui/official_result_dialog.h"
#include "ui/ticket_grid.h"
#include "ui/ufcompare.h"

#include "arrival/official_result.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>

using mvx::OfficialResultDialog;
using mvx::Tfcompare;
using mvx::testing::ScriptedPlatform;

namespace {

// The selection is horses 1..16, ticket letter "A" horse 1; every ticket of one size.
void setTickets(mvx::GameState &state, const std::vector<std::vector<int>> &tickets)
{
    state.selection = {};
    for (int h = 1; h <= 16; ++h)
        state.selection.otherHorses[std::size_t(h)] = h;
    const int size = int(tickets[0].size());
    state.tickets = mvx::TicketList::stored(mvx::TicketLayout { size, 0, { 1, 2, 3 } }, std::int64_t(tickets.size()));
    for (const std::vector<int> &horses : tickets) {
        std::string letters;
        for (int h : horses)
            letters += char('A' + h - 1);
        state.tickets.append(letters);
    }
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
    void click(const char *name) { QTest::mouseClick(find<QPushButton>(QString::fromLatin1(name)), Qt::LeftButton); }
    QString summary() { return find<QLabel>(QStringLiteral("laffresul"))->text(); }
    // The cells of grid row `row` on screen, from the first horse on.
    QStringList row(int row)
    {
        const QAbstractItemModel *model = find<mvx::ui::TicketGrid>(QStringLiteral("grillecomb"))->table()->model();
        QStringList cells;
        for (int c = 1; c < model->columnCount(); ++c)
            cells << model->index(row, c).data().toString();
        return cells;
    }
    void typePayout(const char *name, const QString &text)
    {
        auto *field = find<QLineEdit>(QString::fromLatin1(name));
        field->setFocus(Qt::TabFocusReason);
        field->selectAll();
        QTest::keyClicks(field, text);
        find<QPushButton>(QStringLiteral("bquit"))->setFocus(Qt::TabFocusReason); // leaving the field
    }

    void typeArrival(const QStringList &places)
    {
        for (int p = 1; p <= places.size(); ++p) {
            auto *box = find<QComboBox>(QStringLiteral("c%1").arg(p));
            box->setFocus();
            box->lineEdit()->selectAll();
            QTest::keyClicks(box, places[p - 1]);
        }
    }

    // Opens the official result dialog, lets `fill` work in it, and closes it with "Annuler"
    // should `fill` have left it open. False when the dialog never opened or never had the focus.
    bool withDialog(const std::function<void(OfficialResultDialog &)> &fill)
    {
        bool opened = false;
        QTimer::singleShot(0, &window, [&] {
            auto *dialog = qobject_cast<OfficialResultDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialog->activateWindow();
            opened = QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }, 5000);
            if (opened)
                fill(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        click("bresultatofficiel");
        return opened;
    }

    ScriptedPlatform platform;
    Tfcompare window;
    bool active = false;
};

template <typename T> T *child(QWidget &parent, const char *name)
{
    return parent.findChild<T *>(QString::fromLatin1(name));
}

void typeInto(QWidget &dialog, const char *name, const QString &text)
{
    auto *field = child<QLineEdit>(dialog, name);
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    QTest::keyClicks(field, text);
}

// A cell of the rapports table typed in from the keyboard: F2, the text, Enter.
void typeCell(QTableWidget *table, int row, int column, const QString &text)
{
    table->setFocus(Qt::TabFocusReason);
    table->setCurrentCell(row, column);
    QTest::keyClick(table, Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    if (!editor || editor == table || !table->isAncestorOf(editor))
        return;
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

} // namespace

class OfficialResultTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
    void cleanup() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // A dead heat for third place and two non-runners typed in, rapports pasted and typed, then
    // the comparison down to the balance; Escape keeps the result, "Effacer" goes back to the boxes.
    void deadHeatAndNonRunnersToTheBalance()
    {
        mvx::GameState state;
        setTickets(state,
            { { 7, 13, 2, 9 }, { 7, 13, 9, 2 }, { 13, 7, 2, 9 }, { 7, 4, 13, 2 }, { 4, 16, 7, 13 }, { 1, 3, 5, 6 } });
        state.stakes.unitStakeCents[2] = 150; // 1,50 € the quarté+
        state.stakes.multiplier = 2;
        Window w(state);
        QVERIFY(w.active);

        QStringList offered;
        QString messageAfterTwice;
        const bool opened = w.withDialog([&](OfficialResultDialog &d) {
            auto *complement = child<QComboBox>(d, "ccomplement");
            for (int i = 0; i < complement->count(); ++i)
                offered << complement->itemText(i);
            auto *rapports = child<QTableWidget>(d, "grapports");
            QVERIFY(!rapports->tabKeyNavigation());
            QVERIFY(!rapports->accessibleName().isEmpty());

            typeInto(d, "earrivee", QStringLiteral("7 - 13 - 7"));
            QTest::mouseClick(child<QPushButton>(d, "bok"), Qt::LeftButton);
            messageAfterTwice = w.platform.messageTexts().value(0);
            QVERIFY(d.isVisible());

            typeInto(d, "earrivee", QStringLiteral("7 - 13 - 2 = 9 - 20"));
            typeInto(d, "enonpartants", QStringLiteral("4, 16"));
            QApplication::clipboard()->setText(QStringLiteral("Quarte ordre 7-13-2-9 31.40\n"
                                                              "Quarte ordre 7-13-9-2 1029.00\n"
                                                              "Quarte desordre 7-13-2-9 3.80\r\n"
                                                              "Quarte desordre 7-13-9-2 3.50\n"));
            rapports->setFocus(Qt::TabFocusReason);
            QTest::keyClick(rapports, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(rapports->rowCount(), 5); // four rapports and the empty row
            typeCell(rapports, 4, 0, QStringLiteral("Quarte 1 NP")); // typed without its accent, as punters do
            typeCell(rapports, 4, 1, QStringLiteral("7-13-2-NP"));
            typeCell(rapports, 4, 2, QStringLiteral("4,50"));
            QTest::mouseClick(child<QPushButton>(d, "bok"), Qt::LeftButton);
        });
        QVERIFY(opened);
        // Every horse the tickets do not hold, whatever the selection's unused boxes hold.
        QCOMPARE(offered, QStringList({ "Aucun", "8", "10", "11", "12", "14", "15", "17", "18", "19", "20" }));
        QCOMPARE(messageAfterTwice, QStringLiteral("Le cheval 7 est deux fois dans l'arrivée."));
        QVERIFY(state.officialResult);
        QVERIFY(state.officialResult->arrival == std::vector<std::vector<int>>({ { 7 }, { 13 }, { 2, 9 }, { 20 } }));
        QVERIFY(state.officialResult->nonRunners == std::vector<int>({ 4, 16 }));
        QCOMPARE(state.officialResult->rapports.size(), std::size_t(5));
        const mvx::OfficialResult fiveRapports = *state.officialResult;
        QCOMPARE(w.find<QLabel>(QStringLiteral("lresultatofficiel"))->toolTip(),
            QStringLiteral("Arrivée : 7 - 13 - 2 = 9 - 20\nNon-partants : 4, 16"));
        QVERIFY(w.find<QLabel>(QStringLiteral("lresultatofficiel"))->text().startsWith(QStringLiteral("Arrivée : 7")));
        // The line under the button has room for its start only: the results box shows it whole.
        QCOMPARE(w.summary(), QStringLiteral("Résultat officiel\nArrivée : 7 - 13 - 2 = 9 - 20\nNon-partants : 4, 16"));
        QVERIFY(!w.find<QComboBox>(QStringLiteral("c1"))->isEnabled());

        w.click("AOLButton1");
        QCOMPARE(w.row(1).mid(4), QStringList({ "Quarte ordre", "7-13-2-9 : 31,40 €" }));
        QCOMPARE(w.row(2).mid(4), QStringList({ "Quarte ordre", "7-13-9-2 : 1029,00 €" }));
        // The better of the two désordre rapports it reaches.
        QCOMPARE(w.row(3).mid(4), QStringList({ "Quarté désordre", "7-13-2-9 : 3,80 €" }));
        QCOMPARE(w.row(4).mid(4), QStringList({ "Quarté 1 NP", "7-13-2-NP : 4,50 €" }));
        QCOMPARE(w.row(5).mid(4), QStringList({ "Remboursé", "" }));
        QCOMPARE(w.row(6).mid(4), QStringList({ "", "" }));
        // Six tickets at 1,50 € played twice; the refund of one; 1068,70 of gains played twice.
        QCOMPARE(w.summary(),
            QStringLiteral("2 Quarte\n1 Quarté(s) désordre(s)\n1 Quarté 1 NP\n1 Remboursé\nGains  :1068,7\n"
                           "Gains (× 2) : %2,40 €\nMise : 18,00 €\nRemboursement : 3,00 €\nBilan : +%1,40 €")
                .arg(QLocale(QLocale::French).toString(2122), QLocale(QLocale::French).toString(2137)));

        // Escape leaves the result as it was.
        const auto kept = state.officialResult;
        QVERIFY(w.withDialog([&](OfficialResultDialog &d) {
            typeInto(d, "earrivee", QStringLiteral("1 - 2 - 3"));
            QTest::keyClick(&d, Qt::Key_Escape);
        }));
        QVERIFY(state.officialResult == kept);
        QCOMPARE(w.row(1).mid(4), QStringList({ "Quarte ordre", "7-13-2-9 : 31,40 €" }));

        // Shown again as typed, the result reads back the same.
        QVERIFY(w.withDialog([&](OfficialResultDialog &d) {
            QCOMPARE(child<QLineEdit>(d, "earrivee")->text(), QStringLiteral("7 - 13 - 2 = 9 - 20"));
            QCOMPARE(child<QLineEdit>(d, "enonpartants")->text(), QStringLiteral("4, 16"));
            QCOMPARE(child<QTableWidget>(d, "grapports")->item(1, 2)->text(), QStringLiteral("1029,00"));
            QTest::mouseClick(child<QPushButton>(d, "bok"), Qt::LeftButton);
        }));
        QCOMPARE(w.platform.messages.size(), std::size_t(1));
        QVERIFY(*state.officialResult == fiveRapports);

        // "Effacer le résultat": the five boxes again, and the plain comparison.
        QVERIFY(w.withDialog(
            [&](OfficialResultDialog &d) { QTest::mouseClick(child<QPushButton>(d, "beffacer"), Qt::LeftButton); }));
        QVERIFY(!state.officialResult);
        QVERIFY(w.find<QComboBox>(QStringLiteral("c1"))->isEnabled());
        QVERIFY(w.find<QLabel>(QStringLiteral("lresultatofficiel"))->text().isEmpty());
        QVERIFY(w.summary().isEmpty());
    }

    // Today's quinté+ with its rapports for 1 €, played three times: the first three and the 5th
    // are paid the Bonus 3 at twice its rapport, the Bonus 4 sur 5 no longer published is said,
    // and the payout fields are off while the result's own rapports pay.
    void todaysQuinteWithRapportsForOneEuro()
    {
        mvx::GameState state;
        setTickets(state, { { 1, 2, 3, 5, 9 }, { 1, 2, 4, 5, 9 } });
        state.stakes.unitStakeCents[3] = 200; // 2 € the quinté+
        state.stakes.multiplier = 3;
        Window w(state);
        QVERIFY(w.active);
        QVERIFY(w.withDialog([&](OfficialResultDialog &d) {
            typeInto(d, "earrivee", QStringLiteral("1 - 2 - 3 - 4 - 5"));
            auto *base = child<QComboBox>(d, "cbaserapports");
            QVERIFY(!base->accessibleName().isEmpty());
            base->setFocus(Qt::TabFocusReason);
            QTest::keyClick(base, Qt::Key_Down);
            QCOMPARE(base->currentText(), QStringLiteral("1 €"));
            QVERIFY(d.pasteRapports(QStringLiteral("Quinté+ ordre 1-2-3-4-5 1 000,00\nBonus 3 3,45\n")));
            QTest::mouseClick(child<QPushButton>(d, "bok"), Qt::LeftButton);
        }));
        QVERIFY(state.officialResult && state.officialResult->rapportsPerEuro);
        QVERIFY(!w.find<QLineEdit>(QStringLiteral("eqordre"))->isEnabled());

        w.click("AOLButton1");
        QCOMPARE(w.row(1).mid(5), QStringList({ "Bonus 3", "1-2-3 : 6,90 €" }));
        QCOMPARE(w.row(2).mid(5), QStringList({ "Bonus 4 sur 5", "1-2-4-5 : rapport non publié" }));
        QCOMPARE(w.summary(),
            QStringLiteral("1 Bonus 4 sur 5 \n1 Bonus 3\n1 gagnant sans rapport publié : Bonus 4 sur 5\nGains  :6,9\n"
                           "Gains (× 3) : 20,70 €\nMise : 12,00 €\nRemboursement : 0,00 €\nBilan : +8,70 €"));

        // The choice comes back with the result.
        QVERIFY(w.withDialog(
            [&](OfficialResultDialog &d) { QCOMPARE(child<QComboBox>(d, "cbaserapports")->currentIndex(), 1); }));
    }

    // The payout fields read a comma and a full stop alike, whatever the desktop's language; a
    // text with two marks reads 0, and the field says so.
    void payoutsReadEitherDecimalMark()
    {
        mvx::GameState state;
        setTickets(state, { { 7, 13, 2 } });
        {
            Window w(state);
            QVERIFY(w.active);
            w.typeArrival({ "7", "13", "2", "4", "5" });
            w.typePayout("etordre", QStringLiteral("12.30"));
            QCOMPARE(w.find<QLineEdit>(QStringLiteral("etordre"))->text(), QStringLiteral("12,30"));
            w.click("AOLButton1");
            QCOMPARE(state.payouts[8], 12.3);
        }
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        Window w(state);
        QVERIFY(w.active);
        w.typeArrival({ "7", "13", "2", "4", "5" });
        w.typePayout("etdesordre", QStringLiteral("7,5"));
        w.typePayout("eqordre", QStringLiteral("1,2.3"));
        QCOMPARE(w.find<QLineEdit>(QStringLiteral("etdesordre"))->text(), QStringLiteral("7.50"));
        QCOMPARE(w.find<QLineEdit>(QStringLiteral("eqordre"))->text(), QStringLiteral("0.00"));
        w.click("AOLButton1");
        QCOMPARE(state.payouts[9], 7.5);
        QCOMPARE(state.payouts[0], 0.0);
    }
};

QTEST_MAIN(OfficialResultTest)
#include "official_result_test.moc"
