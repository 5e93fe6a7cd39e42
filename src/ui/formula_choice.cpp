#include "ui/formula_choice.h"

#include "ui/common_widgets.h"
#include "ui/keyboard_access.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

namespace mvx {

using namespace mvx::ui;

namespace {

// The list's items, in its order; the item's data is the formula, -1 for the generator.
constexpr int kGenerator = -1;

} // namespace

FormulaChoice::FormulaChoice(QWidget *tab)
    : QObject(tab)
{
    lformule = makeLabel(tab, QStringLiteral("lformule"), QStringLiteral("Formule"), 432, 79);
    cformule = makePickList(tab, QStringLiteral("cformule"), QRect(480, 76, 155, 21));
    lformule->setBuddy(cformule);
    nameBox(cformule, QStringLiteral("Formule"));

    lpartants = makeLabel(tab, QStringLiteral("lpartants"), QStringLiteral("Partants"), 478, 20);
    cpartants = makePickList(tab, QStringLiteral("cpartants"), QRect(530, 17, 60, 21));
    lpartants->setBuddy(cpartants);
    nameBox(cpartants, QStringLiteral("Nombre de partants"));
    // No number until the punter gives one: a champ total is refused without it.
    cpartants->addItem(QString());
    for (int n = 1; n <= kMaxHorses; ++n)
        cpartants->addItem(QString::number(n));

    lformuletickets = new ResultText(QStringLiteral("Tickets de la formule"), tab);
    lformuletickets->setObjectName(QStringLiteral("lformuletickets"));
    lformuletickets->setGeometry(8, 73, 417, 29);
    lformuletickets->setWordWrap(true);

    offerFor(Bet {});
    showRunnersBox(false);
    lformuletickets->hide();
    connect(cformule, &QComboBox::currentIndexChanged, this, &FormulaChoice::changed);
    connect(cpartants, &QComboBox::currentIndexChanged, this, &FormulaChoice::changed);
}

std::optional<BetFormula::Kind> FormulaChoice::kind() const
{
    const int value = cformule->currentData().toInt();
    if (cformule->currentIndex() < 0 || value == kGenerator)
        return std::nullopt;
    return BetFormula::Kind(value);
}

int FormulaChoice::runners() const
{
    return std::max(cpartants->currentIndex(), 0);
}

void FormulaChoice::offerFor(Bet bet)
{
    const std::optional<BetFormula::Kind> was = kind();
    const bool champ = !isValidBet(bet) || horsesPerTicket(bet) >= 2;
    if (cformule->count() == (champ ? 4 : 2))
        return;
    const QSignalBlocker blocker(cformule);
    cformule->clear();
    cformule->addItem(QStringLiteral("générateur"), kGenerator);
    cformule->addItem(QStringLiteral("combinée"), int(BetFormula::Kind::Combined));
    if (champ) {
        cformule->addItem(QStringLiteral("champ partiel"), int(BetFormula::Kind::PartialField));
        cformule->addItem(QStringLiteral("champ total"), int(BetFormula::Kind::TotalField));
    }
    // The formula stays when the bet has it, else the generator takes over.
    const int kept = was ? cformule->findData(int(*was)) : 0;
    cformule->setCurrentIndex(std::max(kept, 0));
}

void FormulaChoice::showGenerator()
{
    const QSignalBlocker blocker(cformule);
    cformule->setCurrentIndex(0);
}

void FormulaChoice::showRunnersBox(bool shown)
{
    lpartants->setVisible(shown);
    cpartants->setVisible(shown);
}

void FormulaChoice::showLine(const QString &text)
{
    lformuletickets->setVisible(kind().has_value());
    lformuletickets->setText(text);
}

} // namespace mvx
