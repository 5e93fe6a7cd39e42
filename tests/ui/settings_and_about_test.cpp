#include "model/outside_links.h"
#include "model/settings_file.h"
#include "support/scripted_platform.h"
#include "ui/Uimprime.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/uresultatcomb.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using mvx::SettingsRecord;

namespace {

// One run of the program on a folder that outlives it, so that a run reads the settings file
// the one before wrote at close. A record given is written as the settings file first.
struct Run
{
    explicit Run(const QTemporaryDir &folder, const SettingsRecord *record = nullptr)
    {
        platform.folder = folder.path() + QLatin1Char('/');
        if (record) {
            QFile file(mvx::settingsFilePath(platform.folder));
            if (file.open(QIODevice::WriteOnly))
                file.write(mvx::encodeSettings(*record));
        }
        app = std::make_unique<mvx::Application>(platform);
        app->show();
    }

    SettingsRecord &settings() { return app->state().settings; }
    QDialog *dialog() { return app->mainWindow().findChild<QDialog *>(QStringLiteral("fparametre")); }
    template <typename T = QLineEdit> T *find(const char *name) { return dialog()->findChild<T *>(name); }
    QString text(const char *label) { return find<QLabel>(label)->text(); }
    void ok() { QTest::mouseClick(find<QPushButton>("bok"), Qt::LeftButton); }
    void click(const char *button)
    {
        QTest::mouseClick(app->mainWindow().findChild<QAbstractButton *>(button), Qt::LeftButton);
    }
    QString create(const char *name)
    {
        QFile file(QDir(platform.folder).filePath(QLatin1String(name)));
        return file.open(QIODevice::WriteOnly) ? file.fileName() : QString();
    }

    // Clicks "Parametres" and runs `inside`, which closes the dialog, while it is open modally.
    // A dialog left open by a failed check is closed so that the test goes on.
    void openSettings(const std::function<void()> &inside)
    {
        bool ran = false;
        bool leftOpen = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!ran && QApplication::activeModalWidget() == dialog()) {
                ran = true;
                inside();
                if ((leftOpen = dialog()->isVisible()))
                    dialog()->reject();
            }
        });
        poll.start(10);
        click("bparametre");
        QVERIFY(ran);
        QVERIFY(!leftOpen);
    }

    mvx::testing::ScriptedPlatform platform;
    std::unique_ptr<mvx::Application> app;
};

// Replaces the text of a field by what the user types.
void retype(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

} // namespace

class SettingsAndAboutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultsThenAdjustmentKeptAcrossRestart();
    void englishTextsAndLanguageKept();
    void titleBarCloseAppliesNothing();
    void typingAndReadingTheFields();
    void aboutBoxShowsTheVersionEveryTime();
    void helpAndWebButtons();
    void buttonPicturesFromTheResources();
};

void SettingsAndAboutTest::defaultsThenAdjustmentKeptAcrossRestart()
{
    QTemporaryDir folder;
    {
        Run run(folder);
        QCOMPARE(run.dialog()->windowTitle(), QStringLiteral("Paramètres"));
        QCOMPARE(run.find<QGroupBox>("GroupBox1")->title(), QStringLiteral("Imprimante"));
        QCOMPARE(run.text("ldecalv"), QStringLiteral("ajustement vertical"));
        QCOMPARE(run.find("edech")->text(), QStringLiteral("0"));
        QCOMPARE(run.find("edecv")->text(), QStringLiteral("0"));
        QVERIFY(run.find<QRadioButton>("lfrancais")->isChecked());
        QVERIFY(!run.find<QGroupBox>("glangue")->isVisibleTo(run.dialog()));
        run.openSettings([&] {
            retype(run.find("edech"), QStringLiteral("-12"));
            QTest::keyClick(run.find("edech"), Qt::Key_Return);
        });
        QCOMPARE(run.settings().horizontalAdjustment, -12);
        QCOMPARE(run.settings().interfaceLanguage, 1);
        run.app->mainWindow().close();
    }
    Run again(folder);
    QCOMPARE(again.find("edech")->text(), QStringLiteral("-12"));
}

void SettingsAndAboutTest::englishTextsAndLanguageKept()
{
    QTemporaryDir folder;
    SettingsRecord record;
    record.interfaceLanguage = 2;
    {
        Run run(folder, &record);
        QCOMPARE(run.dialog()->windowTitle(), QStringLiteral("Parameters"));
        QCOMPARE(run.find<QGroupBox>("GroupBox1")->title(), QStringLiteral("Printer"));
        QCOMPARE(run.text("ldecalh"), QStringLiteral("horizontal adj."));
        QCOMPARE(run.text("ldecalv"), QStringLiteral("vertical adj."));
        QCOMPARE(run.find<QGroupBox>("glangue")->title(), QStringLiteral("Language"));
        QVERIFY(run.find<QRadioButton>("langlais")->isChecked());
        run.openSettings([&] { run.ok(); });
        QCOMPARE(run.settings().interfaceLanguage, 2);
    }
    // A language the program does not know reads as French, checks neither button and is kept.
    record.interfaceLanguage = 7;
    Run run(folder, &record);
    QCOMPARE(run.dialog()->windowTitle(), QStringLiteral("Paramètres"));
    QVERIFY(!run.find<QRadioButton>("lfrancais")->isChecked() && !run.find<QRadioButton>("langlais")->isChecked());
    run.openSettings([&] { run.ok(); });
    QCOMPARE(run.settings().interfaceLanguage, 7);
}

void SettingsAndAboutTest::titleBarCloseAppliesNothing()
{
    QTemporaryDir folder;
    SettingsRecord record;
    record.interfaceLanguage = 1;
    record.horizontalAdjustment = 123456789;
    record.verticalAdjustment = -3;
    Run run(folder, &record);
    QCOMPARE(run.find("edech")->text(), QStringLiteral("1234567"));

    run.openSettings([&] {
        retype(run.find("edecv"), QStringLiteral("7"));
        run.dialog()->close();
    });
    QCOMPARE(run.settings().verticalAdjustment, -3);
    QCOMPARE(run.settings().horizontalAdjustment, 123456789);

    // The typed 7 is still there at the next showing, and OK applies both fields.
    run.openSettings([&] {
        QCOMPARE(run.find("edecv")->text(), QStringLiteral("7"));
        run.ok();
    });
    QCOMPARE(run.settings().verticalAdjustment, 7);
    QCOMPARE(run.settings().horizontalAdjustment, 1234567);
}

void SettingsAndAboutTest::typingAndReadingTheFields()
{
    QTemporaryDir folder;
    Run run(folder);
    QLineEdit *h = run.find("edech");
    QLineEdit *v = run.find("edecv");
    // Letters and backspace are dropped, a sign goes anywhere, typing stops at five characters;
    // OK reads the digits met before the first wrong character. Delete still erases.
    const struct
    {
        const char *typed, *shown;
        int value;
    } cases[] = { { "12-3", "12-3", 12 }, { "-5-", "-5-", 5 }, { "a-4b\b2", "-42", -42 }, { "+9876543", "+9876", 9876 },
        { "-", "-", 0 } };
    for (const auto &c : cases) {
        run.openSettings([&] {
            retype(h, QString::fromLatin1(c.typed));
            QCOMPARE(h->text(), QString::fromLatin1(c.shown));
            v->setFocus();
            v->home(false);
            QTest::keyClick(v, Qt::Key_Delete);
            run.ok();
        });
        QCOMPARE(run.settings().horizontalAdjustment, c.value);
        QCOMPARE(run.settings().verticalAdjustment, 0);
        QCOMPARE(v->text(), QString());
    }
}

void SettingsAndAboutTest::aboutBoxShowsTheVersionEveryTime()
{
    QTemporaryDir folder;
    Run run(folder);
    auto *box = run.app->mainWindow().findChild<QDialog *>(QStringLiteral("apropos"));
    QCOMPARE(box->windowTitle(), QStringLiteral("A propos"));
    QVERIFY(!box->findChild<QLabel *>(QStringLiteral("ProgramIcon"))->pixmap().isNull());
    QLabel *version = box->findChild<QLabel *>(QStringLiteral("lversion"));
    for (const char *before : { "", "9.99" }) {
        version->setText(QLatin1String(before));
        QString shown;
        bool leftOpen = false;
        QTimer::singleShot(0, [&] {
            if (QApplication::activeModalWidget() != box)
                return;
            shown = version->text();
            QTest::keyClick(box, Qt::Key_Return); // OK is the default button
            if ((leftOpen = box->isVisible()))
                box->reject();
        });
        run.click("binfos");
        QCOMPARE(shown, QStringLiteral("1.35"));
        QVERIFY(!leftOpen);
    }
}

void SettingsAndAboutTest::helpAndWebButtons()
{
    QTemporaryDir folder;
    Run run(folder);
    run.click("baidegene"); // neither file: nothing opens
    QVERIFY(run.platform.opened.isEmpty() && run.platform.browsed.isEmpty());

    // The user guide opens in the browser, then the compiled help, once there, in its own
    // handler; a handler that fails is reported, in French, each time.
    run.platform.browserFound = false;
    run.platform.documentsOpen = false;
    const QString guide = run.create("marovellix.html");
    run.click("baidegene");
    const QString compiled = run.create("marovellix.chm");
    run.click("baidegene");
    QCOMPARE(run.platform.opened, QStringList { compiled });

    run.click("SpeedButton1");
    run.click("SpeedButton2");
    const QStringList browsed { guide,
        QStringLiteral("https://%1/resultat-tierce-quarte-quinte.php").arg(QLatin1String(mvx::kRaceResultsHost)),
        QStringLiteral("https://%1/lienssitepronoshippique.php?source=marovellix")
            .arg(QLatin1String(mvx::kProgramSiteHost)) };
    QCOMPARE(run.platform.browsed, browsed);
    QCOMPARE(run.platform.messages.size(), std::size_t(2));
    for (const auto &asked : run.platform.messages)
        QVERIFY2(asked.text.contains(QStringLiteral("navigateur")), qPrintable(asked.text));
}

// The pictures of the header's buttons and of both print buttons come from the resources' SVG
// files: a file missing or misnamed would leave a blank button. One picture per meaning: both
// print buttons show the same printer.
void SettingsAndAboutTest::buttonPicturesFromTheResources()
{
    QTemporaryDir folder;
    Run run(folder);
    mvx::Tfresultatcomb list(run.app->state(), run.platform);
    mvx::Tfimprime print(run.app->state(), run.platform);
    const auto picture = [](QWidget *window, const char *name) {
        auto *button = window->findChild<QAbstractButton *>(QLatin1String(name));
        return button ? button->icon().pixmap(QSize(24, 24), 1.0).toImage().convertToFormat(QImage::Format_ARGB32)
                      : QImage();
    };
    const QImage info = picture(&run.app->mainWindow(), "binfos");
    const QImage help = picture(&run.app->mainWindow(), "baidegene");
    const QImage printer = picture(&list, "bimprime");
    for (const QImage &image : { info, help, printer }) {
        QCOMPARE(image.size(), QSize(24, 24));
        int drawn = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                drawn += qAlpha(image.pixel(x, y)) > 128;
        QVERIFY2(drawn > 150, qPrintable(QString::number(drawn)));
    }
    QVERIFY(info != help);
    QCOMPARE(picture(&print, "boutlancer"), printer);
}

QTEST_MAIN(SettingsAndAboutTest)
#include "settings_and_about_test.moc"
