#include "ui/official_result_rows.h"

#include <QLocale>

namespace mvx::ui {

OfficialResultRows::OfficialResultRows(
    const TicketList &tickets, const Selection &selection, OfficialResult result, const Stakes &stakes)
    : tickets_(tickets, selection)
    , ticketCount_(tickets.count())
    , judge_(std::move(result), stakes)
    , classifier_(tickets, selection, judge_)
{ }

int OfficialResultRows::columnCount() const
{
    return tickets_.columnCount() + 2;
}

int OfficialResultRows::columnWidth(int column) const
{
    const int first = tickets_.columnCount();
    if (column < first)
        return tickets_.columnWidth(column);
    return column == first ? 100 : 150; // "7-13-2-NP : 1029,00 €"
}

std::int64_t OfficialResultRows::rowCount() const
{
    // As the plain result grid: one body row even with no ticket.
    return std::max<std::int64_t>(ticketCount_, 1);
}

QString OfficialResultRows::heading(int column) const
{
    if (column < tickets_.columnCount())
        return tickets_.heading(column);
    return column == tickets_.columnCount() ? QString() : QStringLiteral("Payé par");
}

QString OfficialResultRows::cell(std::int64_t row, int column) const
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
    if (judged.times > 1)
        text += QStringLiteral(" × %1").arg(judged.times);
    if (judged.paid) {
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        text += QStringLiteral(" : ") + locale.toString(judged.amount, 'f', 2) + QStringLiteral(" €");
    } else if (judged.unpublished) {
        text += QStringLiteral(" : rapport non publié");
    }
    return text;
}

} // namespace mvx::ui
