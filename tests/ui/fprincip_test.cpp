#include "combi/catalogue.h"
#include "model/settings_file.h"
#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/common_widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <memory>

using mvx::Application;
using mvx::GameState;
using mvx::Tfprincip;
using mvx::testing::ScriptedPlatform;

namespace {

// One run of the program: a fresh program folder, the scripted platform and the application
// with its main window shown and active.
struct Run
{
    explicit Run(const QByteArray &settingsFile = {})
    {
        platform.folder = folder.path() + QLatin1Char('/');
        if (!settingsFile.isEmpty()) {
            QFile file(settingsPath());
            file.open(QIODevice::WriteOnly);
            file.write(settingsFile);
        }
        app = std::make_unique<Application>(platform);
        app->show();
        window().activateWindow();
        activated = QTest::qWaitForWindowActive(&window());
    }

    Tfprincip &window() { return app->mainWindow(); }
    GameState &state() { return app->state(); }
    QString settingsPath() const { return QDir(folder.path()).filePath(QStringLiteral("MAROVELL.PAR")); }
    QString path(const QString &name) const { return QDir(folder.path()).filePath(name); }

    template <typename T = QWidget> T *find(const QString &name)
    {
        // The other windows are children of the main window and reuse some names.
        for (T *widget : window().findChildren<T *>(name))
            if (widget->window() == &window())
                return widget;
        qFatal("no control named %s", qPrintable(name));
        return nullptr;
    }
    QComboBox *box(const QString &name) { return find<QComboBox>(name); }
    QComboBox *horse(int tag) { return box(QStringLiteral("c%1").arg(tag)); }
    QComboBox *points(int tag) { return box(QStringLiteral("ComboBox%1").arg(tag)); }
    void click(const QString &name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }

    // Types into a box as the user does: focus, replace the whole text, keys one by one.
    void type(QComboBox *box, const QString &text)
    {
        box->setFocus(Qt::MouseFocusReason);
        box->lineEdit()->selectAll();
        if (text.isEmpty())
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::keyClicks(box, text);
    }
    // Moves the focus elsewhere, which is how a box is left.
    void leave() { find<QPushButton>(QStringLiteral("bquit"))->setFocus(Qt::TabFocusReason); }

    void selectGenerator(int horses, int perTicket, int bases)
    {
        find<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentWidget(find(QStringLiteral("tcombi")));
        box(QStringLiteral("cnbchecomb"))->setCurrentIndex(horses - 1);
        box(QStringLiteral("cnbchetick"))->setCurrentIndex(perTicket - 1);
        box(QStringLiteral("cnbchebase"))->setCurrentIndex(bases);
    }
    void setHorses(const QStringList &numbers)
    {
        for (int i = 0; i < numbers.size(); ++i) {
            horse(i + 1)->setCurrentIndex(-1);
            horse(i + 1)->setEditText(numbers[i]);
        }
    }

    QStringList shownPoints()
    {
        QStringList texts;
        for (int p = 1; p <= 20; ++p)
            texts.append(points(p)->currentText());
        return texts;
    }

    bool shown(QWidget *widget) { return widget->isVisibleTo(&window()); }
    bool red(QComboBox *box) { return box->palette().color(QPalette::Base) == QColor(255, 0, 0); }

    QTemporaryDir folder;
    ScriptedPlatform platform;
    std::unique_ptr<Application> app;
    bool activated = false;
};

std::array<std::int32_t, 20> pointsOf(std::initializer_list<int> leading)
{
    std::array<std::int32_t, 20> points {};
    std::copy(leading.begin(), leading.end(), points.begin());
    return points;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class FprincipTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpWithoutSettingsFile();
    void startUpWithSavedPoints();
    void countBoxesFollowTheRules();
    void digitFilterOnNumberBoxes();
    void generatorPageShowsBasesAndBoxes();
    void wheelTurnsOnlyTheBoxWithTheFocus();
    void pointsBoxesAndDefaut();
    void forecastButtons();
    void ticketFileWrittenFromThePage();
    void gameSavedAndLoadedBack();
    void closeSavesSettingsAndStartsCompanion();
    void closeGoesOnWhenSettingsCannotBeSaved();
};

void FprincipTest::startUpWithoutSettingsFile()
{
    Run run;
    QVERIFY(run.activated);
    Tfprincip &w = run.window();
    QCOMPARE(w.windowTitle(), QStringLiteral("Marovellix+"));
    QCOMPARE(w.size(), QSize(704, 523));
    QCOMPARE(w.minimumSize(), w.maximumSize());

    // Counts and their boxes.
    QCOMPARE(run.state().horseCount, 20);
    QCOMPARE(run.state().horsesPerForecast, 8);
    QCOMPARE(run.state().forecastCount, 5);
    QCOMPARE(run.box(QStringLiteral("cnbchevaux"))->currentText(), QStringLiteral("20"));
    QCOMPARE(run.box(QStringLiteral("cnbchevauxprono"))->currentText(), QStringLiteral("8"));
    QCOMPARE(run.box(QStringLiteral("cnbpronos"))->currentText(), QStringLiteral("5"));
    QCOMPARE(run.box(QStringLiteral("cnbpronos"))->count(), 200);

    // Default points 8..1, shown with twelve empty boxes.
    QCOMPARE(run.state().pointsByPosition, pointsOf({ 8, 7, 6, 5, 4, 3, 2, 1 }));
    QStringList expected = { "8", "7", "6", "5", "4", "3", "2", "1" };
    for (int p = 9; p <= 20; ++p)
        expected.append(QString());
    QCOMPARE(run.shownPoints(), expected);
    QCOMPARE(run.state().settings.interfaceLanguage, 1);

    // The systems page, reduced systems, the first sorted system selected and applied.
    auto *pages = run.find<QTabWidget>(QStringLiteral("pagec1"));
    QCOMPARE(pages->tabText(pages->currentIndex()), QStringLiteral("SYSTEMES "));
    QCOMPARE(pages->tabText(0), QStringLiteral("SYNTHESE PRONOSTICS"));
    QCOMPARE(run.find<QTabWidget>(QStringLiteral("PageControl1"))->currentWidget()->objectName(),
        QStringLiteral("tsysreduit"));
    QComboBox *systems = run.box(QStringLiteral("clistesystemes"));
    QCOMPARE(systems->count(), mvx::kSystemCount);
    QCOMPARE(systems->currentIndex(), 0);
    QCOMPARE(systems->currentText(), mvx::systemListItems().first());
    const mvx::ReducedSystem &first = mvx::reducedSystem(mvx::systemNumberOfItem(systems->currentText()));
    for (int tag = 1; tag <= 20; ++tag) {
        QCOMPARE(run.shown(run.horse(tag)), tag <= first.horseCount);
        QCOMPARE(run.red(run.horse(tag)), tag <= first.baseCount);
        QCOMPARE(run.horse(tag)->currentText(), QStringLiteral("1"));
    }
    QVERIFY(!run.state().firstShowPending);

    // Generator lists and the hidden base controls.
    QCOMPARE(run.box(QStringLiteral("cnbchecomb"))->currentText(), QStringLiteral("1"));
    QCOMPARE(run.box(QStringLiteral("cnbchetick"))->count(), 8);
    QCOMPARE(run.box(QStringLiteral("cnbchebase"))->currentText(), QStringLiteral("0"));
    for (const char *name :
        { "cposb1", "cposb2", "cposb3", "labposb1", "labposb2", "labposb3", "labpositionbasecombi" })
        QVERIFY2(run.find(QString::fromLatin1(name))->isHidden(), name);
    QVERIFY(run.find<QRadioButton>(QStringLiteral("rtopcombred"))->isChecked());
    QCOMPARE(run.state().tickets.count(), 0);

    // Only the header buttons, "Quit" and "Defaut" carry a hint.
    QStringList hinted;
    for (QWidget *child : w.findChildren<QWidget *>())
        if (child->window() == &w && !child->toolTip().isEmpty()) // the other windows are its children
            hinted.append(child->objectName());
    hinted.sort();
    QCOMPARE(hinted, QStringList({ "baidegene", "bdefaut", "binfos", "bmescourses", "bparametre", "bquit" }));

    // Later activations, as on return from a modal window, leave the page alone.
    mvx::ui::showByTag(run.find(QStringLiteral("gchevaux")), 3);
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QVERIFY(!run.shown(run.horse(4)));
}

void FprincipTest::startUpWithSavedPoints()
{
    {
        mvx::SettingsRecord saved;
        saved.interfaceLanguage = 2;
        saved.savedPointsByPosition = pointsOf({ 10, 9, 0, 25, 1 });
        Run run(mvx::encodeSettings(saved));
        QCOMPARE(run.state().settings.interfaceLanguage, 2);
        QCOMPARE(run.state().pointsByPosition, saved.savedPointsByPosition);
        // 0 and values beyond the list show an empty box; the table keeps them.
        QCOMPARE(run.shownPoints().mid(0, 6), QStringList({ "10", "9", "", "", "1", "" }));
        QCOMPARE(run.state().horsesPerForecast, 8);
    }
    {
        // A first saved point of 0 makes the others count for nothing.
        mvx::SettingsRecord saved;
        saved.savedPointsByPosition = pointsOf({ 0, 9, 9, 9 });
        Run run(mvx::encodeSettings(saved));
        QCOMPARE(run.state().pointsByPosition, pointsOf({ 8, 7, 6, 5, 4, 3, 2, 1 }));
        QCOMPARE(run.shownPoints().first(), QStringLiteral("8"));
    }
}

void FprincipTest::countBoxesFollowTheRules()
{
    Run run;
    QVERIFY(run.activated);
    QComboBox *horses = run.box(QStringLiteral("cnbchevaux"));
    QComboBox *perForecast = run.box(QStringLiteral("cnbchevauxprono"));
    QComboBox *forecasts = run.box(QStringLiteral("cnbpronos"));

    // Too many horses: the count follows the typing, leaving holds it to 49.
    run.type(horses, QStringLiteral("75"));
    QCOMPARE(run.state().horseCount, 75);
    run.leave();
    QCOMPARE(horses->currentText(), QStringLiteral("49"));
    QCOMPARE(run.state().horseCount, 49);
    QCOMPARE(perForecast->currentText(), QStringLiteral("8"));

    // Fewer horses than horses per forecast: the horses per forecast follow.
    run.type(horses, QStringLiteral("5"));
    run.leave();
    QCOMPARE(horses->currentText(), QStringLiteral("5"));
    QCOMPARE(run.state().horseCount, 5);
    QCOMPARE(perForecast->currentText(), QStringLiteral("5"));
    QCOMPARE(run.state().horsesPerForecast, 5);

    // More horses per forecast than horses.
    run.type(horses, QStringLiteral("20"));
    run.leave();
    QCOMPARE(perForecast->currentText(), QStringLiteral("5"));
    run.type(perForecast, QStringLiteral("30"));
    QVERIFY(run.state().horsesPerForecast <= 20);
    run.leave();
    QCOMPARE(perForecast->currentText(), QStringLiteral("20"));
    QCOMPARE(run.state().horsesPerForecast, 20);

    // With 30 horses, 25 per forecast is within the horses but a forecast has 20 positions.
    run.type(horses, QStringLiteral("30"));
    run.leave();
    run.type(perForecast, QStringLiteral("25"));
    run.leave();
    QCOMPARE(perForecast->currentText(), QStringLiteral("20"));
    QCOMPARE(run.state().horsesPerForecast, 20);

    // No horse count to compare with: horses per forecast are not held to it.
    run.type(horses, QString());
    QCOMPARE(horses->currentText(), QString());
    QCOMPARE(run.state().horseCount, 0);
    run.leave();
    run.type(perForecast, QStringLiteral("9"));
    run.leave();
    QCOMPARE(perForecast->currentText(), QStringLiteral("9"));
    QCOMPARE(run.state().horsesPerForecast, 9);

    // Forecasts: empty is 0, more than the table holds is brought back to 500.
    run.type(forecasts, QString());
    QCOMPARE(run.state().forecastCount, 0);
    run.type(forecasts, QStringLiteral("9999"));
    QVERIFY(run.state().forecastCount <= 500);
    run.leave();
    QCOMPARE(forecasts->currentText(), QStringLiteral("500"));
    QCOMPARE(run.state().forecastCount, 500);
    forecasts->setCurrentIndex(11);
    QCOMPARE(run.state().forecastCount, 12);
}

void FprincipTest::digitFilterOnNumberBoxes()
{
    Run run;
    QVERIFY(run.activated);
    for (const QString &name : { QStringLiteral("c3"), QStringLiteral("cnbpronos"), QStringLiteral("ComboBox7"),
             QStringLiteral("cnbchevaux") }) {
        QComboBox *box = run.box(name);
        run.type(box, QStringLiteral("a-1 ,b2x"));
        QCOMPARE(box->currentText(), QStringLiteral("12"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->currentText(), QStringLiteral("1"));
    }
    QCOMPARE(run.state().horseCount, 1);
    QCOMPARE(run.state().pointsByPosition[6], 1);
}

void FprincipTest::generatorPageShowsBasesAndBoxes()
{
    Run run;
    QVERIFY(run.activated);
    run.selectGenerator(8, 5, 2);
    for (int tag = 1; tag <= 20; ++tag) {
        QCOMPARE(run.shown(run.horse(tag)), tag <= 8);
        QCOMPARE(run.red(run.horse(tag)), tag <= 2);
    }
    for (QLabel *label : run.find(QStringLiteral("gchevaux"))->findChildren<QLabel *>())
        QVERIFY(run.shown(label));
    QVERIFY(run.shown(run.box(QStringLiteral("cposb1"))));
    QVERIFY(run.shown(run.box(QStringLiteral("cposb2"))));
    QVERIFY(run.shown(run.find(QStringLiteral("labpositionbasecombi"))));
    QVERIFY(!run.shown(run.box(QStringLiteral("cposb3"))));
    QVERIFY(!run.shown(run.find(QStringLiteral("labposb3"))));
    QCOMPARE(run.box(QStringLiteral("cposb1"))->currentText(), QStringLiteral("1"));
    QCOMPARE(run.box(QStringLiteral("cposb2"))->currentText(), QStringLiteral("2"));

    // Every change of the base count puts base k back at position k.
    run.box(QStringLiteral("cnbchebase"))->setCurrentIndex(3);
    run.box(QStringLiteral("cposb1"))->setCurrentIndex(4);
    run.box(QStringLiteral("cposb3"))->setCurrentIndex(0);
    QVERIFY(run.red(run.horse(3)));
    run.box(QStringLiteral("cnbchebase"))->setCurrentIndex(1);
    QVERIFY(run.shown(run.box(QStringLiteral("cposb1"))));
    QVERIFY(!run.shown(run.box(QStringLiteral("cposb2"))));
    QVERIFY(!run.shown(run.box(QStringLiteral("cposb3"))));
    QCOMPARE(run.box(QStringLiteral("cposb1"))->currentText(), QStringLiteral("1"));
    QCOMPARE(run.box(QStringLiteral("cposb2"))->currentText(), QStringLiteral("2"));
    QCOMPARE(run.box(QStringLiteral("cposb3"))->currentText(), QStringLiteral("3"));
    QVERIFY(run.red(run.horse(1)));
    QVERIFY(!run.red(run.horse(2)));

    // Back on the reduced systems, the selected system decides again.
    auto *inner = run.find<QTabWidget>(QStringLiteral("PageControl1"));
    inner->setCurrentWidget(run.find(QStringLiteral("tsysreduit")));
    QComboBox *systems = run.box(QStringLiteral("clistesystemes"));
    for (int index : { 0, systems->count() - 1 }) {
        systems->setCurrentIndex(index);
        const mvx::ReducedSystem &s = mvx::reducedSystem(mvx::systemNumberOfItem(systems->currentText()));
        for (int tag = 1; tag <= 20; ++tag) {
            QCOMPARE(run.shown(run.horse(tag)), tag <= s.horseCount);
            QCOMPARE(run.red(run.horse(tag)), tag <= s.baseCount);
        }
    }
}

void FprincipTest::wheelTurnsOnlyTheBoxWithTheFocus()
{
    Run run;
    QVERIFY(run.activated);
    auto wheelDown = [](QWidget *box) {
        const QPointF at = QRectF(box->rect()).center();
        QWheelEvent event(at, box->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
            Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &event);
    };

    // The pointer passes over a pick list and a number box while the focus is elsewhere:
    // nothing changes. Once clicked into, a box takes the wheel.
    QComboBox *systems = run.box(QStringLiteral("clistesystemes"));
    run.leave();
    wheelDown(systems);
    wheelDown(run.horse(5));
    QCOMPARE(systems->currentIndex(), 0);
    QCOMPARE(run.horse(5)->currentText(), QStringLiteral("1"));
    run.horse(5)->setFocus(Qt::MouseFocusReason);
    wheelDown(run.horse(5));
    QCOMPARE(run.horse(5)->currentText(), QStringLiteral("2"));
    systems->setFocus(Qt::TabFocusReason);
    wheelDown(systems);
    QCOMPARE(systems->currentIndex(), 1);
}

void FprincipTest::pointsBoxesAndDefaut()
{
    Run run;
    QVERIFY(run.activated);

    // Positions 2..20 take a typed number at once; position 1 when its box is left.
    run.type(run.points(3), QStringLiteral("9"));
    QCOMPARE(run.state().pointsByPosition[2], 9);
    run.type(run.points(12), QStringLiteral("0"));
    QCOMPARE(run.state().pointsByPosition[11], 0);
    run.type(run.points(1), QStringLiteral("15"));
    QCOMPARE(run.state().pointsByPosition[0], 8);
    run.leave();
    QCOMPARE(run.state().pointsByPosition[0], 15);
    run.points(1)->setCurrentIndex(11);
    Q_EMIT run.points(1)->activated(11);
    QCOMPARE(run.state().pointsByPosition[0], 12);
    // Emptying a box keeps the position's points.
    run.type(run.points(4), QString());
    QCOMPARE(run.state().pointsByPosition[3], 5);

    // "Defaut" with 5 horses per forecast: 5..1, then zeros shown as empty boxes.
    run.type(run.box(QStringLiteral("cnbchevauxprono")), QStringLiteral("5"));
    run.leave();
    run.click(QStringLiteral("bdefaut"));
    QCOMPARE(run.state().pointsByPosition, pointsOf({ 5, 4, 3, 2, 1 }));
    QStringList expected = { "5", "4", "3", "2", "1" };
    for (int p = 6; p <= 20; ++p)
        expected.append(QString());
    QCOMPARE(run.shownPoints(), expected);

    // An empty horses-per-forecast box: "Defaut" changes nothing.
    run.type(run.points(2), QStringLiteral("7"));
    run.type(run.box(QStringLiteral("cnbchevauxprono")), QString());
    run.leave();
    run.click(QStringLiteral("bdefaut"));
    QCOMPARE(run.state().pointsByPosition, pointsOf({ 5, 7, 3, 2, 1 }));
    QCOMPARE(run.points(2)->currentText(), QStringLiteral("7"));

    // 20 per forecast fills every position.
    run.type(run.box(QStringLiteral("cnbchevauxprono")), QStringLiteral("20"));
    run.leave();
    run.click(QStringLiteral("bdefaut"));
    QCOMPARE(run.state().pointsByPosition[0], 20);
    QCOMPARE(run.state().pointsByPosition[19], 1);
    QCOMPARE(run.points(20)->currentText(), QStringLiteral("1"));
}

void FprincipTest::forecastButtons()
{
    Run run;
    QVERIFY(run.activated);
    GameState &state = run.state();

    // "Saisie des pronos" opens the forecast entry window modally, at forecast 1.
    QString opened;
    bool modal = false;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget *shown = QApplication::activeModalWidget()) {
            opened = shown->objectName();
            modal = shown->isModal();
            shown->close();
        }
    });
    closer.start();
    run.click(QStringLiteral("bsaisiedespronos"));
    closer.stop();
    QCOMPARE(opened, QStringLiteral("fsaiprono"));
    QVERIFY(modal);
    QCOMPARE(state.currentForecast, 1);

    state.forecasts[0][0] = 3;
    state.forecasts[4][7] = 6;
    state.forecasts[4][8] = 7; // position 9, beyond the 8 in use
    state.forecasts[5][0] = 4; // forecast 6, beyond the 5 in use
    run.click(QStringLiteral("befface"));
    QCOMPARE(state.forecasts[0][0], 0);
    QCOMPARE(state.forecasts[4][7], 0);
    QCOMPARE(state.forecasts[4][8], 7);
    QCOMPARE(state.forecasts[5][0], 4);
}

void FprincipTest::ticketFileWrittenFromThePage()
{
    Run run;
    QVERIFY(run.activated);

    // Generator, 4 horses two at a time, reduced combinations.
    run.selectGenerator(4, 2, 0);
    run.setHorses({ "7", "3", "12", "5" });
    const QString pairs = run.path(QStringLiteral("pairs.txt"));
    run.platform.answers = { mvx::Platform::Answer::Yes };
    run.platform.fileNames = { pairs };
    run.click(QStringLiteral("bgenerefichier"));
    QCOMPARE(run.platform.messages.size(), std::size_t(1));
    QVERIFY(run.platform.messages[0].text.contains(QStringLiteral("6 tickets")));
    QCOMPARE(run.platform.fileDialogs.size(), std::size_t(1));
    QCOMPARE(run.platform.fileDialogs[0].title, QStringLiteral("Indiquer le nom du fichier à enregistrer"));
    QCOMPARE(readFile(pairs), QByteArray("7,3,\r\n7,12,\r\n7,5,\r\n3,12,\r\n3,5,\r\n12,5,\r\n"));
    QCOMPARE(run.state().tickets.count(), 6);
    QCOMPARE(run.platform.waitCursorDepth, 0);

    // One base at position 2 of three: the base stands in the middle of every line.
    run.box(QStringLiteral("cnbchetick"))->setCurrentIndex(2);
    run.box(QStringLiteral("cnbchebase"))->setCurrentIndex(1);
    run.box(QStringLiteral("cposb1"))->setCurrentIndex(1);
    const QString based = run.path(QStringLiteral("based.txt"));
    run.platform.answers = { mvx::Platform::Answer::Yes };
    run.platform.fileNames = { based };
    run.click(QStringLiteral("bgenerefichier"));
    QCOMPARE(readFile(based), QByteArray("3,7,12,\r\n3,7,5,\r\n12,7,5,\r\n"));

    // Complete combinations, answered No: nothing asked further, nothing written.
    run.find<QRadioButton>(QStringLiteral("rtopcombcomp"))->setChecked(true);
    run.platform.fileDialogs.clear();
    run.click(QStringLiteral("bgenerefichier"));
    QVERIFY(run.platform.messages.back().text.contains(QStringLiteral("6 tickets")));
    QVERIFY(run.platform.fileDialogs.empty());

    // A wrong number stops the request with its message, even in a hidden box.
    run.horse(15)->setEditText(QStringLiteral("21"));
    const std::size_t asked = run.platform.messages.size();
    run.click(QStringLiteral("bgenerefichier"));
    QCOMPARE(run.platform.messages.size(), asked + 1);
    QCOMPARE(run.platform.messages.back().text, QStringLiteral("Les numeros saisis ne sont pas corrects"));
    run.horse(15)->setEditText(QStringLiteral("1"));

    // A reduced system: one line per ticket of its table, no question asked.
    run.find<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentWidget(run.find(QStringLiteral("tsysreduit")));
    const int number = mvx::systemNumberOfItem(run.box(QStringLiteral("clistesystemes"))->currentText());
    const mvx::ReducedSystem &system = mvx::reducedSystem(number);
    QStringList horses;
    for (int h = 1; h <= system.horseCount; ++h)
        horses.append(QString::number(21 - h));
    run.setHorses(horses);
    const QString reduced = run.path(QStringLiteral("reduced.txt"));
    run.platform.messages.clear();
    run.platform.fileNames = { reduced };
    run.click(QStringLiteral("bgenerefichier"));
    QVERIFY(run.platform.messages.empty());
    const QList<QByteArray> lines = readFile(reduced).split('\n');
    QCOMPARE(lines.size(), system.ticketCount + 1);
    QByteArray firstLine;
    for (std::uint8_t entry : system.row(1))
        firstLine += QByteArray::number(21 - entry) + ',';
    QCOMPARE(lines.first(), firstLine + '\r');
}

void FprincipTest::gameSavedAndLoadedBack()
{
    Run run;
    QVERIFY(run.activated);
    const QString generatorGame = run.path(QStringLiteral("generateur.mvx"));
    const QString reducedGame = run.path(QStringLiteral("reduit.mvx"));

    // A generator game: 8 horses, 5 per ticket, 2 bases, complete combinations.
    run.selectGenerator(8, 5, 2);
    run.find<QRadioButton>(QStringLiteral("rtopcombcomp"))->setChecked(true);
    run.setHorses({ "4", "9", "", "11", "2", "17", "6", "13" });
    run.platform.fileNames = { generatorGame };
    run.click(QStringLiteral("brengjeu"));
    QCOMPARE(readFile(generatorGame).size(), 108);

    // A reduced game of the fifth system in the list, with a gap in the selection.
    auto *inner = run.find<QTabWidget>(QStringLiteral("PageControl1"));
    inner->setCurrentWidget(run.find(QStringLiteral("tsysreduit")));
    QComboBox *systems = run.box(QStringLiteral("clistesystemes"));
    systems->setCurrentIndex(4);
    run.setHorses({ "5", "8", "", "11", "", "", "", "" });
    run.platform.fileNames = { reducedGame };
    run.click(QStringLiteral("brengjeu"));
    QVERIFY(run.platform.messages.empty());

    // Something else on screen, with base positions of its own.
    systems->setCurrentIndex(0);
    run.selectGenerator(3, 2, 1);
    run.box(QStringLiteral("cposb1"))->setCurrentIndex(1);
    run.find<QRadioButton>(QStringLiteral("rtopcombred"))->setChecked(true);
    run.setHorses({ "1", "1", "1" });

    run.platform.fileNames = { reducedGame };
    run.click(QStringLiteral("bchargejeu"));
    QCOMPARE(inner->currentWidget()->objectName(), QStringLiteral("tsysreduit"));
    QCOMPARE(systems->currentIndex(), 4);
    QCOMPARE(run.horse(1)->currentText(), QStringLiteral("5"));
    QCOMPARE(run.horse(2)->currentText(), QStringLiteral("8"));
    QCOMPARE(run.horse(3)->currentText(), QStringLiteral("11"));
    const mvx::ReducedSystem &fifth = mvx::reducedSystem(mvx::systemNumberOfItem(systems->currentText()));
    QCOMPARE(run.shown(run.horse(fifth.horseCount)), true);
    QCOMPARE(run.shown(run.horse(fifth.horseCount + 1)), false);

    run.platform.fileNames = { generatorGame };
    run.click(QStringLiteral("bchargejeu"));
    QVERIFY(run.platform.messages.empty());
    QCOMPARE(inner->currentWidget()->objectName(), QStringLiteral("tcombi"));
    QCOMPARE(run.box(QStringLiteral("cnbchecomb"))->currentText(), QStringLiteral("8"));
    QCOMPARE(run.box(QStringLiteral("cnbchetick"))->currentText(), QStringLiteral("5"));
    QCOMPARE(run.box(QStringLiteral("cnbchebase"))->currentText(), QStringLiteral("2"));
    QVERIFY(run.find<QRadioButton>(QStringLiteral("rtopcombcomp"))->isChecked());
    const QStringList reloaded = { "4", "9", "11", "2", "17", "6", "13" };
    for (int i = 0; i < reloaded.size(); ++i)
        QCOMPARE(run.horse(i + 1)->currentText(), reloaded[i]);
    for (int tag = 1; tag <= 20; ++tag) {
        QCOMPARE(run.shown(run.horse(tag)), tag <= 8);
        QCOMPARE(run.red(run.horse(tag)), tag <= 2);
    }
    // The load is not a change by the user: the base positions stay as they were, but each of
    // the two bases the tickets will place shows its box, the hidden one included.
    QCOMPARE(run.box(QStringLiteral("cposb1"))->currentText(), QStringLiteral("2"));
    QCOMPARE(run.box(QStringLiteral("cposb2"))->currentText(), QStringLiteral("2"));
    for (const char *name : { "cposb1", "cposb2", "labposb1", "labposb2", "labpositionbasecombi" })
        QVERIFY2(run.shown(run.find(QString::fromLatin1(name))), name);
    QVERIFY(!run.shown(run.box(QStringLiteral("cposb3"))));
    QVERIFY(!run.shown(run.find(QStringLiteral("labposb3"))));

    // A file that is not a game is refused and the page stays as it is.
    const QString notAGame = run.path(QStringLiteral("autre.mvx"));
    QFile other(notAGame);
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write(QByteArray(108, 'x'));
    other.close();
    run.platform.fileNames = { notAGame };
    run.click(QStringLiteral("bchargejeu"));
    QCOMPARE(run.platform.messageTexts(),
        QStringList { QStringLiteral("Ce n'est pas un fichier de sauvegarde de MAROVELLIX") });
    QCOMPARE(inner->currentWidget()->objectName(), QStringLiteral("tcombi"));
    QCOMPARE(run.horse(1)->currentText(), QStringLiteral("4"));
}

void FprincipTest::closeSavesSettingsAndStartsCompanion()
{
    {
        Run run;
        QVERIFY(run.activated);
        run.type(run.points(2), QStringLiteral("6"));
        run.click(QStringLiteral("bquit"));
        QVERIFY(!run.window().isVisible());
        const QByteArray bytes = readFile(run.settingsPath());
        QCOMPARE(bytes.size(), 112);
        const mvx::SettingsRecord written = mvx::decodeSettings(bytes);
        QCOMPARE(written.savedPointsByPosition, pointsOf({ 8, 6, 6, 5, 4, 3, 2, 1 }));
        QCOMPARE(written.interfaceLanguage, 1);
        QVERIFY(run.platform.started.isEmpty());
        QVERIFY(run.platform.browsed.isEmpty());
        QVERIFY(run.platform.messages.empty());
    }
    {
        // Closed by its title bar while the first points box still has the focus: what the box
        // shows is saved. The companion's page when only the page is there; closing twice
        // saves once.
        Run run;
        QVERIFY(run.activated);
        QFile page(run.path(QStringLiteral("TORVANE.HTM")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        run.platform.browserFound = false;
        run.type(run.points(1), QStringLiteral("15"));
        run.window().close();
        run.window().close();
        QCOMPARE(mvx::decodeSettings(readFile(run.settingsPath())).savedPointsByPosition[0], 15);
        QCOMPARE(run.platform.browsed, QStringList { run.path(QStringLiteral("TORVANE.HTM")) });
        QVERIFY(run.platform.started.isEmpty());
        QVERIFY(run.platform.messages.empty());
    }
    {
        // The program comes before its page.
        Run run;
        for (const char *name : { "TORVANE.EXE", "TORVANE.HTM" }) {
            QFile file(run.path(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        run.window().close();
        QCOMPARE(run.platform.started, QStringList { run.path(QStringLiteral("TORVANE.EXE")) });
        QVERIFY(run.platform.browsed.isEmpty());
    }
}

void FprincipTest::closeGoesOnWhenSettingsCannotBeSaved()
{
    Run run;
    QVERIFY(run.activated);
    // A folder in the settings file's place cannot be replaced by a file.
    QVERIFY(QDir(run.folder.path()).mkdir(QStringLiteral("MAROVELL.PAR")));
    QFile program(run.path(QStringLiteral("TORVANE.EXE")));
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.close();
    run.window().close();
    QCOMPARE(run.platform.messageTexts(), QStringList { QStringLiteral("Il y a eu un problème") });
    QCOMPARE(run.platform.messages[0].title, QStringLiteral("Fichier non sauvegardé !!"));
    QCOMPARE(run.platform.beeps, 1);
    QCOMPARE(run.platform.started.size(), 1);
    QVERIFY(!run.window().isVisible());
}

QTEST_MAIN(FprincipTest)
#include "fprincip_test.moc"
