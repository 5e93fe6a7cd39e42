#include "ui/common_widgets.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>

using namespace mvx::ui;

namespace {

// A group like the program's: twenty labels (tag 0) each followed by its box (tags 1..20).
struct NumberedGroup
{
    QGroupBox group;
    QList<QLabel *> labels;
    QList<QComboBox *> boxes;

    NumberedGroup()
    {
        for (int k = 1; k <= 20; ++k) {
            labels << new QLabel(QString::number(k), &group);
            boxes << makeNumberBox(&group, QStringLiteral("c%1").arg(k), k, 2);
        }
    }
    QComboBox *box(int tag) const { return boxes[tag - 1]; }
};

} // namespace

class CommonWidgetsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gradientBandsOf256Rows();
    void gradientBandsOf523Rows();
    void backgroundFillsItsWindowAndPaintsTheBands();
    void numberListsAndTaggedOperations();
    void programWritesDoNotSignal();
    void digitFilter();
    void gridCells();
};

void CommonWidgetsTest::gradientBandsOf256Rows()
{
    const auto bands = gradientBands(256, kWindowStartColour, kWindowEndColour);
    QCOMPARE(bands.size(), std::size_t(256));
    for (int i = 0; i < 256; ++i) {
        QCOMPARE(bands[i].top, i);
        QCOMPARE(bands[i].bottom, i + 1);
    }
    QCOMPARE(bands.front().colour, kWindowStartColour);
    QCOMPARE(bands.back().colour, kWindowEndColour);
    // Band 128: 241 + round(-6*128/255), 255 + round(-128/255), 223 + round(-52*128/255).
    QCOMPARE(bands[128].colour, QColor(238, 254, 197));
    // Rounded to the nearest: truncating would keep band 128 at green 255, flooring would take
    // band 127 down to 254.
    QCOMPARE(bands[127].colour.green(), 255);
}

void CommonWidgetsTest::gradientBandsOf523Rows()
{
    const auto bands = gradientBands(523, QColor(0, 0, 255), QColor(255, 0, 0));
    QCOMPARE(bands.front().top, 0);
    QCOMPARE(bands.back().bottom, 523);
    int threes = 0;
    for (int i = 0; i < 256; ++i) {
        const int h = bands[i].bottom - bands[i].top;
        QVERIFY2(h == 2 || h == 3, qPrintable(QStringLiteral("band %1 is %2 rows").arg(i).arg(h)));
        if (h == 3)
            ++threes;
        if (i > 0)
            QCOMPARE(bands[i].top, bands[i - 1].bottom);
    }
    QCOMPARE(threes, 523 - 2 * 256);
    // 2.04 rounds down, 259.45 down, 261.5 up.
    QCOMPARE(bands[0].bottom, 2);
    QCOMPARE(bands[127].top, 259);
    QCOMPARE(bands[127].bottom, 262);
    QCOMPARE(bands[128].colour, QColor(128, 0, 127));
}

void CommonWidgetsTest::backgroundFillsItsWindowAndPaintsTheBands()
{
    QWidget window;
    window.resize(120, 256);
    auto *label = new QLabel(QStringLiteral("devant"), &window);
    TDegradeClass *background = addWindowBackground(&window);
    QCOMPARE(background->startColor(), kWindowStartColour);
    QCOMPARE(background->property("EndColor").value<QColor>(), kWindowEndColour);
    QCOMPARE(background->geometry(), window.rect());
    QCOMPARE(window.children().first(), background); // below the label
    QVERIFY(window.children().indexOf(label) > 0);

    window.show();
    window.resize(200, 523);
    QCOMPARE(background->geometry(), QRect(0, 0, 200, 523));

    window.resize(120, 256);
    const QImage image = background->grab().toImage();
    QCOMPARE(image.pixelColor(5, 0), kWindowStartColour);
    QCOMPARE(image.pixelColor(119, 128), QColor(238, 254, 197));
    QCOMPARE(image.pixelColor(60, 255), kWindowEndColour);

    TDegradeClass plain(nullptr);
    QCOMPARE(plain.startColor(), QColor(0, 0, 255));
    QCOMPARE(plain.endColor(), QColor(255, 0, 0));
}

void CommonWidgetsTest::numberListsAndTaggedOperations()
{
    NumberedGroup g;
    QComboBox *c1 = g.box(1);

    fillNumberList(c1, 20);
    QCOMPARE(c1->count(), 20);
    QCOMPARE(c1->currentText(), QStringLiteral("1"));
    QCOMPARE(c1->itemText(19), QStringLiteral("20"));
    fillNumberList(c1, 0);
    QCOMPARE(c1->count(), 0);
    QCOMPARE(c1->currentIndex(), -1);
    QCOMPARE(c1->currentText(), QString());

    // A box inside a nested group is not a child of the group and is left alone.
    auto *inner = new QGroupBox(&g.group);
    QComboBox *nested = makeNumberBox(inner, QStringLiteral("nested"), 5, 2);

    fillTaggedNumberLists(&g.group, 16);
    for (QComboBox *box : g.boxes) {
        QCOMPARE(box->count(), 16);
        QCOMPARE(box->currentText(), QStringLiteral("1"));
    }
    QCOMPARE(nested->count(), 0);

    enableByTag(&g.group, 8);
    QVERIFY(g.box(8)->isEnabled());
    QVERIFY(!g.box(9)->isEnabled());
    QVERIFY(!g.box(20)->isEnabled());
    QVERIFY(g.labels[19]->isEnabled());
    QVERIFY(nested->isEnabled());

    showByTag(&g.group, 0);
    for (int k = 1; k <= 20; ++k) {
        QVERIFY(g.box(k)->isHidden());
        QVERIFY(!g.labels[k - 1]->isHidden());
    }
    showByTag(&g.group, 8);
    QVERIFY(!g.box(8)->isHidden());
    QVERIFY(g.box(9)->isHidden());
    QVERIFY(!g.labels[19]->isHidden());

    colourByTag(&g.group, 2);
    QCOMPARE(g.box(2)->palette().color(QPalette::Base), QColor(Qt::red));
    QCOMPARE(g.box(2)->lineEdit()->palette().color(QPalette::Base), QColor(Qt::red));
    QCOMPARE(g.box(3)->lineEdit()->palette().color(QPalette::Base), QColor(Qt::white));
    colourByTag(&g.group, 0);
    QCOMPARE(g.box(1)->lineEdit()->palette().color(QPalette::Base), QColor(Qt::white));

    // The points boxes: a value above the list leaves the text empty, 0 too.
    fillNumberListAt(&g.group, 4, 20, 25);
    QCOMPARE(g.box(4)->count(), 20);
    QCOMPARE(g.box(4)->currentText(), QString());
    fillNumberListAt(&g.group, 4, 20, 3);
    QCOMPARE(g.box(4)->currentText(), QStringLiteral("3"));
    QCOMPARE(g.box(4)->currentIndex(), 2);
    fillNumberListAt(&g.group, 4, 20, 0);
    QCOMPARE(g.box(4)->currentText(), QString());
    QCOMPARE(g.box(5)->count(), 16); // only the tagged box was refilled

    setTaggedText(&g.group, 6, 7);
    QCOMPARE(g.box(6)->currentText(), QStringLiteral("7"));
    setTaggedText(&g.group, 6, 0); // not in the list, shown all the same
    QCOMPARE(g.box(6)->currentText(), QStringLiteral("0"));
    QCOMPARE(g.box(6)->count(), 16);
    QCOMPARE(tagOf(g.labels[0]), 0);
    QCOMPARE(tagOf(g.box(6)), 6);
}

void CommonWidgetsTest::programWritesDoNotSignal()
{
    NumberedGroup g;
    QSignalSpy textChanges(g.box(2), &QComboBox::currentTextChanged);
    QSignalSpy indexChanges(g.box(2), &QComboBox::currentIndexChanged);
    fillTaggedNumberLists(&g.group, 20);
    fillNumberListAt(&g.group, 2, 20, 5);
    setTaggedText(&g.group, 2, 9);
    fillNumberList(g.box(2), 0);
    QCOMPARE(textChanges.count(), 0);
    QCOMPARE(indexChanges.count(), 0);

    // The user's typing still signals.
    QTest::keyClicks(g.box(2), QStringLiteral("4"));
    QVERIFY(textChanges.count() > 0);
}

void CommonWidgetsTest::digitFilter()
{
    QWidget window;
    QComboBox *box = makeNumberBox(&window, QStringLiteral("cnbpronos"), 0, 4);
    QVERIFY(box->isEditable());
    QCOMPARE(box->completer(), nullptr);
    window.show();
    box->setFocus();

    QTest::keyClicks(box, QStringLiteral("1a -+,.Z2"));
    QCOMPARE(box->currentText(), QStringLiteral("12"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->currentText(), QStringLiteral("1"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->currentText(), QString());

    // Pasted and composed text: digits only.
    QApplication::clipboard()->setText(QStringLiteral("3x"));
    box->lineEdit()->paste();
    QCOMPARE(box->currentText(), QString());
    QApplication::clipboard()->setText(QStringLiteral("34"));
    box->lineEdit()->paste();
    QCOMPARE(box->currentText(), QStringLiteral("34"));
    QInputMethodEvent letter(QString(), {});
    letter.setCommitString(QStringLiteral("é"));
    QApplication::sendEvent(box->lineEdit(), &letter);
    QCOMPARE(box->currentText(), QStringLiteral("34"));
    QInputMethodEvent digit(QString(), {});
    digit.setCommitString(QStringLiteral("5"));
    QApplication::sendEvent(box->lineEdit(), &digit);
    QCOMPARE(box->currentText(), QStringLiteral("345"));

    // A two-character box with the list "1".."20": "2" stays "2", Enter adds nothing.
    QComboBox *c1 = makeNumberBox(&window, QStringLiteral("c1"), 1, 2);
    fillNumberList(c1, 20);
    c1->setFocus();
    c1->lineEdit()->clear();
    QTest::keyClicks(c1, QStringLiteral("2"));
    QCOMPARE(c1->currentText(), QStringLiteral("2"));
    QCOMPARE(c1->lineEdit()->selectedText(), QString());
    QTest::keyClicks(c1, QStringLiteral("345"));
    QCOMPARE(c1->currentText(), QStringLiteral("23"));
    QTest::keyClick(c1, Qt::Key_Return);
    QCOMPARE(c1->count(), 20);
}

void CommonWidgetsTest::gridCells()
{
    const QColor fixed(199, 185, 200), even(225, 255, 244), odd(255, 255, 255);
    GridCellDelegate delegate(1, 1);
    QCOMPARE(delegate.cellFill(0, 3), fixed);
    QCOMPARE(delegate.cellFill(4, 0), fixed);
    QCOMPARE(delegate.cellFill(1, 1), odd);
    QCOMPARE(delegate.cellFill(2, 1), even);
    GridCellDelegate noFixed(0, 0);
    QVERIFY(!noFixed.cellFill(0, 0).isValid());
    QCOMPARE(noFixed.cellFill(3, 0), odd);

    QStandardItemModel model(3, 2);
    model.setItem(2, 1, new QStandardItem(QStringLiteral("WWW")));
    model.setItem(1, 1, new QStandardItem(QStringLiteral("WWW")));

    // Paints a cell into a picture, selected, and counts the dark pixels of its text.
    auto paintCell = [&](const GridCellDelegate &d, int row, int column, QImage &image) {
        image = QImage(60, 20, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 60, 20);
        option.state |= QStyle::State_Selected;
        option.font = QFont(QStringLiteral("DejaVu Sans"), 9);
        QPainter painter(&image);
        d.paint(&painter, option, model.index(row, column));
        int dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() < 128 && c.green() < 128 && c.blue() < 128) {
                    ++dark;
                    if (x < 2 || y < 2)
                        return -1; // text must start 2 pixels in
                }
            }
        }
        return dark;
    };
    QImage image;
    const int normal = paintCell(delegate, 2, 1, image);
    QVERIFY(normal > 0);
    QCOMPARE(image.pixelColor(0, 0), even);
    QCOMPARE(image.pixelColor(59, 19), even);
    paintCell(delegate, 1, 1, image);
    QCOMPARE(image.pixelColor(0, 0), odd);

    GridCellDelegate boldSecond(1, 1);
    boldSecond.setBoldColumns({ 1 });
    const int bold = paintCell(boldSecond, 2, 1, image);
    QVERIFY2(bold > normal, qPrintable(QStringLiteral("%1 vs %2").arg(bold).arg(normal)));
}

QTEST_MAIN(CommonWidgetsTest)
#include "common_widgets_test.moc"
