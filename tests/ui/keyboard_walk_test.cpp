#include "history/race_history.h"
#include "model/work_progress.h"
#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/long_work.h"
#include "ui/systems_page.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <thread>

using mvx::testing::ScriptedPlatform;

namespace {

// One Tab stop as a screen reader meets it.
struct Stop
{
    QPointer<QWidget> widget;
    QAccessible::Role role = QAccessible::NoRole;
    QString name;
};

QString describe(const QWidget *widget)
{
    return widget
        ? QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(widget->metaObject()->className()), widget->objectName())
        : QStringLiteral("nothing");
}

// The Tab stops of the active window, from the focused control round to it again (at most
// `limit` presses of Tab). A grid that keeps Tab for itself never lets the walk come back.
std::vector<Stop> walkByTab(QString &failure, int limit = 200)
{
    std::vector<Stop> stops;
    QWidget *first = QApplication::focusWidget();
    if (!first) {
        failure = QStringLiteral("no control has the focus");
        return stops;
    }
    QWidget *current = first;
    // A label with links takes Tab for its links first: the walk is round once the focus has
    // left the first stop and come back to it.
    bool left = false;
    for (int presses = 0; presses < limit; ++presses) {
        if (current == first && left)
            return stops;
        left = left || current != first;
        if (!stops.empty() && stops.back().widget == current)
            stops.pop_back();
        Stop stop { current, QAccessible::NoRole, {} };
        if (QAccessibleInterface *face = QAccessible::queryAccessibleInterface(current)) {
            stop.role = face->role();
            stop.name = face->text(QAccessible::Name);
        }
        stops.push_back(stop);
        // Return in a grid stays in the grid: neither the window's default button nor a close.
        if (auto *grid = qobject_cast<QAbstractItemView *>(current)) {
            QWidget *window = grid->window();
            QTest::keyClick(grid, Qt::Key_Return);
            if (!window->isVisible() || QApplication::focusWidget() != grid) {
                failure = QStringLiteral("Return in %1 left it").arg(describe(grid));
                return stops;
            }
        }
        QTest::keyClick(current, Qt::Key_Tab);
        current = QApplication::focusWidget();
        if (!current) {
            failure = QStringLiteral("Tab lost the focus");
            return stops;
        }
    }
    failure = QStringLiteral("Tab never came back to %1: stuck at %2").arg(describe(first), describe(current));
    return stops;
}

// What the walk must show for any window: a role and a name at every stop, every button that
// can be pressed reached, and Shift+Tab from the first stop going back to the last.
void checkWalk(const QWidget *window, const std::vector<Stop> &stops, const QString &failure)
{
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(stops.size() >= 2);
    for (const Stop &stop : stops) {
        QVERIFY2(stop.role != QAccessible::NoRole && stop.role != QAccessible::Client,
            qPrintable(describe(stop.widget) + QStringLiteral(" has no role")));
        QVERIFY2(!stop.name.trimmed().isEmpty(), qPrintable(describe(stop.widget) + QStringLiteral(" has no name")));
        // A grid's column headers are the headings it shows, not "1", "2"...
        if (QAccessibleInterface *face = QAccessible::queryAccessibleInterface(stop.widget)) {
            if (QAccessibleTableInterface *table = face->tableInterface()) {
                for (int c = 0; c < table->columnCount(); ++c) {
                    bool number = false;
                    const QString header = table->columnDescription(c);
                    header.toInt(&number);
                    QVERIFY2(!header.isEmpty() && !number,
                        qPrintable(describe(stop.widget) + QStringLiteral(" column header ") + header));
                }
            }
        }
        // A box is not named by the number it shows.
        if (stop.role == QAccessible::ComboBox || stop.role == QAccessible::EditableText) {
            bool number = false;
            stop.name.toInt(&number);
            QVERIFY2(!number, qPrintable(describe(stop.widget) + QStringLiteral(" is named ") + stop.name));
        }
    }
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (!qobject_cast<QPushButton *>(button) && !qobject_cast<QToolButton *>(button))
            continue;
        if (!button->isVisible() || !button->isEnabled() || button->window() != window)
            continue;
        if (qobject_cast<QTabBar *>(button->parentWidget()))
            continue; // the tab bar's own scroll arrows
        bool reached = false;
        for (const Stop &stop : stops)
            reached = reached || stop.widget == button;
        QVERIFY2(reached, qPrintable(describe(button) + QStringLiteral(" is never reached by Tab")));
    }
    // Shift+Tab goes back one stop (a label's links left aside).
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (qobject_cast<QLabel *>(stops[i].widget) || qobject_cast<QLabel *>(stops[i - 1].widget))
            continue;
        stops[i].widget->setFocus(Qt::TabFocusReason);
        QTest::keyClick(stops[i].widget, Qt::Key_Backtab);
        QCOMPARE(describe(QApplication::focusWidget()), describe(stops[i - 1].widget));
        break;
    }
}

// The program with its main window shown and active, ten horses in the selection so that
// every button of the systems page opens its window.
struct Run
{
    Run()
    {
        platform.folder = folder.path() + QLatin1Char('/');
        {
            // One race recorded, so that every button of "Mes courses" can be pressed.
            mvx::RaceHistory races(folder.filePath(QStringLiteral("mes-courses.sqlite")));
            mvx::RaceRecord race;
            race.date = QDate::currentDate();
            race.name = QStringLiteral("Vincennes R1C4");
            race.bet = mvx::Bet { mvx::Bet::Kind::Quinte, 5 };
            race.tickets = 51;
            race.stakeCents = 10200;
            race.balanceCents = -10200;
            races.store(race);
        }
        app = std::make_unique<mvx::Application>(platform, folder.filePath(QStringLiteral("mes-courses.sqlite")));
        app->show();
        window().activateWindow();
        activated = QTest::qWaitForWindowActive(&window());
        mvx::TicketRecipe page = window().systemsPage().recipe();
        page.source = mvx::TicketSource::CatalogueSystem;
        page.systemNumber = 8; // quinté, 10 horses in 51 tickets
        for (int h = 1; h <= 10; ++h)
            page.boxes[std::size_t(h - 1)] = QString::number(h);
        window().systemsPage().applyRecipe(page);
    }

    mvx::Tfprincip &window() { return app->mainWindow(); }
    template <typename T = QPushButton> T *find(QWidget *in, const QString &name)
    {
        for (T *widget : in->findChildren<T *>(name))
            if (widget->window() == in->window())
                return widget;
        return nullptr;
    }
    void showPage(int index) { find<QTabWidget>(&window(), QStringLiteral("pagec1"))->setCurrentIndex(index); }

    QTemporaryDir folder;
    ScriptedPlatform platform;
    std::unique_ptr<mvx::Application> app;
    bool activated = false;
};

// Opens a window by Return on its button, lets `inside` work in it, closes it with Escape, and
// returns whether the focus came back to the button. `opened` is the window that was shown,
// null again once a window made for the occasion is gone.
bool openByKeyboard(QAbstractButton *opener, const std::function<void(QWidget *)> &inside, QPointer<QWidget> &opened,
    bool *shown = nullptr)
{
    opener->setFocus(Qt::TabFocusReason);
    QTimer::singleShot(0, opener, [&] {
        QWidget *window = QApplication::activeModalWidget();
        opened = window;
        if (!window)
            return;
        if (shown)
            *shown = true;
        // Offscreen, a dialog shown over the active window does not become active by itself.
        QApplication::setActiveWindow(window);
        // Offscreen windows may not report active: the focus checks below say what matters.
        (void)QTest::qWaitForWindowActive(window);
        inside(window);
        if (QWidget *focus = QApplication::focusWidget(); focus && focus->window() == window)
            QTest::keyClick(focus, Qt::Key_Escape);
        else
            QTest::keyClick(window, Qt::Key_Escape);
    });
    QTest::keyClick(opener, Qt::Key_Return);
    // The offscreen platform has no window manager to give the activation back to the window
    // below a closed dialog: done here, as a desktop does it.
    if (!QApplication::activeWindow() || !QApplication::activeWindow()->isVisible())
        QApplication::setActiveWindow(opener->window());
    QTest::qWait(10);
    return QApplication::focusWidget() == opener;
}

// Opens the windows of `path` one from the other by Return on their buttons and lets `inside`
// work in the last one. False when a button is missing or opened nothing.
bool inWindow(Run &run, const QStringList &path, const std::function<void(QWidget *)> &inside)
{
    if (path.isEmpty()) {
        inside(&run.window());
        return true;
    }
    bool ok = true;
    std::function<void(int, QWidget *)> step = [&](int k, QWidget *from) {
        auto *opener = run.find<QAbstractButton>(from, path[k]);
        if (!opener) {
            ok = false;
            return;
        }
        QPointer<QWidget> opened;
        bool shown = false;
        openByKeyboard(
            opener,
            [&, k](QWidget *window) {
                if (k + 1 < path.size())
                    step(k + 1, window);
                else
                    inside(window);
            },
            opened, &shown);
        ok = ok && shown;
    };
    step(0, &run.window());
    return ok;
}

// The push and tool buttons of `window` a user can press now, in a fixed order.
std::vector<QAbstractButton *> pressableButtons(QWidget *window)
{
    std::vector<QAbstractButton *> buttons;
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (!qobject_cast<QPushButton *>(button) && !qobject_cast<QToolButton *>(button))
            continue;
        if (!button->isVisible() || !button->isEnabled() || button->window() != window)
            continue;
        if (qobject_cast<QTabBar *>(button->parentWidget()))
            continue;
        buttons.push_back(button);
    }
    return buttons;
}

} // namespace

class KeyboardWalkTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // Every window of the program, walked by Tab from the control that has the focus when it
    // opens: the walk comes round, every stop is named, Escape closes the window as its
    // "Retour" or "Annuler" does and the focus goes back to the button that opened it.
    void everyWindowWalksByTab_data()
    {
        QTest::addColumn<QString>("path"); // the buttons pressed in turn, the last window walked
        QTest::newRow("main window, systems page") << QString();
        QTest::newRow("main window, synthesis page") << QStringLiteral("page0");
        QTest::newRow("forecast entry") << QStringLiteral("page0/bsaisiedespronos");
        QTest::newRow("synthesis") << QStringLiteral("page0/bvoirsynthese");
        QTest::newRow("ticket list") << QStringLiteral("bvoirtick");
        QTest::newRow("holes") << QStringLiteral("bvoirtick/btrous");
        QTest::newRow("comparison") << QStringLiteral("bcompar");
        QTest::newRow("official result") << QStringLiteral("bcompar/bresultatofficiel");
        QTest::newRow("slip print") << QStringLiteral("bimprimetickets");
        QTest::newRow("conditions") << QStringLiteral("bconditions");
        QTest::newRow("settings") << QStringLiteral("bparametre");
        QTest::newRow("stakes") << QStringLiteral("bparametre/bmises");
        QTest::newRow("about") << QStringLiteral("binfos");
        QTest::newRow("my races") << QStringLiteral("bmescourses");
    }

    void everyWindowWalksByTab()
    {
        QFETCH(QString, path);
        Run run;
        QVERIFY(run.activated);
        QStringList steps = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        run.showPage(steps.value(0) == QLatin1String("page0") ? 0 : 1);
        if (steps.value(0) == QLatin1String("page0"))
            steps.removeFirst();

        if (steps.isEmpty()) {
            // The main window: from its first control round again.
            QWidget *start = run.find<QWidget>(&run.window(), QStringLiteral("binfos"));
            start->setFocus(Qt::TabFocusReason);
            QString failure;
            const std::vector<Stop> stops = walkByTab(failure);
            checkWalk(&run.window(), stops, failure);
            return;
        }

        // Each step opens the next window from the one before; the last is walked.
        std::vector<QPointer<QWidget>> opened(std::size_t(steps.size()));
        std::vector<char> shown(std::size_t(steps.size()), 0);
        std::vector<bool> focusBack(std::size_t(steps.size()), false);
        std::vector<QString> failures(std::size_t(steps.size()));
        std::function<void(int, QWidget *)> step = [&](int k, QWidget *from) {
            auto *opener = run.find<QAbstractButton>(from, steps[k]);
            QVERIFY2(opener, qPrintable(steps[k]));
            focusBack[std::size_t(k)] = openByKeyboard(
                opener,
                [&, k](QWidget *window) {
                    if (k + 1 < steps.size()) {
                        step(k + 1, window);
                        return;
                    }
                    QString failure;
                    const std::vector<Stop> stops = walkByTab(failure);
                    checkWalk(window, stops, failure);
                    if (QTest::currentTestFailed())
                        failures[std::size_t(k)] = QStringLiteral("walk failed");
                },
                opened[std::size_t(k)], reinterpret_cast<bool *>(&shown[std::size_t(k)]));
        };
        step(0, &run.window());
        for (int k = 0; k < steps.size(); ++k) {
            QVERIFY2(shown[std::size_t(k)], qPrintable(steps[k] + QStringLiteral(" opened no window")));
            QVERIFY2(!opened[std::size_t(k)] || !opened[std::size_t(k)]->isVisible(),
                qPrintable(steps[k] + QStringLiteral(": Escape left it open")));
            QVERIFY2(focusBack[std::size_t(k)], qPrintable(steps[k] + QStringLiteral(": the focus did not come back")));
        }
    }

    // Return on a focused button presses that button and no other, in every window: not the
    // dialog's default button, not nothing. Each button is pressed in a program of its own, since
    // a button may close its window or change the game; a window it opens is closed at once.
    void returnPressesTheFocusedButton_data() { everyWindowWalksByTab_data(); }

    void returnPressesTheFocusedButton()
    {
        QFETCH(QString, path);
        QStringList steps = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        const bool synthesisPage = steps.value(0) == QLatin1String("page0");
        if (synthesisPage)
            steps.removeFirst();
        int count = 1;
        QStringList pressed;
        for (int k = 0; k < count; ++k) {
            Run run;
            QVERIFY(run.activated);
            run.showPage(synthesisPage ? 0 : 1);
            QString failure;
            const bool reached = inWindow(run, steps, [&](QWidget *window) {
                const std::vector<QAbstractButton *> buttons = pressableButtons(window);
                count = int(buttons.size());
                if (k >= count)
                    return;
                std::map<const QAbstractButton *, int> clicks;
                QObject counting; // the windows outlive this press: the counting ends with it
                for (QAbstractButton *button : buttons)
                    QObject::connect(
                        button, &QAbstractButton::clicked, &counting, [&clicks, button] { ++clicks[button]; });
                QAbstractButton *button = buttons[std::size_t(k)];
                const QString name = describe(button);
                pressed << button->objectName();
                // A window the button opens goes again at once.
                QTimer closer;
                QObject::connect(&closer, &QTimer::timeout, [window] {
                    QWidget *modal = QApplication::activeModalWidget();
                    if (modal && modal != window && window->isVisible())
                        modal->close();
                });
                closer.start(20);
                button->setFocus(Qt::TabFocusReason);
                QTest::keyClick(button, Qt::Key_Return);
                closer.stop();
                if (clicks[button] != 1)
                    failure = name + QStringLiteral(" was not pressed by Return");
                for (const auto &[other, times] : clicks)
                    if (other != button && times != 0 && failure.isEmpty())
                        failure = QStringLiteral("Return on %1 pressed %2").arg(name, describe(other));
                // "Renommer" opens the name of the current race for typing: the new name is kept.
                if (button->objectName() == QLatin1String("brenommer") && failure.isEmpty()) {
                    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
                    auto *grid = window->findChild<QAbstractItemView *>(QStringLiteral("grillecourses"));
                    if (!editor || !grid || !grid->isAncestorOf(editor)) {
                        failure = QStringLiteral("Renommer opened no name to type");
                        return;
                    }
                    editor->selectAll();
                    QTest::keyClicks(editor, QStringLiteral("Enghien R2C1"));
                    QTest::keyClick(editor, Qt::Key_Return);
                    QTest::qWait(50);
                    bool renamed = false;
                    for (int c = 0; c < grid->model()->columnCount() && !renamed; ++c)
                        renamed = grid->model()->data(grid->model()->index(0, c)).toString()
                            == QLatin1String("Enghien R2C1");
                    if (!renamed)
                        failure = QStringLiteral("Renommer by Return did not rename the race");
                }
            });
            QVERIFY2(reached, qPrintable(path));
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
        }
        QVERIFY2(count >= 1, qPrintable(path + QStringLiteral(": no button")));
        qInfo("%s", qPrintable(pressed.join(QLatin1Char(' '))));
    }

    // Names come from what is read beside a control; the system box follows the system chosen.
    void namesAreWhatIsReadBesideTheControls()
    {
        Run run;
        auto name = [](QWidget *widget) {
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
            return face ? face->text(QAccessible::Name) : QString();
        };
        QWidget &main = run.window();
        QCOMPARE(name(run.find<QWidget>(&main, QStringLiteral("c3"))), QStringLiteral("Sélection des chevaux, case 3"));
        QCOMPARE(name(run.find<QWidget>(&main, QStringLiteral("binfos"))), QStringLiteral("Informations"));
        QCOMPARE(name(run.find<QWidget>(&main, QStringLiteral("baidegene"))), QStringLiteral("Aide"));
        auto *compare = main.findChild<QDialog *>(QStringLiteral("fcompare"));
        QCOMPARE(name(run.find<QWidget>(compare, QStringLiteral("eqordre"))), QStringLiteral("Rapport quinté ordre"));
        QCOMPARE(
            name(run.find<QWidget>(compare, QStringLiteral("etdesordre"))), QStringLiteral("Rapport tiercé désordre"));

        auto *systems = run.find<QComboBox>(&main, QStringLiteral("clistesystemes"));
        QStringList spoken;
        for (int index : { 0, 5 }) {
            systems->setCurrentIndex(index);
            spoken << name(systems);
            QVERIFY2(!spoken.last().isEmpty() && systems->currentText().trimmed().startsWith(spoken.last()),
                qPrintable(spoken.last()));
            QVERIFY2(
                spoken.last() == spoken.last().trimmed() && !spoken.last().back().isDigit(), qPrintable(spoken.last()));
        }
        QVERIFY(spoken[0] != spoken[1]);
    }

    // Escape on the long-work dialog stops the work as "Annuler" does (its own Escape would only
    // hide the dialog and let the work run on).
    void escapeStopsLongWork()
    {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        mvx::WorkProgress progress(1000);
        bool pressed = false;
        QTimer::singleShot(300, [&] {
            auto *dialog = window.findChild<QProgressDialog *>(QStringLiteral("progressDialog"));
            if (!dialog || !dialog->isVisible())
                return;
            // Offscreen, the dialog becomes active only when told.
            QApplication::setActiveWindow(dialog);
            QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Escape);
            pressed = true;
        });
        QElapsedTimer clock;
        clock.start();
        mvx::ui::runWithProgress(
            &window, QStringLiteral("Génération des tickets..."), progress,
            [&] {
                while (!progress.stopRequested() && clock.elapsed() < 5000)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            },
            100);
        QVERIFY(pressed);
        QVERIFY(progress.stopRequested());
        QVERIFY(clock.elapsed() < 5000);
    }

    // The two flat link buttons are Tab stops that show it: focused, they are drawn otherwise.
    void linkButtonsShowTheirFocus()
    {
        Run run;
        QVERIFY(run.activated);
        for (const char *name : { "SpeedButton1", "SpeedButton2" }) {
            auto *link = run.find<QPushButton>(&run.window(), QString::fromLatin1(name));
            QVERIFY(link && link->focusPolicy() & Qt::TabFocus);
            run.find<QWidget>(&run.window(), QStringLiteral("bquit"))->setFocus(Qt::TabFocusReason);
            const QImage plain = link->grab().toImage();
            link->setFocus(Qt::TabFocusReason);
            QVERIFY(link->hasFocus());
            const QImage focused = link->grab().toImage();
            if (!qEnvironmentVariableIsEmpty("MAROVELLIX_FOCUS_PICTURE"))
                focused.save(qEnvironmentVariable("MAROVELLIX_FOCUS_PICTURE") + QLatin1String(name) + ".png");
            QVERIFY2(plain != focused, name);
        }
    }

    // The standard keys do what their buttons do, each in its own window only.
    void shortcutsPressTheirButtons()
    {
        Run run;
        QVERIFY(run.activated);
        QFile guide(run.folder.filePath(QStringLiteral("marovellix.html")));
        QVERIFY(guide.open(QIODevice::WriteOnly));
        guide.close();
        QWidget &main = run.window();

        // F1 from the main window and from a dialog opened over it.
        QTest::keyClick(&main, Qt::Key_F1);
        QCOMPARE(run.platform.browsed.size(), 1);
        QPointer<QWidget> opened;
        openByKeyboard(
            run.find<QAbstractButton>(&main, QStringLiteral("bparametre")),
            [](QWidget *window) { QTest::keyClick(window, Qt::Key_F1); }, opened);
        QCOMPARE(run.platform.browsed.size(), 2);
        QVERIFY(run.platform.browsed.last().endsWith(QStringLiteral("marovellix.html")));

        // Ctrl+S and Ctrl+O ask for a game file while the systems page is shown, and not on the
        // synthesis page.
        run.showPage(1);
        QTest::keyClick(&main, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(&main, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(run.platform.fileDialogs.size(), std::size_t(2));
        run.showPage(0);
        QTest::keyClick(&main, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(run.platform.fileDialogs.size(), std::size_t(2));

        // Ctrl+P prints the ticket list, and only in its window.
        run.showPage(1);
        QTest::keyClick(&main, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(run.platform.printersOpened, 0);
        openByKeyboard(
            run.find<QAbstractButton>(&main, QStringLiteral("bvoirtick")),
            [](QWidget *window) { QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier); }, opened);
        QCOMPARE(run.platform.printersOpened, 1);
        QVERIFY(run.platform.printer.lines().contains(QStringLiteral("begin")));

        // Ctrl+Q quits as "Quit" does: the settings are saved on the way out.
        QTest::keyClick(&main, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!main.isVisible());
        QVERIFY(QFile::exists(run.folder.filePath(QStringLiteral("MAROVELL.PAR"))));
    }
};

QTEST_MAIN(KeyboardWalkTest)
#include "keyboard_walk_test.moc"
