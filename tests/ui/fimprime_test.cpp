#include "slips/slip_layouts.h"
#include "support/scripted_platform.h"
#include "ui/Uimprime.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/qt_print_surface.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace mvx;
using mvx::testing::PdfWord;
using mvx::testing::PrintCall;
using mvx::testing::readPdfWords;
using mvx::testing::ScriptedPlatform;

class FimprimeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void opensWithTheWholeListAndChecksTheRange();
    void englishCaptionsAndLongCounts();
    void fixedBoxesPassedToTheRun();
    void printsFromTheMainWindowAndKeepsThePrintType();
    void pdfMarksLandWhereTheSlipExpectsThem();

private:
    template <typename T = QWidget> T *find(const char *name) const
    {
        return dialog->findChild<T *>(QLatin1String(name));
    }
    QLineEdit *field(const char *name) const { return find<QLineEdit>(name); }
    void click(const char *name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    // Picks a slip type from the list as a click on its line does.
    void pickSlipType(int slipType)
    {
        find<QComboBox>("ComboBox1")->setCurrentIndex(slipType - 1);
        Q_EMIT find<QComboBox>("ComboBox1")->activated(slipType - 1);
    }
    void setRange(const QString &first, const QString &last)
    {
        field("Gpremier")->setText(first);
        field("gdernier")->setText(last);
    }

    std::unique_ptr<GameState> state;
    ScriptedPlatform platform;
    std::unique_ptr<Tfimprime> dialog;
};

// Twelve tickets of five horses over a selection that holds horse h in slot h.
void FimprimeTest::init()
{
    dialog.reset();
    platform = ScriptedPlatform();
    state = std::make_unique<GameState>();
    for (int h = 1; h <= kMaxHorses; ++h)
        state->selection.otherHorses[std::size_t(h)] = h;
    state->tickets = TicketList::stored({ 5, 0 }, 12);
    for (int t = 1; t <= 12; ++t) {
        std::string letters;
        for (int p = 0; p < 5; ++p)
            letters += char('A' + (t - 1 + 3 * p) % kMaxHorses);
        state->tickets.append(letters);
    }
    dialog = std::make_unique<Tfimprime>(*state, platform);
}

void FimprimeTest::opensWithTheWholeListAndChecksTheRange()
{
    dialog->show();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Imprimer les Tickets"));
    QCOMPARE(dialog->size(), QSize(477, 351));
    QComboBox *types = find<QComboBox>("ComboBox1");
    QCOMPARE(types->count(), kSlipTypeCount);
    QCOMPARE(types->itemText(4), slipLayout(5).name);
    QCOMPARE(field("Gpremier")->text(), QStringLiteral("1"));
    QCOMPARE(field("gdernier")->text(), QStringLiteral("12"));

    // Only digits are typed; Backspace is discarded, Delete erases.
    field("Gpremier")->setFocus();
    field("Gpremier")->selectAll();
    QTest::keyClicks(field("Gpremier"), QStringLiteral("a1 -2.x3"));
    QTest::keyClick(field("Gpremier"), Qt::Key_Backspace);
    QCOMPARE(field("Gpremier")->text(), QStringLiteral("123"));
    QTest::keyClick(field("Gpremier"), Qt::Key_Home);
    QTest::keyClick(field("Gpremier"), Qt::Key_Delete);
    QCOMPARE(field("Gpremier")->text(), QStringLiteral("23"));
    // The Delete key of a keyboard types "\x7f", which QTest leaves out: it empties a selection.
    field("Gpremier")->selectAll();
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
    QApplication::sendEvent(field("Gpremier"), &del);
    QCOMPARE(field("Gpremier")->text(), QString());

    const QList<QPair<QString, QString>> refused = { { "0", "12" }, { "5", "3" }, { "1", "13" }, { "", "12" } };
    for (const auto &[first, last] : refused) {
        setRange(first, last);
        click("boutlancer");
        QVERIFY(dialog->isVisible());
    }
    QCOMPARE(platform.messages.size(), std::size_t(4));
    QCOMPARE(platform.messages[3].text, QString::fromUtf8("Numéros des tickets imprimer incorrect"));
    QCOMPARE(platform.messages[3].title, QString::fromUtf8("Problème !!"));
    QCOMPARE(platform.messages[3].icon, Platform::Icon::Warning);
    QCOMPARE(platform.printersOpened, 0);

    setRange("12", "12");
    click("boutlancer");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(platform.printer.count(PrintCall::Kind::EndDocument), 1);
}

void FimprimeTest::englishCaptionsAndLongCounts()
{
    state->settings.interfaceLanguage = 2;
    state->tickets = TicketList::countedOnly(state->tickets.layout(), 1860480);
    dialog->show();
    const QStringList english
        = { dialog->windowTitle(), find<QLabel>("Label3")->text(), find<QGroupBox>("GroupBox3")->title(),
              find<QLabel>("Label1")->text(), find<QLabel>("Label2")->text(), find<QGroupBox>("GroupBox2")->title(),
              find<QAbstractButton>("bimptsbull")->text(), find<QAbstractButton>("bimpunbull")->text(),
              find<QAbstractButton>("boutannule")->text(), find<QAbstractButton>("boutlancer")->text() };
    QCOMPARE(english,
        QStringList({ "Print", "TICKETS TYPE", "Tiket to print", "First", "Last", "Print Type", "Print all the tickets",
            "Stop after each ticket", "Cancel", "Print" }));
    QCOMPARE(find<QGroupBox>("grmise")->title(), QStringLiteral("Nombre de fois la mise"));

    // The last ticket of the biggest list shows whole.
    QCOMPARE(field("gdernier")->text(), QStringLiteral("1860480"));
    dialog->reject();

    // The next showing follows the language chosen meanwhile.
    state->settings.interfaceLanguage = 1;
    dialog->show();
    QCOMPARE(find<QAbstractButton>("bimpunbull")->text(), QString::fromUtf8("Imprimer un ticket à la fois"));
}

void FimprimeTest::fixedBoxesPassedToTheRun()
{
    dialog->show();
    // Slip type 2: the meeting and the stake, no bet type whatever was picked before.
    click("raquinte");
    pickSlipType(2);
    click("rar3");
    click("ram2");
    SlipRun run = dialog->chosenRun();
    QVERIFY(run.markFixedBoxes);
    QCOMPARE(run.fixedBoxes.meetingNumber, 3);
    QCOMPARE(run.fixedBoxes.stakeMultiplier, 2);
    QCOMPARE(run.fixedBoxes.betType, 0);

    pickSlipType(1);
    find<QCheckBox>("chcochecasefixe")->setChecked(false);
    run = dialog->chosenRun();
    QCOMPARE(run.fixedBoxes.betType + run.fixedBoxes.meetingNumber + run.fixedBoxes.stakeMultiplier, 0);

    // Slip type 3 hides the extra parameters and sets the box again; its bet type group keeps
    // its own flag, so the bet type picked under slip type 1 goes through.
    pickSlipType(3);
    QVERIFY(!find("grparasup")->isVisible());
    run = dialog->chosenRun();
    QVERIFY(run.markFixedBoxes);
    QCOMPARE(run.fixedBoxes.betType, 5);
    QCOMPARE(run.fixedBoxes.stakeMultiplier + run.fixedBoxes.meetingNumber, 0);
    dialog->reject();

    // A new showing clears the eighteen radio buttons.
    dialog->show();
    for (QRadioButton *button : find("grparasup")->findChildren<QRadioButton *>())
        QVERIFY2(!button->isChecked(), qPrintable(button->objectName()));
}

void FimprimeTest::printsFromTheMainWindowAndKeepsThePrintType()
{
    QTemporaryDir folder;
    ScriptedPlatform appPlatform;
    appPlatform.folder = folder.path() + QLatin1Char('/');
    Application app(appPlatform);
    app.show();
    auto control = [&app](const QString &name) {
        for (QWidget *w : app.mainWindow().findChildren<QWidget *>(name))
            if (w->window() == &app.mainWindow())
                return w;
        return static_cast<QWidget *>(nullptr);
    };
    // The generator: 4 horses three at a time, 4 tickets.
    qobject_cast<QTabWidget *>(control(QStringLiteral("PageControl1")))
        ->setCurrentWidget(control(QStringLiteral("tcombi")));
    qobject_cast<QComboBox *>(control(QStringLiteral("cnbchecomb")))->setCurrentIndex(3);
    qobject_cast<QComboBox *>(control(QStringLiteral("cnbchetick")))->setCurrentIndex(2);
    const QStringList horses = { "7", "3", "12", "5" };
    for (int i = 0; i < horses.size(); ++i)
        qobject_cast<QComboBox *>(control(QStringLiteral("c%1").arg(i + 1)))->setEditText(horses[i]);

    // Clicks the buttons of the print dialog once it is the modal window.
    QString opened;
    bool oneAtATime = false;
    auto whenOpen = [&](const char *choice, const char *button) {
        QTimer::singleShot(0, [&, choice, button] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            QWidget *shown = QApplication::activeModalWidget();
            opened = shown->objectName();
            oneAtATime = shown->findChild<QRadioButton *>(QStringLiteral("bimpunbull"))->isChecked();
            if (choice)
                QTest::mouseClick(shown->findChild<QRadioButton *>(QLatin1String(choice)), Qt::LeftButton);
            QTest::mouseClick(shown->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        });
    };
    QPushButton *print = qobject_cast<QPushButton *>(control(QStringLiteral("bimprimetickets")));
    whenOpen("bimpunbull", "boutlancer");
    appPlatform.answers = { Platform::Answer::Yes, Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Ok };
    QTest::mouseClick(print, Qt::LeftButton);
    QCOMPARE(opened, QStringLiteral("fimprime"));
    QCOMPARE(appPlatform.printer.count(PrintCall::Kind::EndDocument), 4);
    QCOMPARE(appPlatform.messages.size(), std::size_t(1 + 3)); // the count question, three prompts
    QCOMPARE(appPlatform.printer.count(PrintCall::Kind::DrawText), 4 * 3);

    // The print type chosen last time is still chosen.
    whenOpen(nullptr, "boutannule");
    appPlatform.answers = { Platform::Answer::Yes };
    QTest::mouseClick(print, Qt::LeftButton);
    QVERIFY(oneAtATime);
    QCOMPARE(appPlatform.printer.count(PrintCall::Kind::EndDocument), 4);
}

// A real PDF at 600 dpi, whose printable area starts 10 points in from the corner, with a
// printer adjustment: every "X" lands within half a millimetre of its place on the slip.
void FimprimeTest::pdfMarksLandWhereTheSlipExpectsThem()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("slips.pdf"));
    platform.printerFactory = [&file] { return QtPrintSurface::toPdf(file, 600); };
    state->settings.horizontalAdjustment = -3;
    state->settings.verticalAdjustment = 2;
    dialog->show();
    click("raquinte");
    click("ram3");
    setRange(QStringLiteral("2"), QStringLiteral("3"));
    click("boutlancer");

    struct Expected
    {
        int page;
        double x, y; // points from the sheet's corner
    };
    std::vector<Expected> expected;
    auto expect = [&](int page, const SlipPosition &cm) {
        expected.push_back({ page, (cm.x + state->settings.horizontalAdjustment / 10.0) / 2.54 * 72,
            (cm.y + state->settings.verticalAdjustment / 10.0) / 2.54 * 72 });
    };
    for (int t = 2; t <= 3; ++t) {
        for (const SlipPosition &mark : fixedMarks(1, { 5, 0, 3 }))
            expect(t - 1, mark);
        for (int p = 1; p <= 5; ++p) {
            const int horse = ticketHorse(state->selection, state->tickets.layout(), state->tickets.ticket(t), p);
            expect(t - 1, horseMark(slipLayout(1), horse, p, 1));
        }
    }

    const std::vector<PdfWord> words = readPdfWords(file);
    QCOMPARE(words.size(), expected.size());
    const double halfMm = 72 / 25.4 / 2;
    for (const Expected &e : expected) {
        const bool found = std::any_of(words.begin(), words.end(), [&](const PdfWord &w) {
            return w.page == e.page && w.text == QStringLiteral("X") && qAbs(w.xMin - e.x) <= halfMm
                && qAbs(w.yMin - e.y) <= halfMm;
        });
        QVERIFY2(found, qPrintable(QStringLiteral("no X near %1,%2 on page %3").arg(e.x).arg(e.y).arg(e.page)));
    }

    // Courier, or the fixed-pitch face of the same metrics where the machine has no Courier.
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), { file });
    QVERIFY(fonts.waitForFinished(60000));
    const QString fontList = QString::fromUtf8(fonts.readAllStandardOutput());
    QVERIFY2(fontList.contains(QStringLiteral("LiberationMono-Bold")) || fontList.contains(QStringLiteral("Courier")),
        qPrintable(fontList));
}

QTEST_MAIN(FimprimeTest)
#include "fimprime_test.moc"
