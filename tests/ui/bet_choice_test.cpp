// The Pari list of the systems page: the generator's ticket size and order follow the bet, the
// bet follows a ticket size, and the tickets made are played as the bet.

#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/stakes_dialog.h"

#include "combi/game_cost.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using mvx::Bet;

class BetChoiceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theSizeAndTheOrderFollowTheBetAndTheBetTheSize();
    void theStakesWindowHasARowPerBet();
};

namespace {

template <typename T = QWidget> T *find(QWidget &window, const QString &name)
{
    for (T *widget : window.findChildren<T *>(name))
        if (widget->window() == &window)
            return widget;
    qFatal("no control named %s", qPrintable(name));
    return nullptr;
}

} // namespace

void BetChoiceTest::theSizeAndTheOrderFollowTheBetAndTheBetTheSize()
{
    QTemporaryDir folder;
    mvx::testing::ScriptedPlatform platform;
    platform.folder = folder.path() + QLatin1Char('/');
    mvx::Application app(platform);
    app.show();
    QWidget &window = app.mainWindow();

    auto *pari = find<QComboBox>(window, QStringLiteral("cpari"));
    auto *perTicket = find<QComboBox>(window, QStringLiteral("cnbchetick"));
    auto *combinations = find<QRadioButton>(window, QStringLiteral("rtopcombred"));
    auto *orders = find<QRadioButton>(window, QStringLiteral("rtopcombcomp"));
    QCOMPARE(pari->accessibleName(), QStringLiteral("Pari"));
    QCOMPARE(pari->currentText(), QStringLiteral("Quinté+"));

    find<QTabWidget>(window, QStringLiteral("PageControl1"))->setCurrentWidget(find(window, QStringLiteral("tcombi")));
    find<QComboBox>(window, QStringLiteral("cnbchecomb"))->setCurrentIndex(2);
    for (int i = 0; i < 3; ++i)
        find<QComboBox>(window, QStringLiteral("c%1").arg(i + 1))->setEditText(QString::number(7 + 3 * i));

    // The couplé ordre: two horses, every order, the choice of order no longer the punter's.
    pari->setCurrentIndex(pari->findText(QStringLiteral("Couplé ordre")));
    QCOMPARE(perTicket->currentText(), QStringLiteral("2"));
    QVERIFY(orders->isChecked());
    QVERIFY(!combinations->isEnabled());

    const QString pairs = QDir(folder.path()).filePath(QStringLiteral("paires.txt"));
    platform.answers = { mvx::Platform::Answer::Yes };
    platform.fileNames = { pairs };
    QTest::mouseClick(find<QPushButton>(window, QStringLiteral("bgenerefichier")), Qt::LeftButton);
    QCOMPARE(platform.messages.size(), std::size_t(1));
    QVERIFY(platform.messages[0].text.contains(QStringLiteral("6 tickets")));
    QCOMPARE(app.state().tickets.count(), 6);
    QCOMPARE(app.state().bet, (Bet { Bet::Kind::CoupleInOrder, 2 }));

    // Three horses a ticket: the bet that size gives, and the punter's choice of order back.
    perTicket->setCurrentIndex(2);
    QCOMPARE(pari->currentText(), QStringLiteral("Tiercé"));
    QVERIFY(combinations->isEnabled());

    // The Multi keeps its name through its sizes.
    pari->setCurrentIndex(pari->findText(QStringLiteral("Multi en 5")));
    QCOMPARE(perTicket->currentText(), QStringLiteral("5"));
    QVERIFY(combinations->isChecked());
    perTicket->setCurrentIndex(6);
    QCOMPARE(pari->currentText(), QStringLiteral("Multi en 7"));
}

void BetChoiceTest::theStakesWindowHasARowPerBet()
{
    mvx::testing::ScriptedPlatform platform;
    mvx::Stakes stakes = mvx::defaultStakes();
    mvx::Tfmises dialog(stakes, platform);
    dialog.show();
    QCOMPARE(dialog.findChildren<QLineEdit *>(QRegularExpression(QStringLiteral("^emise"))).size(),
        qsizetype(mvx::Stakes::kBetKinds));
    auto *multi = dialog.findChild<QLineEdit *>(QStringLiteral("emisemulti"));
    auto *pick5 = dialog.findChild<QLineEdit *>(QStringLiteral("emisepick5"));
    auto *quinte = dialog.findChild<QLineEdit *>(QStringLiteral("emisequinte"));
    QCOMPARE(multi->text(), QStringLiteral("3,00"));
    QCOMPARE(quinte->text(), QStringLiteral("2,00"));
    QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("emisetrio"))->text(), QStringLiteral("0,00"));

    pick5->setText(QStringLiteral("1,75"));
    multi->setText(QStringLiteral("4.5"));
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("bok")), Qt::LeftButton);
    QCOMPARE(stakes.unitStake(Bet { Bet::Kind::Pick5, 5 }), std::int64_t(175));
    QCOMPARE(stakes.unitStake(Bet { Bet::Kind::Multi, 7 }), std::int64_t(450));
    QCOMPARE(stakes.unitStake(Bet { Bet::Kind::Quinte, 5 }), std::int64_t(200));
    QCOMPARE(stakes.unitStake(5), std::int64_t(200));
}

QTEST_MAIN(BetChoiceTest)
#include "bet_choice_test.moc"
