#include "ui/bet_result_rows.h"

#include <QLocale>

namespace mvx::ui {

BetResultRows::BetResultRows(
    const TicketList &tickets, const Selection &selection, OfficialResult result, Bet bet, const Stakes &stakes)
    : tickets_(tickets, selection)
    , ticketCount_(tickets.count())
    , judge_(std::move(result), bet, stakes)
    , classifier_(tickets, selection, judge_)
{ }

int BetResultRows::columnCount() const
{
    return tickets_.columnCount() + 2;
}

int BetResultRows::columnWidth(int column) const
{
    const int first = tickets_.columnCount();
    if (column < first)
        return tickets_.columnWidth(column);
    return 130;
}

std::int64_t BetResultRows::rowCount() const
{
    return std::max<std::int64_t>(ticketCount_, 1);
}

QString BetResultRows::heading(int column) const
{
    if (column < tickets_.columnCount())
        return tickets_.heading(column);
    return column == tickets_.columnCount() ? QString() : QStringLiteral("Payé par");
}

QString BetResultRows::cell(std::int64_t row, int column) const
{
    if (column < tickets_.columnCount())
        return tickets_.cell(row, column);
    if (!categories_ || row < 1 || row > ticketCount_ || std::size_t(row) > categories_->size())
        return {};
    const auto category = ResultCategory((*categories_)[std::size_t(row - 1)]);
    if (column == tickets_.columnCount())
        return gridLabel(category);
    if (category == ResultCategory::None || category == ResultCategory::Refunded)
        return {};
    const TicketResult judged = classifier_.ticketResult(row);
    QString text = combinationText(judged.combination);
    if (judged.paid) {
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        text += QStringLiteral(" : ") + locale.toString(judged.amount, 'f', 2) + QStringLiteral(" €");
    }
    return text;
}

} // namespace mvx::ui
