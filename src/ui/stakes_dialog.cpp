#include "ui/stakes_dialog.h"

#include "combi/game_cost.h"
#include "ui/common_widgets.h"
#include "ui/history_access.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStyle>

namespace mvx {

namespace {

struct StakeRow
{
    const char *field;
    const char *caption;
    const char *name; // in the refusal: "La mise du tiercé..."
};

// One row per bet, in the order of the kinds' numbers (the stakes' order).
constexpr std::array<StakeRow, Stakes::kBetKinds> kRows { {
    { "emisecouple", "Couplé (2 chevaux)", "du couplé" },
    { "emisetierce", "Tiercé (3 chevaux)", "du tiercé" },
    { "emisequarte", "Quarté+ (4 chevaux)", "du quarté+" },
    { "emisequinte", "Quinté+ (5 chevaux)", "du quinté+" },
    { "emisesimplegagnant", "Simple gagnant (1 cheval)", "du simple gagnant" },
    { "emisesimpleplace", "Simple placé (1 cheval)", "du simple placé" },
    { "emisecouplegagnant", "Couplé gagnant (2 chevaux)", "du couplé gagnant" },
    { "emisecoupleplace", "Couplé placé (2 chevaux)", "du couplé placé" },
    { "emisecoupleordre", "Couplé ordre (2 chevaux)", "du couplé ordre" },
    { "emise2sur4", "2sur4 (2 chevaux)", "du 2sur4" },
    { "emisetrio", "Trio (3 chevaux)", "du trio" },
    { "emisetrioordre", "Trio ordre (3 chevaux)", "du trio ordre" },
    { "emisesuper4", "Super4 (4 chevaux)", "du Super4" },
    { "emisemulti", "Multi (4 à 7 chevaux)", "du Multi" },
    { "emiseminimulti", "Mini Multi (4 à 6 chevaux)", "du Mini Multi" },
    { "emisepick5", "Pick5 (5 chevaux)", "du Pick5" },
} };
constexpr int kRowsPerColumn = 8;

// Euros with a comma and two decimals, without grouping, as a field is typed: "1,50".
QString fieldText(std::int64_t cents)
{
    return QStringLiteral("%1,%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0'));
}

QLineEdit *makeField(QWidget *parent, const QString &objectName, const QRect &rect, const QString &pattern)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(objectName);
    field->setGeometry(rect);
    field->setAlignment(Qt::AlignRight);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), field));
    return field;
}

} // namespace

Tfmises::Tfmises(Stakes &stakes, Platform &platform, QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
    , stakes_(stakes)
    , platform_(platform)
{
    ui::setUpWindow(this, QStringLiteral("fmises"), QSize(708, 386));
    setWindowTitle(QStringLiteral("Mises"));

    QGroupBox *unit = ui::makeGroup(
        this, QStringLiteral("gmises"), QStringLiteral("Mise de base d'un ticket"), QRect(12, 10, 684, 256));
    // Two columns of eight bets: the four of old and the simple and couplés, then the others.
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const int top = 24 + 28 * (int(i) % kRowsPerColumn);
        const int left = int(i) < kRowsPerColumn ? 0 : 348;
        QLabel *caption = ui::makeLabel(
            unit, QStringLiteral("lmise%1").arg(i + 2), QString::fromUtf8(kRows[i].caption), left + 16, top + 4);
        stakeFields_[i] = makeField(unit, QString::fromLatin1(kRows[i].field), QRect(left + 190, top, 90, 21),
            QStringLiteral("[0-9]{0,7}([,.][0-9]{0,2})?"));
        caption->setBuddy(stakeFields_[i]);
        ui::makeLabel(unit, QStringLiteral("leuro%1").arg(i + 2), QStringLiteral("€"), left + 288, top + 4);
    }

    QGroupBox *times = ui::makeGroup(
        this, QStringLiteral("gmultiplicateur"), QStringLiteral("Multiplicateur"), QRect(12, 272, 336, 54));
    QLabel *played = ui::makeLabel(times, QStringLiteral("ljoue"), QStringLiteral("Chaque ticket est joué"), 16, 26);
    emultiplicateur_
        = makeField(times, QStringLiteral("emultiplicateur"), QRect(190, 22, 90, 21), QStringLiteral("[0-9]{0,5}"));
    played->setBuddy(emultiplicateur_);
    ui::makeLabel(times, QStringLiteral("lfois"), QStringLiteral("fois"), 288, 26);

    // The month's budget, kept with the punter's races; empty for none.
    QGroupBox *budget
        = ui::makeGroup(this, QStringLiteral("gbudget"), QStringLiteral("Mes courses"), QRect(360, 272, 336, 54));
    QLabel *lbudget = ui::makeLabel(budget, QStringLiteral("lbudget"), QStringLiteral("Budget du mois (€)"), 16, 26);
    ebudget_ = makeField(
        budget, QStringLiteral("ebudget"), QRect(190, 22, 90, 21), QStringLiteral("[0-9]{0,7}([,.][0-9]{0,2})?"));
    ebudget_->setAccessibleName(QStringLiteral("Budget du mois en euros, vide pour aucun"));
    ebudget_->setToolTip(QStringLiteral("Vide : pas de budget"));
    lbudget->setBuddy(ebudget_);
    ebudget_->setEnabled(false);

    QPushButton *bdefaut
        = ui::makeButton(this, QStringLiteral("bdefaut"), QStringLiteral("Défaut"), QRect(12, 338, 100, 36));
    bdefaut->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    bdefaut->setToolTip(QStringLiteral("Reprendre les mises habituelles"));
    QPushButton *bok = ui::makeButton(this, QStringLiteral("bok"), QStringLiteral("OK"), QRect(498, 338, 92, 36));
    QFont bold = bok->font();
    bold.setBold(true);
    bok->setFont(bold);
    bok->setDefault(true);
    QPushButton *bannuler
        = ui::makeButton(this, QStringLiteral("bannuler"), QStringLiteral("Annuler"), QRect(604, 338, 92, 36));

    connect(bdefaut, &QPushButton::clicked, this, &Tfmises::bdefautClick);
    connect(bok, &QPushButton::clicked, this, &Tfmises::bokClick);
    connect(bannuler, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfmises::setHistory(HistoryAccess *history)
{
    history_ = history;
    ebudget_->setEnabled(history_ != nullptr);
}

void Tfmises::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    ui::centreOnScreen(this);
    showStakes(stakes_);
    // A history not there yet has no budget: the file is made only when one is set.
    shownBudget_.reset();
    if (RaceHistory *races = history_ ? history_->historyIfPresent() : nullptr) {
        const HistoryResult<std::optional<std::int64_t>> budget = races->monthlyBudget();
        if (budget.ok())
            shownBudget_ = budget.value;
    }
    ebudget_->setText(shownBudget_ ? fieldText(*shownBudget_) : QString());
}

void Tfmises::showStakes(const Stakes &stakes)
{
    for (std::size_t i = 0; i < stakeFields_.size(); ++i)
        stakeFields_[i]->setText(fieldText(stakes.unitStakeCents[i]));
    emultiplicateur_->setText(QString::number(stakes.multiplier));
}

void Tfmises::bdefautClick()
{
    showStakes(defaultStakes());
}

void Tfmises::bokClick()
{
    const QString title = QStringLiteral("Opération impossible");
    Stakes read;
    for (std::size_t i = 0; i < stakeFields_.size(); ++i) {
        const std::optional<std::int64_t> cents = parseEuroCents(stakeFields_[i]->text());
        if (!cents) {
            platform_.inform(QStringLiteral("La mise %1 n'est pas correcte : un montant en euros avec deux "
                                            "décimales au plus, par exemple 1,50 (0 si vous ne le jouez pas).")
                                 .arg(QString::fromUtf8(kRows[i].name)),
                title);
            stakeFields_[i]->setFocus();
            return;
        }
        read.unitStakeCents[i] = *cents;
    }
    bool ok = false;
    const int multiplier = emultiplicateur_->text().toInt(&ok);
    if (!ok || multiplier < 1 || multiplier > Stakes::kLargestMultiplier) {
        platform_.inform(
            QStringLiteral("Le multiplicateur doit être un nombre entier de 1 à %1.").arg(Stakes::kLargestMultiplier),
            title);
        emultiplicateur_->setFocus();
        return;
    }
    read.multiplier = multiplier;

    std::optional<std::int64_t> budget;
    if (const QString text = ebudget_->text().trimmed(); !text.isEmpty()) {
        budget = parseEuroCents(text);
        if (!budget) {
            platform_.inform(QStringLiteral("Le budget du mois n'est pas correct : un montant en euros avec deux "
                                            "décimales au plus, par exemple 120 ou 120,50 (vide pour aucun budget)."),
                title);
            ebudget_->setFocus();
            return;
        }
    }
    if (history_ && budget != shownBudget_) {
        if (RaceHistory *races = history_->history()) {
            const HistoryResult<bool> set = races->setMonthlyBudget(budget);
            if (!set.ok())
                history_->report(set.error);
        }
    }
    stakes_ = read;
    accept();
}

} // namespace mvx
