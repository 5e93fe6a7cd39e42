#pragma once

#include "arrival/bet_judge.h"
#include "ui/ticket_grid.h"

#include <cstdint>
#include <vector>

namespace mvx::ui {

// The tickets of a list compared with an official result as the tickets of one chosen bet, one
// row each, as OfficialResultRows shows them: the ticket, the category's label ("Couplé placé",
// "Multi en 4", "Remboursé"), then the combination that paid it with its rapport per unit stake
// ("7-13-2-9 : 84,00"). The content holds the judge and the classifier that made the categories.
class BetResultRows final : public GridContent
{
public:
    // The list and the selection must outlive the content.
    BetResultRows(
        const TicketList &tickets, const Selection &selection, OfficialResult result, Bet bet, const Stakes &stakes);

    const BetClassifier &classifier() const { return classifier_; }
    // The category bytes of the tickets (ticket t in slot t - 1), once classified; they must
    // outlive the content.
    void setCategories(const std::vector<std::uint8_t> *categories) { categories_ = categories; }

    int columnCount() const override;
    int columnWidth(int column) const override;
    std::int64_t rowCount() const override;
    QString heading(int column) const override;
    QString cell(std::int64_t row, int column) const override;

private:
    TicketRows tickets_;
    std::int64_t ticketCount_;
    BetJudge judge_;
    BetClassifier classifier_;
    const std::vector<std::uint8_t> *categories_ = nullptr;
};

} // namespace mvx::ui
