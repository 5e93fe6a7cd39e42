#include "combi/covering_search.h"
#include "combi/own_library.h"
#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/own_system_tab.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <memory>

using mvx::Application;
using mvx::OwnSystemTab;
using mvx::testing::ScriptedPlatform;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Run
{
    Run()
    {
        platform.folder = folder.path() + QLatin1Char('/');
        app = std::make_unique<Application>(platform);
        app->show();
        tab = app->mainWindow().findChild<OwnSystemTab *>(QStringLiteral("tperso"));
        app->mainWindow().findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentWidget(tab);
    }
    template <typename T = QWidget> T *find(const QString &name)
    {
        for (T *widget : app->mainWindow().findChildren<T *>(name))
            if (widget->window() == &app->mainWindow())
                return widget;
        qFatal("no control named %s", qPrintable(name));
        return nullptr;
    }
    QComboBox *box(const QString &name) { return find<QComboBox>(name); }
    void choose(const QString &name, int value) { box(name)->setCurrentIndex(box(name)->findData(value)); }
    void click(const QString &name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    void setHorses(int count, int first)
    {
        for (int i = 1; i <= 20; ++i)
            box(QStringLiteral("c%1").arg(i))->setEditText(i <= count ? QString::number(first + i - 1) : QString());
    }
    // The ticket file "Générer un fichier" writes, or the text of its refusal.
    QString generate(const QString &name)
    {
        const QString path = QDir(folder.path()).filePath(name);
        platform.messages.clear();
        platform.fileNames = { path };
        click(QStringLiteral("bgenerefichier"));
        return platform.messages.empty() ? QString::fromLatin1(readFile(path)) : platform.messages.back().text;
    }
    QString result() { return find<QLabel>(QStringLiteral("lpersoresultat"))->text(); }

    QTemporaryDir folder;
    ScriptedPlatform platform;
    std::unique_ptr<Application> app;
    OwnSystemTab *tab = nullptr;
};

// The ticket file lines a table gives with horse p + offset at selection position p.
QByteArray linesOf(const std::vector<std::vector<int>> &rows, int offset)
{
    QByteArray lines;
    for (const std::vector<int> &row : rows) {
        for (int p : row)
            lines += QByteArray::number(p + offset) + ',';
        lines += "\r\n";
    }
    return lines;
}

} // namespace

class OwnSystemTabTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void searchThenTicketsFromTheTable();
    void gameSavedAndLoadedOnTheTab();
    void budgetLinesFollowTheSearch();
    void promisesOfTheBetSavedWithTheGame();
};

void OwnSystemTabTest::searchThenTicketsFromTheTable()
{
    Run run;
    // Twelve horses, three per ticket, every pair of the first two: no catalogue system does it.
    run.choose(QStringLiteral("cpersochevaux"), 12);
    run.choose(QStringLiteral("cpersoticket"), 3);
    run.choose(QStringLiteral("cpersobase"), 0);
    run.choose(QStringLiteral("cpersogarantie"), 2);
    QCOMPARE(run.box(QStringLiteral("cpersogarantie"))->currentText(),
        QStringLiteral("Au moins un ticket contient les 2 premiers s'ils sont dans la sélection"));
    run.setHorses(12, 3);

    // The library answers at once, with a table at the bound.
    const std::optional<mvx::LibraryTable> library = mvx::libraryTable(run.tab->ownSystem().request);
    QVERIFY(library);
    QCOMPARE(run.tab->ownSystem().rows, library->rows);
    QVERIFY(mvx::keepsGuarantee(library->rows, run.tab->ownSystem().request));
    QCOMPARE(run.result(),
        QStringLiteral("24 tickets au lieu de 220 (aucun système ne peut faire moins de 24) — table de la "
                       "bibliothèque, garantie vérifiée"));

    // "Chercher" cannot beat it, and "Annuler" at once never loses it.
    run.platform.messages.clear();
    run.platform.stopLongWorkAt = 0;
    run.click(QStringLiteral("bchercher"));
    QCOMPARE(run.tab->ownSystem().rows, library->rows);
    QCOMPARE(run.tab->ownSystem().origin, mvx::OwnTableOrigin::Library);
    run.platform.stopLongWorkAt.reset();
    run.click(QStringLiteral("bchercher"));
    const mvx::OwnSystem found = run.tab->ownSystem();
    QCOMPARE(found.rows, library->rows);
    QVERIFY(run.platform.messages.empty());

    // 90 % of the arrivals: no table until "Chercher", then fewer tickets, the share counted here
    // pair by pair.
    QCOMPARE(run.box(QStringLiteral("cpersopart"))->accessibleName(), QStringLiteral("Garantie pour"));
    run.choose(QStringLiteral("cpersopart"), 90);
    QCOMPARE(run.generate(QStringLiteral("none.txt")), QStringLiteral("Cherchez d'abord un système"));
    run.click(QStringLiteral("bchercher"));
    const mvx::OwnSystem partial = run.tab->ownSystem();
    QCOMPARE(partial.sharePercent, 90);
    QVERIFY(partial.rows.size() < 24);
    int won = 0;
    for (int a = 1; a <= 12; ++a)
        for (int b = a + 1; b <= 12; ++b)
            won += std::any_of(partial.rows.begin(), partial.rows.end(), [&](const std::vector<int> &row) {
                return std::count(row.begin(), row.end(), a) && std::count(row.begin(), row.end(), b);
            });
    QVERIFY2(won * 100 >= 90 * 66 && won < 66, qPrintable(QString::number(won)));
    QCOMPARE(run.result(),
        QStringLiteral("%1 tickets au lieu de 24 pour 100 % — la garantie vaut pour %2,%3 % des arrivées (vérifié)")
            .arg(partial.rows.size())
            .arg(won * 1000 / 66 / 10)
            .arg(won * 1000 / 66 % 10));
    run.choose(QStringLiteral("cpersopart"), 100);
    QCOMPARE(run.tab->ownSystem().rows, library->rows);

    // The tickets: one line per row, the horses of the boxes; other horses keep the table.
    QCOMPARE(run.generate(QStringLiteral("own.txt")), QString::fromLatin1(linesOf(found.rows, 2)));
    run.setHorses(12, 5);
    QCOMPARE(run.generate(QStringLiteral("moved.txt")), QString::fromLatin1(linesOf(found.rows, 4)));
    QCOMPARE(run.app->state().tickets.count(), 24);

    // As on the generator: an empty box or a repeated horse among the first twelve is refused.
    run.box(QStringLiteral("c12"))->setEditText(QStringLiteral("5"));
    QCOMPARE(run.generate(QStringLiteral("repeated.txt")), QStringLiteral("Il y a une erreur dans votre sélection"));
    run.box(QStringLiteral("c12"))->setEditText(QString());
    QCOMPARE(run.generate(QStringLiteral("empty.txt")), QStringLiteral("Il y a une erreur dans votre sélection"));
    run.setHorses(12, 5);

    // Two bases: the boxes follow at once, and the table is gone until the next search.
    run.choose(QStringLiteral("cpersobase"), 2);
    QCOMPARE(run.box(QStringLiteral("cpersogarantie"))->count(), 1); // T = 3 only
    QCOMPARE(run.box(QStringLiteral("c1"))->palette().color(QPalette::Base), QColor(255, 0, 0));
    QCOMPARE(run.box(QStringLiteral("c2"))->palette().color(QPalette::Base), QColor(255, 0, 0));
    QVERIFY(run.box(QStringLiteral("c3"))->palette().color(QPalette::Base) != QColor(255, 0, 0));
    QVERIFY(run.result().isEmpty());
    for (const char *button : { "bvoirtick", "bimprimetickets", "bcompar" }) {
        run.platform.messages.clear();
        run.click(QString::fromLatin1(button));
        QCOMPARE(run.platform.messageTexts(), QStringList { QStringLiteral("Cherchez d'abord un système") });
    }
    run.choose(QStringLiteral("cpersochevaux"), 8);
    QVERIFY(run.box(QStringLiteral("c8"))->isVisibleTo(&run.app->mainWindow()));
    QVERIFY(!run.box(QStringLiteral("c9"))->isVisibleTo(&run.app->mainWindow()));
}

void OwnSystemTabTest::gameSavedAndLoadedOnTheTab()
{
    Run run;
    run.choose(QStringLiteral("cpersochevaux"), 9);
    run.choose(QStringLiteral("cpersoticket"), 4);
    run.choose(QStringLiteral("cpersobase"), 1);
    run.choose(QStringLiteral("cpersogarantie"), 3);
    run.click(QStringLiteral("bchercher"));
    const mvx::OwnSystem saved = run.tab->ownSystem();
    QVERIFY(saved.hasTable());
    run.setHorses(9, 4);
    const QString before = run.generate(QStringLiteral("before.txt"));

    const QString game = QDir(run.folder.path()).filePath(QStringLiteral("perso.mvx"));
    run.platform.fileNames = { game };
    run.click(QStringLiteral("brengjeu"));
    const QByteArray bytes = readFile(game);
    // The record an older copy reads: a generator game of 9 horses, 4 per ticket, 1 base, reduced.
    auto field = [&](int offset) { return qFromLittleEndian<std::int32_t>(bytes.constData() + offset); };
    QCOMPARE(field(4), 3);
    QCOMPARE(QList<int>({ field(12), field(16), field(20), field(24) }), QList<int>({ 8, 3, 1, 1 }));
    // The contents (two headers) first, then the own system.
    const int first = 108 + 8 + 2 * 8;
    QCOMPARE(bytes.mid(108, 4), QByteArray("SOMM"));
    QCOMPARE(bytes.mid(first, 4), QByteArray("MSYS"));
    // The library's table: the share section says so after the own system's.
    QCOMPARE(saved.origin, mvx::OwnTableOrigin::Library);
    QCOMPARE(bytes.size(), first + 8 + 10 + int(saved.rows.size()) * 4 + 8 + 3);
    QCOMPARE(bytes.mid(first + 8 + 10 + int(saved.rows.size()) * 4, 4), QByteArray("MPAR"));

    // Something else on the tab and in the boxes, then the game again: the same table and tickets.
    run.choose(QStringLiteral("cpersochevaux"), 15);
    run.setHorses(15, 1);
    run.platform.fileNames = { game };
    run.click(QStringLiteral("bchargejeu"));
    QVERIFY(run.platform.messages.empty());
    QCOMPARE(run.tab->ownSystem().rows, saved.rows);
    QCOMPARE(run.tab->ownSystem().request.guarantee, 3);
    QCOMPARE(run.generate(QStringLiteral("after.txt")), before);

    // A table for 80 % of the arrivals comes back with its share on the tab.
    run.choose(QStringLiteral("cpersopart"), 80);
    run.click(QStringLiteral("bchercher"));
    const mvx::OwnSystem partial = run.tab->ownSystem();
    QVERIFY(partial.hasTable() && partial.rows.size() < saved.rows.size());
    const QString partialGame = QDir(run.folder.path()).filePath(QStringLiteral("partiel.mvx"));
    run.platform.fileNames = { partialGame };
    run.click(QStringLiteral("brengjeu"));
    run.choose(QStringLiteral("cpersopart"), 100);
    run.platform.fileNames = { partialGame };
    run.click(QStringLiteral("bchargejeu"));
    QVERIFY(run.platform.messages.empty());
    QCOMPARE(run.box(QStringLiteral("cpersopart"))->currentData().toInt(), 80);
    QCOMPARE(run.tab->ownSystem().rows, partial.rows);
    QVERIFY(run.result().contains(QStringLiteral("des arrivées (vérifié)")));

    // A row changed by hand no longer keeps the guarantee: the table is dropped with a message.
    auto load = [&](const QByteArray &content) {
        QFile file(game);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        run.platform.messages.clear();
        run.platform.fileNames = { game };
        run.click(QStringLiteral("bchargejeu"));
    };
    QByteArray broken = bytes;
    broken[first + 8 + 10 + 1] = char(1); // the first row's second horse: the base, twice
    load(broken);
    QCOMPARE(run.platform.messages.size(), std::size_t(1));
    QVERIFY(!run.tab->ownSystem().hasTable());
    QCOMPARE(run.tab->ownSystem().request.horses, 9);

    // The record alone, its section cut away, opens the tab without a table and says so; as
    // mode 2 it is the generator game an older copy opens, with nothing said.
    load(bytes.left(108));
    QCOMPARE(run.platform.messageTexts(),
        QStringList {
            QStringLiteral("Ce fichier de jeu est endommagé : le jeu est chargé sans le système personnel.") });
    QCOMPARE(run.find<QTabWidget>(QStringLiteral("PageControl1"))->currentWidget(), run.tab);
    QCOMPARE(run.tab->ownSystem().request.perTicket, 4);
    QVERIFY(!run.tab->ownSystem().hasTable());
    QByteArray older = bytes.left(108);
    qToLittleEndian<std::int32_t>(2, older.data() + 4);
    load(older);
    QVERIFY(run.platform.messages.empty());
    QCOMPARE(
        run.find<QTabWidget>(QStringLiteral("PageControl1"))->currentWidget()->objectName(), QStringLiteral("tcombi"));
    QCOMPARE(run.box(QStringLiteral("cnbchecomb"))->currentText(), QStringLiteral("9"));
    QCOMPARE(run.box(QStringLiteral("cnbchetick"))->currentText(), QStringLiteral("4"));
    QCOMPARE(run.box(QStringLiteral("cnbchebase"))->currentText(), QStringLiteral("1"));
}

// A Multi en 6 made on the tab keeps its promise through a saved game; a couplé placé's promise
// about three of the first three is saved with its M and comes back as it was.
void OwnSystemTabTest::promisesOfTheBetSavedWithTheGame()
{
    Run run;
    run.choose(QStringLiteral("cpersochevaux"), 9);
    run.choose(QStringLiteral("cpersobase"), 0);
    run.choose(QStringLiteral("cpersoticket"), 6);
    QCOMPARE(run.box(QStringLiteral("cpersoticket"))->currentText(), QStringLiteral("6 : Multi en 6"));
    QCOMPARE(run.box(QStringLiteral("cpersogarantie"))->currentText(),
        QStringLiteral("si les 4 premiers sont parmi vos 9 chevaux, un ticket paie le Multi en 6"));
    run.setHorses(9, 2);
    if (!run.tab->ownSystem().hasTable())
        run.click(QStringLiteral("bchercher"));
    const mvx::OwnSystem multi = run.tab->ownSystem();
    QVERIFY(multi.hasTable() && multi.rows.size() < 84); // fewer than the C(9, 6) of the full game
    QCOMPARE(mvx::promiseSize(multi.request), 4);
    QVERIFY(mvx::keepsGuarantee(multi.rows, multi.request));
    const QString tickets = run.generate(QStringLiteral("multi.txt"));
    const QString game = QDir(run.folder.path()).filePath(QStringLiteral("multi.mvx"));
    run.platform.fileNames = { game };
    run.click(QStringLiteral("brengjeu"));

    run.choose(QStringLiteral("cpersoticket"), 3);
    run.platform.fileNames = { game };
    run.click(QStringLiteral("bchargejeu"));
    QVERIFY(run.platform.messages.empty());
    QCOMPARE(run.tab->ownSystem().rows, multi.rows);
    QCOMPARE(run.box(QStringLiteral("cpersogarantie"))->currentText(),
        QStringLiteral("si les 4 premiers sont parmi vos 9 chevaux, un ticket paie le Multi en 6"));
    QCOMPARE(run.generate(QStringLiteral("again.txt")), tickets);

    // The couplé placé, chosen in the page's "Pari" list: every three of the horses hold one of
    // the pairs.
    QComboBox *pari = run.box(QStringLiteral("cpari"));
    pari->setCurrentIndex(pari->findText(QStringLiteral("Couplé placé")));
    run.choose(QStringLiteral("cpersoticket"), 2);
    QCOMPARE(run.box(QStringLiteral("cpersogarantie"))->currentText(),
        QStringLiteral("si 3 de vos chevaux sont dans les 3 premiers, un ticket paie"));
    if (!run.tab->ownSystem().hasTable())
        run.click(QStringLiteral("bchercher"));
    const mvx::OwnSystem pairs = run.tab->ownSystem();
    QVERIFY(pairs.hasTable());
    QCOMPARE(mvx::promiseSize(pairs.request), 3);
    QVERIFY(mvx::keepsGuarantee(pairs.rows, pairs.request));
    QCOMPARE(int(pairs.rows.size()), 36 - 20); // C(9, 2) less the largest triangle-free graph
    const QString pairGame = QDir(run.folder.path()).filePath(QStringLiteral("paires.mvx"));
    run.platform.fileNames = { pairGame };
    run.click(QStringLiteral("brengjeu"));
    run.choose(QStringLiteral("cpersoticket"), 5);
    run.platform.fileNames = { pairGame };
    run.click(QStringLiteral("bchargejeu"));
    QVERIFY2(run.platform.messages.empty(), qPrintable(run.platform.messageTexts().join(QLatin1Char('|'))));
    QCOMPARE(mvx::promiseSize(run.tab->ownSystem().request), 3);
    QCOMPARE(run.tab->ownSystem().rows, pairs.rows);
}

QTEST_MAIN(OwnSystemTabTest)
// With a month's budget, the tickets "Chercher" finds are costed against it at once, each line
// of its own; a screen reader reaches the result and hears it whole, and names the share box
// by its caption rather than by its value.
void OwnSystemTabTest::budgetLinesFollowTheSearch()
{
    Run run;
    run.app->state().budgetNote = [](std::int64_t cents) {
        return QStringLiteral(
            "Budget du mois : 50,00 € dont 0,00 € déjà joués ; ce jeu : %1\nCe jeu dépasse le budget.")
            .arg(cents);
    };
    run.setHorses(9, 1);
    run.choose(QStringLiteral("cpersochevaux"), 9);
    run.choose(QStringLiteral("cpersoticket"), 4);
    run.choose(QStringLiteral("cpersobase"), 1);
    run.choose(QStringLiteral("cpersogarantie"), 3);
    run.choose(QStringLiteral("cpersopart"), 80);
    QVERIFY(!run.result().contains(QStringLiteral("Budget"))); // no table yet, nothing to cost
    run.click(QStringLiteral("bchercher"));
    QVERIFY(run.tab->ownSystem().hasTable());
    const QStringList lines = run.result().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[1].startsWith(QStringLiteral("Budget du mois")), qPrintable(lines[1]));
    QVERIFY2(lines[2].startsWith(QStringLiteral("Ce jeu dépasse")), qPrintable(lines[2]));

    // Three lines fit in the label's height.
    auto *label = run.find<QLabel>(QStringLiteral("lpersoresultat"));
    QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
        qPrintable(QStringLiteral("%1 > %2").arg(label->heightForWidth(label->width())).arg(label->height())));
    QVERIFY(label->focusPolicy() & Qt::TabFocus);
    QAccessibleInterface *result = QAccessible::queryAccessibleInterface(label);
    QVERIFY(result && result->text(QAccessible::Name).contains(QStringLiteral("Budget du mois")));
    QAccessibleInterface *share = QAccessible::queryAccessibleInterface(run.box(QStringLiteral("cpersopart")));
    QCOMPARE(share->text(QAccessible::Name), QStringLiteral("Garantie pour"));
}

#include "own_system_tab_test.moc"
