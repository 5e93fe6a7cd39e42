#pragma once

#include "arrival/result_classification.h"
#include "ui/ticket_grid.h"

#include <cstdint>
#include <vector>

namespace mvx::ui {

// The tickets of a list compared with an official result, one row each: the ticket number and
// its horses as TicketRows shows them, then the category's label, then the combination that
// paid the ticket with its amount per unit stake ("7-13-2 : 120,50", "7-13-2-9 × 4 : 49,20"), or
// "rapport non publié" for a winner no published rapport pays. Only the category byte is
// kept per ticket: the combination is judged again when its row is shown. The content holds the
// judge and the classifier that made the categories.
class OfficialResultRows final : public GridContent
{
public:
    // The list and the selection must outlive the content.
    OfficialResultRows(
        const TicketList &tickets, const Selection &selection, OfficialResult result, const Stakes &stakes);

    const ResultClassifier &classifier() const { return classifier_; }
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
    ResultJudge judge_;
    ResultClassifier classifier_;
    const std::vector<std::uint8_t> *categories_ = nullptr;
};

} // namespace mvx::ui
