#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

using mvx::testing::ScriptedPlatform;

// The test runs twice, in two processes, as the scale is set before Qt starts: at one and a half
// times the size on a 1024×768 screen (683×512 for the windows), and at scale 1 with a 14-point
// application font (the windows grow with it). Either way every window of the program fits the
// screen or scrolls, and Tab brings each of its controls into view.
constexpr char kLargeFontCase[] = "MAROVELLIX_FIT_LARGE_FONT";

class ScreenFitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyWindowFitsOrScrolls()
    {
        const bool largeFont = qEnvironmentVariableIsSet(kLargeFontCase);
        const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
        if (screen != (largeFont ? QSize(1024, 768) : QSize(683, 512)))
            QSKIP(qPrintable(QStringLiteral("the screen is %1×%2, not 1024×768 at %3")
                                 .arg(screen.width())
                                 .arg(screen.height())
                                 .arg(largeFont ? QStringLiteral("1") : QStringLiteral("1.5"))));
        QTemporaryDir folder;
        ScriptedPlatform platform;
        platform.folder = folder.path() + QLatin1Char('/');
        mvx::Application app(platform, folder.filePath(QStringLiteral("mes-courses.sqlite")));
        QList<QWidget *> windows { &app.mainWindow() };
        for (QDialog *dialog : app.mainWindow().findChildren<QDialog *>())
            if (!dialog->objectName().isEmpty())
                windows << dialog;
        QVERIFY(windows.size() >= 8);
        // The pixel size of every control's text as the windows are laid out, before any shows.
        // (A control with a style sheet takes its font from the style sheet.)
        QHash<QWidget *, int> laidOutFonts;
        for (QWidget *window : windows) {
            laidOutFonts.insert(window, window->font().pixelSize());
            for (QWidget *w : window->findChildren<QWidget *>())
                if (w->window() == window && w->font().pixelSize() > 0 && w->styleSheet().isEmpty())
                    laidOutFonts.insert(w, w->font().pixelSize());
        }
        int scrolled = 0;
        for (QWidget *window : windows) {
            const QString name = window->objectName();
            const QSize laidOut = window->size();
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            if (largeFont) {
                // The window and its text grew with the font: 14 points against the 9 of the
                // layout, 11 pixels becoming 17.
                const QWidget *inside = window->findChild<QWidget *>(QStringLiteral("screenFit"));
                const QSize grown
                    = inside ? static_cast<const QScrollArea *>(inside)->widget()->size() : window->size();
                QVERIFY2(grown.width() >= laidOut.width() * 3 / 2 && grown.height() >= laidOut.height() * 3 / 2,
                    qPrintable(QStringLiteral("%1 is still %2×%3").arg(name).arg(grown.width()).arg(grown.height())));
                // Each text grew once, whether it has a font of its own or the window's.
                for (auto it = laidOutFonts.cbegin(); it != laidOutFonts.cend(); ++it)
                    QVERIFY2(
                        it.key()->window() != window || it.key()->font().pixelSize() == qRound(it.value() * 14 / 9.0),
                        qPrintable(QStringLiteral("%1: %2 has a %3-pixel font, laid out at %4")
                                       .arg(name, it.key()->objectName())
                                       .arg(it.key()->font().pixelSize())
                                       .arg(it.value())));
            }
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
// 1024×768. The first run starts the second, with the large font, and fails when it fails.
int main(int argc, char *argv[])
{
    const bool largeFont = qEnvironmentVariableIsSet(kLargeFontCase);
    QTemporaryDir config;
    QFile screens(config.filePath(QStringLiteral("screens.json")));
    if (screens.open(QIODevice::WriteOnly))
        screens.write(R"({ "screens": [ { "name": "fit", "x": 0, "y": 0, "width": 1024, "height": 768,
                         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] })");
    screens.close();
    qputenv("QT_SCALE_FACTOR", largeFont ? "1" : "1.5");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QApplication app(argc, argv);
    if (largeFont)
        QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 14));
    ScreenFitTest test;
    const int status = QTest::qExec(&test, argc, argv);
    if (largeFont)
        return status;
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kLargeFontCase), QStringLiteral("1"));
    environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    second.setProcessEnvironment(environment);
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
    if (!second.waitForFinished(120000) || second.exitStatus() != QProcess::NormalExit) {
        std::fprintf(stderr, "the run with the large font did not finish\n");
        return 1;
    }
    return status != 0 ? status : second.exitCode();
}

#include "screen_fit_test.moc"
