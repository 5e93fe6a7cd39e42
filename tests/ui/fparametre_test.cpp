#include "model/settings_file.h"
#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/application.h"

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
using mvx::testing::ScriptedPlatform;

namespace {

// One run of the program on a program folder that outlives it, so that a second run reads
// the settings file the first one wrote at close.
struct Run
{
    explicit Run(const QTemporaryDir &folder)
    {
        platform.folder = folder.path() + QLatin1Char('/');
        app = std::make_unique<mvx::Application>(platform);
        app->show();
    }

    SettingsRecord &settings() { return app->state().settings; }
    QDialog *dialog() { return app->mainWindow().findChild<QDialog *>(QStringLiteral("fparametre")); }
    template <typename T> T *find(const char *name) { return dialog()->findChild<T *>(QLatin1String(name)); }
    QLineEdit *field(const char *name) { return find<QLineEdit>(name); }

    // Clicks "Parametres" and runs `inside` while the dialog is open modally; `inside` is to
    // close it. A dialog left open (a failed check inside) is closed so the test goes on.
    void openSettings(const std::function<void()> &inside)
    {
        bool ran = false;
        bool leftOpen = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!ran && QApplication::activeModalWidget() == dialog()) {
                ran = true;
                inside();
                leftOpen = dialog()->isVisible();
                if (leftOpen)
                    dialog()->reject();
            }
        });
        poll.start();
        QTest::mouseClick(app->mainWindow().findChild<QPushButton *>(QStringLiteral("bparametre")), Qt::LeftButton);
        QVERIFY(ran);
        QVERIFY(!leftOpen);
    }

    ScriptedPlatform platform;
    std::unique_ptr<mvx::Application> app;
};

void writeSettings(const QTemporaryDir &folder, const SettingsRecord &record)
{
    QFile file(mvx::settingsFilePath(folder.path() + QLatin1Char('/')));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(mvx::encodeSettings(record));
}

// Replaces the text of a field by what the user types.
void retype(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

} // namespace

class FparametreTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultsThenAdjustmentKeptAcrossRestart();
    void englishTextsAndLanguageKept();
    void titleBarCloseAppliesNothing();
    void typingAndReadingTheFields();
};

void FparametreTest::defaultsThenAdjustmentKeptAcrossRestart()
{
    QTemporaryDir folder;
    {
        Run run(folder);
        QCOMPARE(run.dialog()->windowTitle(), QStringLiteral("Paramètres"));
        QCOMPARE(run.find<QGroupBox>("GroupBox1")->title(), QStringLiteral("Imprimante"));
        QCOMPARE(run.find<QLabel>("ldecalv")->text(), QStringLiteral("ajustement vertical"));
        QCOMPARE(run.field("edech")->text(), QStringLiteral("0"));
        QCOMPARE(run.field("edecv")->text(), QStringLiteral("0"));
        QVERIFY(run.find<QRadioButton>("lfrancais")->isChecked());
        QVERIFY(!run.find<QGroupBox>("glangue")->isVisibleTo(run.dialog()));
        run.openSettings([&] {
            retype(run.field("edech"), QStringLiteral("-12"));
            QTest::keyClick(run.field("edech"), Qt::Key_Return);
        });
        QCOMPARE(run.settings().horizontalAdjustment, -12);
        QCOMPARE(run.settings().interfaceLanguage, 1);
        run.app->mainWindow().close();
    }
    Run again(folder);
    QCOMPARE(again.field("edech")->text(), QStringLiteral("-12"));
    QCOMPARE(again.settings().horizontalAdjustment, -12);
}

void FparametreTest::englishTextsAndLanguageKept()
{
    QTemporaryDir folder;
    SettingsRecord english;
    english.interfaceLanguage = 2;
    writeSettings(folder, english);
    {
        Run run(folder);
        QCOMPARE(run.dialog()->windowTitle(), QStringLiteral("Parameters"));
        QCOMPARE(run.find<QGroupBox>("GroupBox1")->title(), QStringLiteral("Printer"));
        QCOMPARE(run.find<QLabel>("ldecalh")->text(), QStringLiteral("horizontal adj."));
        QCOMPARE(run.find<QLabel>("ldecalv")->text(), QStringLiteral("vertical adj."));
        QCOMPARE(run.find<QGroupBox>("glangue")->title(), QStringLiteral("Language"));
        QVERIFY(run.find<QRadioButton>("langlais")->isChecked());
        run.openSettings([&] { QTest::mouseClick(run.find<QPushButton>("bok"), Qt::LeftButton); });
        QCOMPARE(run.settings().interfaceLanguage, 2);
    }
    // A language the program does not know checks neither button and survives OK.
    SettingsRecord unknown;
    unknown.interfaceLanguage = 7;
    writeSettings(folder, unknown);
    Run run(folder);
    QCOMPARE(run.dialog()->windowTitle(), QStringLiteral("Paramètres"));
    QVERIFY(!run.find<QRadioButton>("lfrancais")->isChecked());
    QVERIFY(!run.find<QRadioButton>("langlais")->isChecked());
    run.openSettings([&] { QTest::mouseClick(run.find<QPushButton>("bok"), Qt::LeftButton); });
    QCOMPARE(run.settings().interfaceLanguage, 7);
}

void FparametreTest::titleBarCloseAppliesNothing()
{
    QTemporaryDir folder;
    SettingsRecord wide;
    wide.interfaceLanguage = 1;
    wide.horizontalAdjustment = 123456789;
    wide.verticalAdjustment = -3;
    writeSettings(folder, wide);
    Run run(folder);
    QCOMPARE(run.field("edech")->text(), QStringLiteral("1234567"));

    run.openSettings([&] {
        retype(run.field("edecv"), QStringLiteral("7"));
        run.dialog()->close();
    });
    QCOMPARE(run.settings().verticalAdjustment, -3);
    QCOMPARE(run.settings().horizontalAdjustment, 123456789);

    // The typed 7 is still there at the next showing, and OK applies both fields.
    run.openSettings([&] {
        QCOMPARE(run.field("edecv")->text(), QStringLiteral("7"));
        QTest::mouseClick(run.find<QPushButton>("bok"), Qt::LeftButton);
    });
    QCOMPARE(run.settings().verticalAdjustment, 7);
    QCOMPARE(run.settings().horizontalAdjustment, 1234567);
}

void FparametreTest::typingAndReadingTheFields()
{
    QTemporaryDir folder;
    Run run(folder);
    QLineEdit *h = run.field("edech");
    QLineEdit *v = run.field("edecv");
    struct Case
    {
        const char *typed;
        const char *shown;
        int value;
    };
    // Letters and backspace are dropped, a sign goes anywhere, typing stops at five characters;
    // OK reads the digits met before the first wrong character.
    const Case cases[] = { { "12-3", "12-3", 12 }, { "-5-", "-5-", 5 }, { "a-4b\b2", "-42", -42 },
        { "+9876543", "+9876", 9876 }, { "-", "-", 0 } };
    for (const Case &c : cases) {
        run.openSettings([&] {
            retype(h, QString::fromLatin1(c.typed));
            QCOMPARE(h->text(), QString::fromLatin1(c.shown));
            // Delete removes the whole text, which reads as 0.
            v->setFocus();
            v->home(false);
            for (int i = v->text().size(); i > 0; --i)
                QTest::keyClick(v, Qt::Key_Delete);
            QTest::mouseClick(run.find<QPushButton>("bok"), Qt::LeftButton);
        });
        QCOMPARE(run.settings().horizontalAdjustment, c.value);
        QCOMPARE(run.settings().verticalAdjustment, 0);
    }

    // A seven-character text from the file cannot grow, but typing over a selection works.
    h->setText(QStringLiteral("-123456"));
    h->setFocus();
    h->end(false);
    QTest::keyClick(h, Qt::Key_1);
    QCOMPARE(h->text(), QStringLiteral("-123456"));
    h->setSelection(1, 3);
    QTest::keyClicks(h, QStringLiteral("8"));
    QCOMPARE(h->text(), QStringLiteral("-8456"));
}

QTEST_MAIN(FparametreTest)
#include "fparametre_test.moc"
