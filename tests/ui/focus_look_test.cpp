#include "ui/common_widgets.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

using namespace mvx::ui;

// A window set up as the program's: a default button, a plain one and a grid. The control with
// the focus must look different from the same control without it, and a control that never had
// the focus must look as it does under the application's own style.
class FocusLookTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theFocusedControlShowsItAndTheOthersLookAsBefore()
    {
        QDialog window;
        setUpWindow(&window, QStringLiteral("focusLook"), QSize(320, 200));
        auto *ok = new QPushButton(QStringLiteral("OK"), &window);
        ok->setGeometry(10, 150, 90, 30);
        ok->setDefault(true);
        // The default stays on OK whichever button has the focus, as in the program's dialogs
        // whose other buttons do not take the default.
        ok->setAutoDefault(false);
        auto *back = new QPushButton(QStringLiteral("Retour"), &window);
        back->setGeometry(120, 150, 90, 30);
        back->setAutoDefault(false);
        QStandardItemModel model(3, 2);
        auto *grid = new QTableView(&window);
        grid->setModel(&model);
        grid->setGeometry(10, 10, 300, 120);

        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        back->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(back->hasFocus());
        QVERIFY(ok->isDefault());
        const QImage okBefore = ok->grab().toImage();
        const QImage gridBefore = grid->grab().toImage();
        const QImage backFocused = back->grab().toImage();

        ok->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(ok->hasFocus());
        QVERIFY(ok->isDefault());
        const QImage okFocused = ok->grab().toImage();
        QVERIFY2(okFocused != okBefore, "a focused default button looks like an unfocused one");

        grid->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(grid->hasFocus());
        const QImage gridFocused = grid->grab().toImage();
        QVERIFY2(gridFocused != gridBefore, "a focused grid looks like an unfocused one");
        QVERIFY2(back->grab().toImage() != backFocused, "the button keeps its focus look");

        // The focus gone, the default button and the grid look as they did before they had it.
        back->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(back->hasFocus());
        QCOMPARE(ok->grab().toImage(), okBefore);
        QCOMPARE(grid->grab().toImage(), gridBefore);
    }
};

QTEST_MAIN(FocusLookTest)

#include "focus_look_test.moc"
