#include "ui/Ufprono.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace mvx;

class FpronoTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void layout();
    void steppingThroughForecasts();
    void titleBarCloseLosesTheForecastAndReopeningShowsForecastOne();
    void retourStoresWhenShownModally();
    void countsBeyondTheTable();

private:
    QComboBox *box(int k) const { return window->findChild<QComboBox *>(QStringLiteral("c%1").arg(k)); }
    QPushButton *button(const char *name) const { return window->findChild<QPushButton *>(QLatin1String(name)); }
    QString shownNumber() const { return window->findChild<QLabel *>(QStringLiteral("lnuprono"))->text(); }
    int &forecast(int f, int p) { return state->forecasts[f - 1][p - 1]; }

    // Replaces the text of entry box k by what the user types (an empty text erases it).
    void type(int k, const QString &text)
    {
        QComboBox *b = box(k);
        b->setFocus();
        b->lineEdit()->selectAll();
        QTest::keyClick(b, Qt::Key_Backspace);
        QTest::keyClicks(b, text);
    }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    std::unique_ptr<GameState> state;
    std::unique_ptr<Tfsaiprono> window;
};

void FpronoTest::init()
{
    window.reset();
    state = std::make_unique<GameState>();
    state->horseCount = 16;
    state->horsesPerForecast = 8;
    state->forecastCount = 3;
    forecast(1, 1) = 3;
    forecast(1, 2) = 5;
    forecast(1, 3) = 9;
    forecast(1, 4) = 2;
    window = std::make_unique<Tfsaiprono>(*state);
}

void FpronoTest::layout()
{
    QCOMPARE(window->objectName(), QStringLiteral("fsaiprono"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Saisie des Pronostics"));
    QCOMPARE(window->size(), QSize(648, 227));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    auto geometry = [this](const char *name) { return window->findChild<QWidget *>(QLatin1String(name))->geometry(); };
    QCOMPARE(geometry("Panel1"), QRect(12, 18, 305, 39));
    QCOMPARE(geometry("lnuprono"), QRect(104, 8, 41, 16));
    QCOMPARE(geometry("bpronopre"), QRect(220, 2, 38, 35));
    QCOMPARE(geometry("bpronosui"), QRect(262, 2, 38, 35));
    QCOMPARE(geometry("gchevaux"), QRect(10, 61, 628, 102));
    QCOMPARE(geometry("BitBtn1"), QRect(492, 165, 147, 56));
    QCOMPARE(geometry("Label1").topLeft(), QPoint(8, 8));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("PRONOSTIC  N° : "));
    QCOMPARE(button("BitBtn1")->text(), QStringLiteral("Retour"));
    QVERIFY(!button("bpronopre")->icon().isNull());
    QVERIFY(!button("bpronosui")->icon().isNull());
    QCOMPARE(box(1)->geometry(), QRect(16, 25, 47, 21));
    QCOMPARE(box(10)->geometry(), QRect(573, 25, 47, 21));
    QCOMPARE(box(11)->geometry(), QRect(16, 73, 47, 21));
    QCOMPARE(box(16)->geometry(), QRect(332, 73, 47, 21));

    auto *group = window->findChild<QGroupBox *>(QStringLiteral("gchevaux"));
    QCOMPARE(group->title(), QString());
    int labels = 0;
    for (int k = 1; k <= 20; ++k) {
        QComboBox *b = box(k);
        QCOMPARE(b->parentWidget(), group);
        QCOMPARE(b->property("tag").toInt(), k);
        QVERIFY(b->isEditable());
        QCOMPARE(b->lineEdit()->maxLength(), 2);
    }
    for (QLabel *label : group->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        QCOMPARE(label->property("tag").toInt(), 0);
        const int k = label->text().toInt();
        QVERIFY(k >= 1 && k <= 20);
        QCOMPARE(label->y(), k <= 10 ? 11 : 59);
        ++labels;
    }
    QCOMPARE(labels, 20);
    QCOMPARE(group->findChild<QLabel *>(QStringLiteral("Label8"))->geometry().topLeft(), QPoint(413, 11));
}

void FpronoTest::steppingThroughForecasts()
{
    window->show();
    QCOMPARE(state->currentForecast, 1);
    QCOMPARE(shownNumber(), QStringLiteral("1"));
    QCOMPARE(box(1)->currentText(), QStringLiteral("3"));
    QCOMPARE(box(4)->currentText(), QStringLiteral("2"));
    QCOMPARE(box(8)->currentText(), QStringLiteral("0"));
    QVERIFY(box(8)->isEnabled());
    QVERIFY(!box(9)->isEnabled());
    QVERIFY(!box(20)->isEnabled());
    QCOMPARE(box(1)->count(), 16);
    QCOMPARE(box(1)->itemText(15), QStringLiteral("16"));

    type(1, QString()); // erased: keeps 3
    type(2, QStringLiteral("0")); // clears 5
    type(3, QStringLiteral("12"));
    type(4, QStringLiteral("17")); // above the 16 horses: keeps 2
    type(5, QStringLiteral("a-4")); // only the digit gets in
    QCOMPARE(box(5)->currentText(), QStringLiteral("4"));
    click("bpronosui");

    QCOMPARE(state->currentForecast, 2);
    QCOMPARE(shownNumber(), QStringLiteral("2"));
    const std::array<int, 20> first { 3, 0, 12, 2, 4 };
    QCOMPARE(state->forecasts[0], first);
    for (int k = 1; k <= 8; ++k)
        QCOMPARE(box(k)->currentText(), QStringLiteral("0"));

    type(1, QStringLiteral("7"));
    click("bpronosui");
    QCOMPARE(state->currentForecast, 3);
    type(1, QStringLiteral("8"));
    click("bpronosui"); // last forecast: nothing moves, nothing is stored
    QCOMPARE(state->currentForecast, 3);
    QCOMPARE(shownNumber(), QStringLiteral("3"));
    QCOMPARE(forecast(3, 1), 0);
    QCOMPARE(box(1)->currentText(), QStringLiteral("8"));

    click("bpronopre"); // stepping back stores forecast 3
    QCOMPARE(forecast(3, 1), 8);
    QCOMPARE(state->currentForecast, 2);
    QCOMPARE(box(1)->currentText(), QStringLiteral("7"));
    click("bpronopre");
    QCOMPARE(shownNumber(), QStringLiteral("1"));
    QCOMPARE(box(1)->currentText(), QStringLiteral("3")); // the erased number is back
    QCOMPARE(box(2)->currentText(), QStringLiteral("0"));
    QCOMPARE(box(3)->currentText(), QStringLiteral("12"));
    QCOMPARE(box(4)->currentText(), QStringLiteral("2"));

    type(1, QStringLiteral("6"));
    click("bpronopre"); // first forecast: nothing
    QCOMPARE(state->currentForecast, 1);
    QCOMPARE(forecast(1, 1), 3);

    // Escape leaves as "Retour" does, keeping the forecast on screen.
    button("bpronosui")->setFocus();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QCOMPARE(forecast(1, 1), 6);
    QCOMPARE(window->result(), int(QDialog::Accepted));
}

void FpronoTest::titleBarCloseLosesTheForecastAndReopeningShowsForecastOne()
{
    window->show();
    click("bpronosui");
    type(1, QStringLiteral("15"));
    type(2, QStringLiteral("14"));
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    QCOMPARE(forecast(2, 1), 0);
    QCOMPARE(forecast(2, 2), 0);

    // Counts changed in the main window meanwhile.
    state->horsesPerForecast = 4;
    state->horseCount = 5;
    window->show();
    QCOMPARE(state->currentForecast, 1);
    QCOMPARE(shownNumber(), QStringLiteral("1"));
    QCOMPARE(box(1)->currentText(), QStringLiteral("3"));
    QCOMPARE(box(1)->count(), 5);
    QVERIFY(box(4)->isEnabled());
    QVERIFY(!box(5)->isEnabled());
    QCOMPARE(box(5)->currentText(), QStringLiteral("1")); // out of use: shows the list's first
    QCOMPARE(forecast(1, 5), 0);

    type(3, QStringLiteral("6")); // above the 5 horses now
    type(4, QStringLiteral("5"));
    click("BitBtn1");
    QCOMPARE(forecast(1, 3), 9);
    QCOMPARE(forecast(1, 4), 5);
}

void FpronoTest::retourStoresWhenShownModally()
{
    QString shownOnOpening;
    QTimer::singleShot(0, this, [&] {
        shownOnOpening = shownNumber();
        type(8, QStringLiteral("11"));
        click("BitBtn1");
    });
    QCOMPARE(window->exec(), int(QDialog::Accepted));
    QCOMPARE(shownOnOpening, QStringLiteral("1"));
    QCOMPARE(forecast(1, 8), 11);
}

void FpronoTest::countsBeyondTheTable()
{
    state->forecastCount = 9999;
    state->horsesPerForecast = 99;
    state->horseCount = 99;
    window->show();
    for (int k = 1; k <= 20; ++k)
        QVERIFY(box(k)->isEnabled());
    QCOMPARE(box(20)->currentText(), QStringLiteral("0"));
    QCOMPARE(box(1)->count(), 99);

    state->currentForecast = 499;
    type(20, QStringLiteral("99"));
    click("bpronosui");
    QCOMPARE(forecast(499, 20), 99);
    QCOMPARE(shownNumber(), QStringLiteral("500"));
    type(20, QStringLiteral("98"));
    click("bpronosui"); // the table ends at 500
    QCOMPARE(shownNumber(), QStringLiteral("500"));
    QCOMPARE(state->currentForecast, 500);
    click("BitBtn1");
    QCOMPARE(forecast(500, 20), 98);
}

QTEST_MAIN(FpronoTest)
#include "fprono_test.moc"
