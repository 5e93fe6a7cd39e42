#include "ui/conditions_bar.h"

#include "ui/common_widgets.h"
#include "ui/conditions_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace mvx {

QString conditionsSummary(const TicketConditions &conditions)
{
    if (conditions.isEmpty())
        return {};
    const int groups = int(conditions.groups.size());
    QString what = groups == 0 ? QString()
        : groups == 1          ? QStringLiteral("1 groupe")
                               : QStringLiteral("%1 groupes").arg(groups);
    if (conditions.sum)
        what += groups == 0 ? QStringLiteral("la somme") : QStringLiteral(" et la somme");
    return QStringLiteral("Conditions : ") + what;
}

ConditionsBar::ConditionsBar(
    const GameState &state, Platform &platform, std::function<int()> horsesPerTicket, QWidget *parent)
    : QWidget(parent)
    , state_(state)
    , platform_(platform)
    , horsesPerTicket_(std::move(horsesPerTicket))
{
    setObjectName(QStringLiteral("conditionsBar"));
    bconditions_
        = ui::makeButton(this, QStringLiteral("bconditions"), QStringLiteral("Conditions…"), QRect(0, 0, 82, 37));
    lconditions_ = new QLabel(this);
    lconditions_->setObjectName(QStringLiteral("lconditions"));
    lconditions_->setGeometry(86, 0, 104, 37);
    lconditions_->setWordWrap(true);
    lconditions_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont small = lconditions_->font();
    small.setPixelSize(10);
    lconditions_->setFont(small);
    // "Effacer" as a small button beside the text: the row has no room for a word.
    beffconditions_ = ui::makeButton(this, QStringLiteral("beffconditions"), QString(), QRect(190, 7, 24, 24));
    // The page shows no tooltips: the button is a clear mark, named for screen readers.
    beffconditions_->setIcon(style()->standardIcon(QStyle::SP_LineEditClearButton));
    beffconditions_->setAccessibleName(QStringLiteral("Effacer les conditions"));
    connect(bconditions_, &QPushButton::clicked, this, &ConditionsBar::bconditionsClick);
    connect(beffconditions_, &QPushButton::clicked, this, &ConditionsBar::beffconditionsClick);
    showConditions();
}

void ConditionsBar::setConditions(const TicketConditions &conditions)
{
    conditions_ = conditions;
    showConditions();
}

void ConditionsBar::showConditions()
{
    const QString summary = conditionsSummary(conditions_);
    // Two lines, the kind of condition on the second: the row leaves the text little width.
    lconditions_->setText(QString(summary).replace(QStringLiteral(" : "), QStringLiteral(" :\n")));
    lconditions_->setAccessibleName(summary);
    lconditions_->setVisible(!summary.isEmpty());
    beffconditions_->setVisible(!summary.isEmpty());
}

void ConditionsBar::bconditionsClick()
{
    ConditionsDialog dialog(state_, platform_, horsesPerTicket_ ? horsesPerTicket_() : 0, window());
    dialog.setConditions(conditions_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    setConditions(dialog.conditions());
    Q_EMIT conditionsChanged();
}

void ConditionsBar::beffconditionsClick()
{
    setConditions({});
    Q_EMIT conditionsChanged();
}

} // namespace mvx
