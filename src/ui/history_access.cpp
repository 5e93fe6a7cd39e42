#include "ui/history_access.h"

#include <QFileInfo>

namespace mvx {

namespace {

const QString kTitle = QStringLiteral("Mes courses");

} // namespace

HistoryAccess::HistoryAccess(Platform &platform, const QString &path)
    : platform_(platform)
    , path_(path.isEmpty() ? defaultHistoryPath() : path)
{ }

HistoryAccess::~HistoryAccess() = default;

RaceHistory *HistoryAccess::open(bool quiet)
{
    if (!history_ && !failed_) {
        history_ = std::make_unique<RaceHistory>(path_);
        failed_ = history_->error().has_value();
    }
    if (!failed_)
        return history_.get();
    if (!quiet && !reported_) {
        reported_ = true;
        platform_.inform(QStringLiteral("Mes courses ne peuvent pas être utilisées : %1\n"
                                        "Le programme continue sans elles.")
                             .arg(*history_->error()),
            kTitle);
    }
    return nullptr;
}

RaceHistory *HistoryAccess::history()
{
    return open(false);
}

RaceHistory *HistoryAccess::historyIfPresent()
{
    if (!history_ && !QFileInfo::exists(path_))
        return nullptr;
    return open(true);
}

void HistoryAccess::report(const QString &error)
{
    platform_.inform(QStringLiteral("Mes courses : %1").arg(error), kTitle);
}

QString HistoryAccess::budgetNote(std::int64_t costCents)
{
    RaceHistory *races = historyIfPresent();
    if (!races)
        return QString();
    const HistoryResult<BudgetCheck> check = races->checkBudget(QDate::currentDate(), costCents);
    if (!check.ok() || check.value.line.isEmpty())
        return QString();
    return check.value.overrun.isEmpty() ? check.value.line
                                         : check.value.line + QLatin1Char('\n') + check.value.overrun;
}

void HistoryAccess::attachTo(GameState &state)
{
    state.budgetNote = [this](std::int64_t costCents) { return budgetNote(costCents); };
}

} // namespace mvx
