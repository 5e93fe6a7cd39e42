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
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace mvx;
using mvx::testing::PdfWord;
using mvx::testing::PrintCall;
using mvx::testing::readPdfWords;
using mvx::testing::ScriptedPlatform;

namespace {

// n tickets of five horses over a selection that holds horse h in slot h; ticket t starts
// with horse t.
void giveTickets(GameState &state, int n)
{
    for (int h = 1; h <= kMaxHorses; ++h)
        state.selection.otherHorses[std::size_t(h)] = h;
    TicketLayout layout;
    layout.horsesPerTicket = 5;
    state.tickets = TicketList::stored(layout, n);
    for (int t = 1; t <= n; ++t) {
        std::string letters;
        for (int p = 0; p < 5; ++p)
            letters += char('A' + (t - 1 + 3 * p) % kMaxHorses);
        state.tickets.append(letters);
    }
}

} // namespace

class FimprimeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void opensInFrenchWithTheWholeList();
    void captionsFollowTheLanguage();
    void rangeIsCheckedBeforePrinting();
    void rangeFieldsTakeDigitsOnlyAndHoldLongCounts();
    void fixedBoxesPassedToTheRun();
    void printsFromTheMainWindowAndKeepsThePrintType();
    void pdfMarksLandWhereTheSlipExpectsThem();

private:
    template <typename T = QWidget> T *find(const char *name) const
    {
        T *widget = dialog->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no control named %s", name);
        return widget;
    }
    QString text(const char *name) const { return find<QLabel>(name)->text(); }
    void click(const char *name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    void open()
    {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    // Picks a slip type from the list as a click on its line does.
    void pickSlipType(int slipType)
    {
        QComboBox *box = find<QComboBox>("ComboBox1");
        box->setCurrentIndex(slipType - 1);
        Q_EMIT box->activated(slipType - 1);
    }
    void setRange(const QString &first, const QString &last)
    {
        find<QLineEdit>("Gpremier")->setText(first);
        find<QLineEdit>("gdernier")->setText(last);
    }

    std::unique_ptr<GameState> state;
    ScriptedPlatform platform;
    std::unique_ptr<Tfimprime> dialog;
};

void FimprimeTest::init()
{
    dialog.reset();
    platform = ScriptedPlatform();
    state = std::make_unique<GameState>();
    giveTickets(*state, 12);
    dialog = std::make_unique<Tfimprime>(*state, platform);
}

void FimprimeTest::opensInFrenchWithTheWholeList()
{
    open();
    QCOMPARE(dialog->objectName(), QStringLiteral("fimprime"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Imprimer les Tickets"));
    QCOMPARE(dialog->size(), QSize(477, 351));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    QCOMPARE(text("Label4"), QStringLiteral("IMPRIMER LES TICKETS"));
    QCOMPARE(text("Label3"), QStringLiteral("TYPE DE TICKETS"));
    QCOMPARE(find<QGroupBox>("GroupBox3")->title(), QString::fromUtf8("Tickets à imprimer"));
    QCOMPARE(find<QGroupBox>("grparasup")->title(), QString::fromUtf8("Parametres supplémentaires"));
    QCOMPARE(
        find<QLineEdit>("Gpremier")->toolTip(), QString::fromUtf8("Entrez le numero du premier ticket à imprimer"));
    QCOMPARE(
        find<QLineEdit>("gdernier")->toolTip(), QString::fromUtf8("Entrez le numero du dernier ticket à imprimer"));
    QCOMPARE(find<QAbstractButton>("boutlancer")->text(), QStringLiteral("Imprimer"));

    QComboBox *types = find<QComboBox>("ComboBox1");
    QCOMPARE(types->count(), kSlipTypeCount);
    for (int i = 0; i < kSlipTypeCount; ++i)
        QCOMPARE(types->itemText(i), slipLayout(i + 1).name);
    QCOMPARE(types->currentIndex(), 0);
    QVERIFY(!types->isEditable());

    QCOMPARE(find<QLineEdit>("Gpremier")->text(), QStringLiteral("1"));
    QCOMPARE(find<QLineEdit>("gdernier")->text(), QStringLiteral("12"));
    QVERIFY(find<QRadioButton>("bimptsbull")->isChecked());
    QVERIFY(find<QCheckBox>("chcochecasefixe")->isChecked());
    QVERIFY(find("grmise")->isVisible());
    QVERIFY(find("grpari")->isVisible());
    QVERIFY(!find("grreunion")->isVisible());
    const QStringList stakes = { "ram1", "ram2", "ram3", "ram4", "ram5", "ram10", "ram20" };
    for (const QString &name : stakes)
        QCOMPARE(find<QRadioButton>(name.toLatin1().constData())->text(), name.mid(3));
    QCOMPARE(find<QRadioButton>("raquarte")->text(), QStringLiteral("Quarte+"));
    QCOMPARE(find<QRadioButton>("rar8")->text(), QStringLiteral("8"));

    click("boutannule");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(platform.printersOpened, 0);
}

void FimprimeTest::captionsFollowTheLanguage()
{
    state->settings.interfaceLanguage = 2;
    open();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Print"));
    QCOMPARE(text("Label3"), QStringLiteral("TICKETS TYPE"));
    QCOMPARE(find<QGroupBox>("GroupBox3")->title(), QStringLiteral("Tiket to print"));
    QCOMPARE(text("Label1"), QStringLiteral("First"));
    QCOMPARE(text("Label2"), QStringLiteral("Last"));
    QCOMPARE(find<QGroupBox>("GroupBox2")->title(), QStringLiteral("Print Type"));
    QCOMPARE(find<QAbstractButton>("bimptsbull")->text(), QStringLiteral("Print all the tickets"));
    QCOMPARE(find<QAbstractButton>("bimpunbull")->text(), QStringLiteral("Stop after each ticket"));
    QCOMPARE(find<QAbstractButton>("boutannule")->text(), QStringLiteral("Cancel"));
    QCOMPARE(find<QAbstractButton>("boutlancer")->text(), QStringLiteral("Print"));
    // The rest stays French.
    QCOMPARE(find<QGroupBox>("grmise")->title(), QStringLiteral("Nombre de fois la mise"));
    dialog->reject();

    // The next showing follows the language chosen meanwhile; any value but 2 is French.
    state->settings.interfaceLanguage = 7;
    open();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Imprimer les Tickets"));
    QCOMPARE(find<QAbstractButton>("bimpunbull")->text(), QString::fromUtf8("Imprimer un ticket à la fois"));
    QCOMPARE(find<QGroupBox>("GroupBox2")->title(), QStringLiteral("Type d impression"));
}

void FimprimeTest::rangeIsCheckedBeforePrinting()
{
    open();
    const QList<QPair<QString, QString>> refused = { { "0", "12" }, { "5", "3" }, { "1", "13" }, { "", "12" } };
    for (const auto &[first, last] : refused) {
        platform.messages.clear();
        setRange(first, last);
        click("boutlancer");
        QCOMPARE(platform.messages.size(), std::size_t(1));
        QCOMPARE(platform.messages[0].text, QString::fromUtf8("Numéros des tickets imprimer incorrect"));
        QCOMPARE(platform.messages[0].title, QString::fromUtf8("Problème !!"));
        QCOMPARE(platform.messages[0].buttons, Platform::Buttons::Ok);
        QCOMPARE(platform.messages[0].icon, Platform::Icon::Warning);
        QVERIFY(dialog->isVisible());
        QCOMPARE(find<QLineEdit>("Gpremier")->text(), first);
    }
    QCOMPARE(platform.printersOpened, 0);

    setRange("12", "12");
    click("boutlancer");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(platform.printer.count(PrintCall::Kind::EndDocument), 1);
    QCOMPARE(platform.printer.count(PrintCall::Kind::DrawText), 5 + 0); // no fixed value was chosen
}

void FimprimeTest::rangeFieldsTakeDigitsOnlyAndHoldLongCounts()
{
    open();
    QLineEdit *first = find<QLineEdit>("Gpremier");
    first->setFocus();
    first->selectAll();
    QTest::keyClicks(first, QStringLiteral("a1 -2.x3"));
    QCOMPARE(first->text(), QStringLiteral("123"));
    QTest::keyClick(first, Qt::Key_Backspace);
    QCOMPARE(first->text(), QStringLiteral("123"));
    QTest::keyClick(first, Qt::Key_Home);
    QTest::keyClick(first, Qt::Key_Delete);
    QCOMPARE(first->text(), QStringLiteral("23"));
    QTest::keyClicks(first, QStringLiteral("45678"));
    QCOMPARE(first->text(), QStringLiteral("4523")); // four digits with twelve tickets
    dialog->reject();

    // The last ticket of the biggest list shows whole, and can be typed back.
    state->tickets = TicketList::countedOnly(state->tickets.layout(), 1860480);
    open();
    QLineEdit *last = find<QLineEdit>("gdernier");
    QCOMPARE(last->text(), QStringLiteral("1860480"));
    last->setFocus();
    last->selectAll();
    QTest::keyClicks(last, QStringLiteral("18604799"));
    QCOMPARE(last->text(), QStringLiteral("1860479"));
    QCOMPARE(dialog->chosenRun().lastTicket, 1860479);
}

void FimprimeTest::fixedBoxesPassedToTheRun()
{
    open();
    // Slip type 2: the meeting and the stake; no bet type, whatever was picked before.
    click("raquinte");
    pickSlipType(2);
    QVERIFY(find("grreunion")->isVisible());
    QVERIFY(!find("grpari")->isVisible());
    click("rar3");
    click("ram2");
    SlipRun run = dialog->chosenRun();
    QCOMPARE(run.slipType, 2);
    QVERIFY(run.markFixedBoxes);
    QCOMPARE(run.fixedBoxes.meetingNumber, 3);
    QCOMPARE(run.fixedBoxes.stakeMultiplier, 2);
    QCOMPARE(run.fixedBoxes.betType, 0);

    // Slip type 1 with the box cleared: no fixed value at all.
    pickSlipType(1);
    find<QCheckBox>("chcochecasefixe")->setChecked(false);
    run = dialog->chosenRun();
    QVERIFY(!run.markFixedBoxes);
    QCOMPARE(run.fixedBoxes.betType + run.fixedBoxes.meetingNumber + run.fixedBoxes.stakeMultiplier, 0);

    // Slip type 3 hides the extra parameters and sets the box; its bet type group keeps its
    // own flag, so the bet type picked under slip type 1 goes through.
    pickSlipType(3);
    QVERIFY(!find("grparasup")->isVisible());
    QVERIFY(find<QCheckBox>("chcochecasefixe")->isChecked());
    run = dialog->chosenRun();
    QCOMPARE(run.fixedBoxes.betType, 5);
    QCOMPARE(run.fixedBoxes.stakeMultiplier, 0);
    QCOMPARE(run.fixedBoxes.meetingNumber, 0);

    // Slip type 4 after 2: hidden, yet the still-flagged groups give their values.
    pickSlipType(2);
    pickSlipType(4);
    QVERIFY(!find("grparasup")->isVisible());
    run = dialog->chosenRun();
    QCOMPARE(run.fixedBoxes.meetingNumber, 3);
    QCOMPARE(run.fixedBoxes.stakeMultiplier, 2);
    dialog->reject();

    // A new showing clears the eighteen radio buttons and goes back to slip type 1.
    open();
    QCOMPARE(find<QComboBox>("ComboBox1")->currentIndex(), 0);
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
    Tfprincip &main = app.mainWindow();
    auto control = [&main](const QString &name) {
        for (QWidget *w : main.findChildren<QWidget *>(name))
            if (w->window() == &main)
                return w;
        qFatal("no control %s", qPrintable(name));
        return static_cast<QWidget *>(nullptr);
    };
    // The generator: 4 horses three at a time gives 4 tickets.
    qobject_cast<QTabWidget *>(control(QStringLiteral("PageControl1")))
        ->setCurrentWidget(control(QStringLiteral("tcombi")));
    qobject_cast<QComboBox *>(control(QStringLiteral("cnbchecomb")))->setCurrentIndex(3);
    qobject_cast<QComboBox *>(control(QStringLiteral("cnbchetick")))->setCurrentIndex(2);
    const QStringList horses = { "7", "3", "12", "5" };
    for (int i = 0; i < horses.size(); ++i)
        qobject_cast<QComboBox *>(control(QStringLiteral("c%1").arg(i + 1)))->setEditText(horses[i]);

    // Acts on the print dialog once it is the modal window.
    auto whenOpen = [](const std::function<void(QWidget *)> &act) {
        QTimer::singleShot(0, [act] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            act(QApplication::activeModalWidget());
        });
    };
    QString opened;
    whenOpen([&](QWidget *shown) {
        opened = shown->objectName();
        QTest::mouseClick(shown->findChild<QRadioButton *>(QStringLiteral("bimpunbull")), Qt::LeftButton);
        QTest::mouseClick(shown->findChild<QPushButton *>(QStringLiteral("boutlancer")), Qt::LeftButton);
    });
    appPlatform.answers = { Platform::Answer::Yes, Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Ok };
    QTest::mouseClick(qobject_cast<QPushButton *>(control(QStringLiteral("bimprimetickets"))), Qt::LeftButton);
    QCOMPARE(opened, QStringLiteral("fimprime"));
    QCOMPARE(app.state().tickets.count(), 4);
    QCOMPARE(appPlatform.printer.count(PrintCall::Kind::EndDocument), 4);
    QCOMPARE(appPlatform.messages.size(), std::size_t(1 + 3)); // the count question, three prompts
    // The first slip: 7, 3, 12 on rows 1 to 3 of slip type 1.
    QCOMPARE(appPlatform.printer.count(PrintCall::Kind::DrawText), 4 * 3);

    // The print type chosen last time is still chosen.
    bool oneAtATime = false;
    whenOpen([&](QWidget *shown) {
        oneAtATime = shown->findChild<QRadioButton *>(QStringLiteral("bimpunbull"))->isChecked();
        QTest::mouseClick(shown->findChild<QPushButton *>(QStringLiteral("boutannule")), Qt::LeftButton);
    });
    appPlatform.answers = { Platform::Answer::Yes };
    QTest::mouseClick(qobject_cast<QPushButton *>(control(QStringLiteral("bimprimetickets"))), Qt::LeftButton);
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
    open();
    click("raquinte");
    click("ram3");
    setRange(QStringLiteral("2"), QStringLiteral("3"));
    click("boutlancer");
    QVERIFY(!dialog->isVisible());

    // Expected top-left corners in points from the sheet's corner, page by page.
    struct Expected
    {
        int page;
        double x, y;
    };
    std::vector<Expected> expected;
    auto expect = [&](int page, const SlipPosition &cm) {
        expected.push_back({ page, (cm.x + state->settings.horizontalAdjustment / 10.0) / 2.54 * 72,
            (cm.y + state->settings.verticalAdjustment / 10.0) / 2.54 * 72 });
    };
    for (int t = 2; t <= 3; ++t) {
        for (const SlipPosition &mark : fixedMarks(1, { 5, 0, 3 }))
            expect(t - 1, mark);
        for (int p = 1; p <= 5; ++p)
            expect(t - 1,
                horseMark(slipLayout(1),
                    ticketHorse(state->selection, state->tickets.layout(), state->tickets.ticket(t), p), p, 1));
    }

    // Courier, or the fixed-pitch face of the same metrics where the machine has no Courier.
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), { file });
    QVERIFY(fonts.waitForFinished(60000));
    const QString fontList = QString::fromUtf8(fonts.readAllStandardOutput());
    QVERIFY2(fontList.contains(QStringLiteral("LiberationMono-Bold")) || fontList.contains(QStringLiteral("Courier")),
        qPrintable(fontList));

    const std::vector<PdfWord> words = readPdfWords(file);
    QCOMPARE(words.size(), expected.size());
    const double halfMm = 72 / 25.4 / 2;
    for (const Expected &e : expected) {
        const auto near = std::find_if(words.begin(), words.end(), [&](const PdfWord &w) {
            return w.page == e.page && w.text == QStringLiteral("X") && qAbs(w.xMin - e.x) <= halfMm
                && qAbs(w.yMin - e.y) <= halfMm;
        });
        QVERIFY2(near != words.end(),
            qPrintable(QStringLiteral("no X near %1,%2 on page %3").arg(e.x).arg(e.y).arg(e.page)));
    }
}

QTEST_MAIN(FimprimeTest)
#include "fimprime_test.moc"
