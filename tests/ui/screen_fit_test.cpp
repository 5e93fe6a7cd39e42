#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using mvx::testing::ScriptedPlatform;

// At one and a half times the size on a 1024×768 screen (683×512 for the windows), every window
// of the program fits the screen or scrolls, and Tab brings each of its controls into view.
class ScreenFitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyWindowFitsOrScrolls()
    {
        const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
        if (screen != QSize(683, 512))
            QSKIP(qPrintable(
                QStringLiteral("the screen is %1×%2, not 1024×768 at 1.5").arg(screen.width()).arg(screen.height())));
        QTemporaryDir folder;
        ScriptedPlatform platform;
        platform.folder = folder.path() + QLatin1Char('/');
        mvx::Application app(platform, folder.filePath(QStringLiteral("mes-courses.sqlite")));
        QList<QWidget *> windows { &app.mainWindow() };
        for (QDialog *dialog : app.mainWindow().findChildren<QDialog *>())
            if (!dialog->objectName().isEmpty())
                windows << dialog;
        QVERIFY(windows.size() >= 8);
        int scrolled = 0;
        for (QWidget *window : windows) {
            const QString name = window->objectName();
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QVERIFY2(window->width() <= screen.width() && window->height() <= screen.height(),
                qPrintable(QStringLiteral("%1 is %2×%3").arg(name).arg(window->width()).arg(window->height())));
            scrolled += window->findChild<QWidget *>(QStringLiteral("screenFit")) ? 1 : 0;
            // Every control Tab reaches comes into view when it gets the focus.
            window->activateWindow();
            QApplication::setActiveWindow(window);
            QWidget *first = nullptr;
            for (QWidget *w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
                if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
                    first = w;
                    break;
                }
            QVERIFY2(first, qPrintable(name));
            first->setFocus(Qt::TabFocusReason);
            for (int presses = 0; presses < 120; ++presses) {
                QWidget *focus = QApplication::focusWidget();
                QVERIFY2(focus, qPrintable(name));
                const QRect place(focus->mapTo(window, QPoint(0, 0)), focus->size());
                QVERIFY2(window->rect().intersects(place),
                    qPrintable(QStringLiteral("%1: %2 out of view").arg(name, focus->objectName())));
                QTest::keyClick(focus, Qt::Key_Tab);
                if (QApplication::focusWidget() == first)
                    break;
            }
            window->hide();
        }
        // The windows larger than the screen scroll: the main window, the comparison, "Mes courses".
        QVERIFY(scrolled >= 3);
    }
};

// The scale and the screen are set before Qt starts: the offscreen platform with one screen of
// 1024×768.
int main(int argc, char *argv[])
{
    QTemporaryDir config;
    QFile screens(config.filePath(QStringLiteral("screens.json")));
    if (screens.open(QIODevice::WriteOnly))
        screens.write(R"({ "screens": [ { "name": "fit", "x": 0, "y": 0, "width": 1024, "height": 768,
                         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] })");
    screens.close();
    qputenv("QT_SCALE_FACTOR", "1.5");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QApplication app(argc, argv);
    ScreenFitTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "screen_fit_test.moc"
