#include "support/scripted_platform.h"
#include "ui/conditions_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace mvx;

class ConditionsDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void synthesisFillsTheFirstTwoGroupsAndOkGivesTheConditions();
    void refusalsKeepTheDialogOpen();
};

namespace {

struct Opened
{
    explicit Opened(const GameState &state, int horsesPerTicket = 5)
        : dialog(state, platform, horsesPerTicket)
    {
        dialog.show();
    }
    template <typename T = QLineEdit> T *find(const char *name) { return dialog.findChild<T *>(name); }
    void click(const char *name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    void type(const char *name, const QString &text)
    {
        find(name)->clear();
        QTest::keyClicks(find(name), text);
    }

    mvx::testing::ScriptedPlatform platform;
    ConditionsDialog dialog;
};

} // namespace

void ConditionsDialogTest::synthesisFillsTheFirstTwoGroupsAndOkGivesTheConditions()
{
    auto state = std::make_unique<GameState>();
    {
        Opened none(*state);
        none.click("bsynthese");
        QCOMPARE(none.platform.messageTexts(), QStringList { QStringLiteral("Faites d'abord la synthèse") });
        QCOMPARE(none.find("echevaux1")->text(), QString());
    }
    // A ranking of 14 runners with horse 21 among the first: it cannot be played and is passed over.
    const int ranking[] = { 7, 21, 3, 12, 1, 9, 4, 14, 2, 20, 5, 6, 8, 10 };
    for (int r = 0; r < 14; ++r)
        state->synthesis[std::size_t(r)] = { ranking[r], 100 - r };

    Opened o(*state);
    o.click("bsynthese");
    QVERIFY(o.platform.messages.empty());
    QCOMPARE(o.find("enom1")->text(), QStringLiteral("Favoris"));
    QCOMPARE(o.find("echevaux1")->text(), QStringLiteral("1, 3, 7, 9, 12"));
    QCOMPARE(o.find("echevaux2")->text(), QStringLiteral("2, 4, 5, 14, 20"));
    // Edited before OK: one outsider dropped, counts and a sum range set.
    o.type("echevaux2", QStringLiteral("2 4,5 14"));
    o.find<QComboBox>("cmin1")->setCurrentIndex(2);
    o.find<QComboBox>("cmax1")->setCurrentIndex(3);
    o.find<QComboBox>("cmax2")->setCurrentIndex(1);
    o.type("esommin", QStringLiteral("30"));
    o.type("esommax", QStringLiteral("60"));
    o.click("bok");
    QCOMPARE(o.dialog.result(), int(QDialog::Accepted));
    TicketConditions expected;
    expected.groups = { { QStringLiteral("Favoris"), (1u << 1) | (1u << 3) | (1u << 7) | (1u << 9) | (1u << 12), 2, 3 },
        { QStringLiteral("Outsiders"), (1u << 2) | (1u << 4) | (1u << 5) | (1u << 14), 0, 1 } };
    expected.sum = SumRange { 30, 60 };
    QCOMPARE(o.dialog.conditions(), expected);

    // Shown again, the dialog holds what it gave.
    Opened again(*state);
    again.dialog.setConditions(expected);
    again.click("bok");
    QCOMPARE(again.dialog.conditions(), expected);
}

void ConditionsDialogTest::refusalsKeepTheDialogOpen()
{
    const auto state = std::make_unique<GameState>();
    Opened o(*state, 3);
    o.type("echevaux1", QStringLiteral("1, 2, 3"));
    o.type("echevaux2", QStringLiteral("3 4"));
    o.click("bok");
    o.type("echevaux2", QStringLiteral("4 5 25"));
    o.click("bok");
    o.type("echevaux2", QStringLiteral("4 5"));
    o.find<QComboBox>("cmin1")->setCurrentIndex(2);
    o.find<QComboBox>("cmin2")->setCurrentIndex(2);
    o.click("bok");
    o.find<QComboBox>("cmin2")->setCurrentIndex(0);
    o.type("esommin", QStringLiteral("40"));
    o.click("bok");
    QCOMPARE(o.platform.messageTexts(),
        (QStringList { QStringLiteral("Le cheval 3 est à la fois dans le groupe « Favoris » et dans le groupe "
                                      "« Outsiders »."),
            QStringLiteral("Groupe « Outsiders » : tapez des numéros de chevaux de 1 à 20, séparés par "
                           "des virgules, chacun une seule fois."),
            QStringLiteral("Les minimums des groupes demandent ensemble 4 chevaux, plus que les 3 d'un "
                           "ticket."),
            QStringLiteral("Somme des numéros : donnez le minimum et le maximum, ou aucun des deux.") }));
    QVERIFY(o.dialog.isVisible());
    QCOMPARE(o.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(o.dialog.conditions(), TicketConditions {});
}

QTEST_MAIN(ConditionsDialogTest)
#include "conditions_dialog_test.moc"
