#include "ui/conditions_dialog.h"

#include "combi/integer_text.h"
#include "model/platform.h"
#include "ui/common_widgets.h"
#include "ui/keyboard_access.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace mvx {

namespace {

const std::array<QString, kMaxConditionGroups> kGroupNames { QStringLiteral("Favoris"), QStringLiteral("Outsiders"),
    QStringLiteral("Tocards"), QStringLiteral("Groupe 4") };
// Horses the synthesis gives each of the first two groups.
constexpr int kHorsesFromSynthesis = 5;

QLineEdit *makeField(QWidget *parent, const QString &objectName, const QRect &rect, const QString &pattern)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(objectName);
    field->setGeometry(rect);
    if (!pattern.isEmpty())
        field->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), field));
    return field;
}

// "0".."8", the one at `selected` shown.
QComboBox *makeCountList(QWidget *parent, const QString &objectName, const QRect &rect, int selected)
{
    QComboBox *list = ui::makePickList(parent, objectName, rect);
    for (int n = 0; n <= kMaxPerTicket; ++n)
        list->addItem(QString::number(n));
    list->setCurrentIndex(selected);
    return list;
}

} // namespace

ConditionsDialog::ConditionsDialog(const GameState &state, Platform &platform, int horsesPerTicket, QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
    , state_(state)
    , platform_(platform)
    , horsesPerTicket_(horsesPerTicket)
{
    ui::setUpWindow(this, QStringLiteral("fconditions"), QSize(470, 250));
    setWindowTitle(QStringLiteral("Conditions sur les tickets"));

    ui::makeLabel(this, QStringLiteral("lnom"), QStringLiteral("Groupe"), 16, 12);
    ui::makeLabel(this, QStringLiteral("lchevaux"), QStringLiteral("Numéros des chevaux"), 136, 12);
    ui::makeLabel(this, QStringLiteral("lmin"), QStringLiteral("Au moins"), 340, 12);
    ui::makeLabel(this, QStringLiteral("lmax"), QStringLiteral("Au plus"), 402, 12);
    for (int g = 0; g < kMaxConditionGroups; ++g) {
        const int y = 32 + 30 * g;
        const QString n = QString::number(g + 1);
        GroupRow &row = rows_[std::size_t(g)];
        row.name = makeField(this, QStringLiteral("enom") + n, QRect(16, y, 110, 21), QString());
        row.name->setMaxLength(30);
        row.name->setText(kGroupNames[std::size_t(g)]);
        row.horses
            = makeField(this, QStringLiteral("echevaux") + n, QRect(136, y, 196, 21), QStringLiteral("[0-9, ]*"));
        row.min = makeCountList(this, QStringLiteral("cmin") + n, QRect(340, y, 52, 21), 0);
        row.max = makeCountList(this, QStringLiteral("cmax") + n, QRect(402, y, 52, 21), kMaxPerTicket);
        // Spoken as the column heading for the group's row.
        const QString group = QStringLiteral("Groupe %1, ").arg(n);
        row.name->setAccessibleName(group + QStringLiteral("nom"));
        row.horses->setAccessibleName(group + QStringLiteral("numéros des chevaux"));
        ui::nameBox(row.min, group + QStringLiteral("au moins"));
        ui::nameBox(row.max, group + QStringLiteral("au plus"));
    }
    ui::makeLabel(this, QStringLiteral("lsomme"), QStringLiteral("Somme des numéros : de"), 16, 166);
    esommin_ = makeField(this, QStringLiteral("esommin"), QRect(176, 162, 50, 21), QStringLiteral("[0-9]{0,3}"));
    ui::makeLabel(this, QStringLiteral("lsommea"), QStringLiteral("à"), 234, 166);
    esommax_ = makeField(this, QStringLiteral("esommax"), QRect(248, 162, 50, 21), QStringLiteral("[0-9]{0,3}"));
    esommin_->setAccessibleName(QStringLiteral("Somme des numéros : de"));
    esommax_->setAccessibleName(QStringLiteral("Somme des numéros : à"));
    ui::makeLabel(this, QStringLiteral("lsommevide"), QStringLiteral("(vide : pas de condition)"), 306, 166);

    bsynthese_ = ui::makeButton(
        this, QStringLiteral("bsynthese"), QStringLiteral("Prendre la synthèse"), QRect(16, 204, 140, 33));
    bok_ = ui::makeButton(this, QStringLiteral("bok"), QStringLiteral("OK"), QRect(266, 204, 89, 33));
    bok_->setDefault(true);
    bannuler_ = ui::makeButton(this, QStringLiteral("bannuler"), QStringLiteral("Annuler"), QRect(365, 204, 89, 33));
    connect(bsynthese_, &QPushButton::clicked, this, &ConditionsDialog::bsyntheseClick);
    connect(bok_, &QPushButton::clicked, this, &ConditionsDialog::bokClick);
    connect(bannuler_, &QPushButton::clicked, this, &QDialog::reject);
}

void ConditionsDialog::setConditions(const TicketConditions &conditions)
{
    conditions_ = conditions;
    for (int g = 0; g < kMaxConditionGroups; ++g) {
        GroupRow &row = rows_[std::size_t(g)];
        const bool set = g < int(conditions.groups.size());
        const ConditionGroup group = set ? conditions.groups[std::size_t(g)] : ConditionGroup {};
        row.name->setText(set && !group.name.isEmpty() ? group.name : kGroupNames[std::size_t(g)]);
        row.horses->setText(horseNumbersText(group.horses));
        row.min->setCurrentIndex(std::clamp(group.min, 0, kMaxPerTicket));
        row.max->setCurrentIndex(std::clamp(group.max, 0, kMaxPerTicket));
    }
    esommin_->setText(conditions.sum ? QString::number(conditions.sum->min) : QString());
    esommax_->setText(conditions.sum ? QString::number(conditions.sum->max) : QString());
}

// The first five horses of the ranking go to the first group, the next five to the second;
// a ranked horse that cannot be in a selection (above 20) is passed over.
void ConditionsDialog::bsyntheseClick()
{
    std::vector<int> ranked;
    bool anyPoints = false;
    for (const SynthesisEntry &entry : state_.synthesis) {
        anyPoints = anyPoints || (entry.horse != 0 && entry.points > 0);
        if (entry.horse >= 1 && entry.horse <= kMaxHorses)
            ranked.push_back(entry.horse);
    }
    if (!anyPoints) {
        const Message m = messages::noSynthesisYet();
        platform_.inform(m.text, m.title);
        return;
    }
    for (int g = 0; g < 2; ++g) {
        std::uint32_t horses = 0;
        for (int i = g * kHorsesFromSynthesis; i < (g + 1) * kHorsesFromSynthesis && i < int(ranked.size()); ++i)
            horses |= std::uint32_t(1) << ranked[std::size_t(i)];
        rows_[std::size_t(g)].horses->setText(horseNumbersText(horses));
    }
}

std::variant<TicketConditions, Message> ConditionsDialog::readFields() const
{
    TicketConditions read;
    for (int g = 0; g < kMaxConditionGroups; ++g) {
        const GroupRow &row = rows_[std::size_t(g)];
        ConditionGroup group;
        group.name = row.name->text().trimmed();
        group.min = row.min->currentIndex();
        group.max = row.max->currentIndex();
        const std::optional<std::uint32_t> horses = parseHorseNumbers(row.horses->text());
        const QString label = group.name.isEmpty() ? QStringLiteral("groupe %1").arg(g + 1) : group.name;
        if (!horses)
            return Message { QStringLiteral("Groupe « %1 » : tapez des numéros de chevaux de 1 à 20, séparés par des "
                                            "virgules, chacun une seule fois.")
                                 .arg(label),
                QStringLiteral("Opération impossible") };
        group.horses = *horses;
        // A row without horses and without a minimum is no condition.
        if (group.horses != 0 || group.min > 0)
            read.groups.push_back(group);
    }
    const QString low = esommin_->text().trimmed();
    const QString high = esommax_->text().trimmed();
    if (!low.isEmpty() || !high.isEmpty()) {
        const std::optional<std::int32_t> min = parseInteger(low);
        const std::optional<std::int32_t> max = parseInteger(high);
        if (!min || !max)
            return Message { QStringLiteral("Somme des numéros : donnez le minimum et le maximum, ou aucun des deux."),
                QStringLiteral("Opération impossible") };
        read.sum = SumRange { *min, *max };
    }
    if (const std::optional<Message> wrong = checkConditions(read, horsesPerTicket_))
        return *wrong;
    return read;
}

void ConditionsDialog::bokClick()
{
    const std::variant<TicketConditions, Message> read = readFields();
    if (const Message *refused = std::get_if<Message>(&read)) {
        platform_.inform(refused->text, refused->title);
        return;
    }
    conditions_ = std::get<TicketConditions>(read);
    accept();
}

namespace messages {
Message noSynthesisYet()
{
    return { QStringLiteral("Faites d'abord la synthèse"), QStringLiteral("Opération impossible") };
}
} // namespace messages

} // namespace mvx
