#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using mvx::testing::ScriptedPlatform;

class AproposTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void aboutBoxShowsTheVersionEveryTime();
    void helpButtonPrefersTheCompiledHelp();
    void webButtonsOpenTheirPagesInTheBrowser();

private:
    void click(const char *name)
    {
        QTest::mouseClick(app->mainWindow().findChild<QAbstractButton *>(QLatin1String(name)), Qt::LeftButton);
    }
    QString path(const char *name) const { return QDir(folder->path()).filePath(QLatin1String(name)); }

    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<mvx::Application> app;
};

void AproposTest::init()
{
    app.reset();
    folder = std::make_unique<QTemporaryDir>();
    platform = std::make_unique<ScriptedPlatform>();
    platform->folder = folder->path() + QLatin1Char('/');
    app = std::make_unique<mvx::Application>(*platform);
    app->show();
}

void AproposTest::aboutBoxShowsTheVersionEveryTime()
{
    auto *box = app->mainWindow().findChild<QDialog *>(QStringLiteral("apropos"));
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QStringLiteral("A propos"));
    QLabel *version = box->findChild<QLabel *>(QStringLiteral("lversion"));
    QVERIFY(!box->findChild<QLabel *>(QStringLiteral("ProgramIcon"))->pixmap().isNull());
    for (const char *before : { "", "9.99" }) {
        version->setText(QLatin1String(before));
        QString shown;
        bool modal = false;
        bool leftOpen = false;
        QTimer::singleShot(0, [&] {
            if (QApplication::activeModalWidget() != box)
                return;
            shown = version->text();
            modal = box->isModal();
            // Enter presses OK, the default button.
            QTest::keyClick(box, Qt::Key_Return);
            leftOpen = box->isVisible();
            if (leftOpen)
                box->reject();
        });
        click("binfos");
        QCOMPARE(shown, QStringLiteral("1.35"));
        QVERIFY(modal);
        QVERIFY(!leftOpen);
    }
}

void AproposTest::helpButtonPrefersTheCompiledHelp()
{
    // Neither file: nothing opens.
    click("baidegene");
    QVERIFY(platform->opened.isEmpty());
    QVERIFY(platform->browsed.isEmpty());

    // The user guide alone opens in the browser.
    QFile guide(path("marovellix.html"));
    QVERIFY(guide.open(QIODevice::WriteOnly));
    guide.close();
    click("baidegene");
    QCOMPARE(platform->browsed, QStringList { path("marovellix.html") });
    QVERIFY(platform->opened.isEmpty());

    // The compiled help, when it is there, goes to its own handler instead; a handler that
    // fails shows nothing.
    QFile compiled(path("marovellix.chm"));
    QVERIFY(compiled.open(QIODevice::WriteOnly));
    compiled.close();
    platform->documentsOpen = false;
    click("baidegene");
    QCOMPARE(platform->opened, QStringList { path("marovellix.chm") });
    QCOMPARE(platform->browsed.size(), 1);
    QVERIFY(platform->messages.empty());
}

void AproposTest::webButtonsOpenTheirPagesInTheBrowser()
{
    platform->browserFound = false;
    click("SpeedButton1");
    click("SpeedButton2");
    QCOMPARE(platform->browsed.size(), 2);
    const QUrl results(platform->browsed[0]);
    QCOMPARE(results.scheme(), QStringLiteral("https"));
    QVERIFY(!results.host().isEmpty());
    QCOMPARE(results.path(), QStringLiteral("/resultat-tierce-quarte-quinte.php"));
    QVERIFY(!results.hasQuery());
    const QUrl sites(platform->browsed[1]);
    QCOMPARE(sites.scheme(), QStringLiteral("https"));
    QVERIFY(!sites.host().isEmpty());
    QCOMPARE(sites.path(), QStringLiteral("/lienssitepronoshippique.php"));
    QCOMPARE(sites.query(), QStringLiteral("source=marovellix"));
    QVERIFY(platform->messages.empty());
    QVERIFY(platform->opened.isEmpty());
}

QTEST_MAIN(AproposTest)
#include "apropos_test.moc"
