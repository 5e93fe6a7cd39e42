// The comparison window's part for the official result: the button that opens its dialog, the
// line that says which result is kept, and the comparison with it.

#include "ui/ufcompare.h"

#include "arrival/played_horses.h"
#include "arrival/result_classification.h"
#include "model/work_progress.h"
#include "ui/bet_result_rows.h"
#include "ui/common_widgets.h"
#include "ui/official_result_dialog.h"
#include "ui/official_result_rows.h"
#include "ui/ticket_grid.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <new>

namespace mvx {

// Beside the quarté and tiercé payouts, in the arrival group: the window keeps its size.
void Tfcompare::buildOfficialResultControls(QWidget *group)
{
    bresultatofficiel_ = ui::makeButton(
        group, QStringLiteral("bresultatofficiel"), QStringLiteral("Résultat officiel…"), QRect(486, 82, 186, 28));
    // Return on the button opens the dialog; anywhere else Enter still runs the comparison.
    bresultatofficiel_->setAutoDefault(true);
    lresultatofficiel_ = new QLabel(group);
    lresultatofficiel_->setObjectName(QStringLiteral("lresultatofficiel"));
    // One line under "Enregistrer dans mes courses"; the whole result is in its tooltip.
    lresultatofficiel_->setGeometry(486, 142, 192, 16);
    lresultatofficiel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(bresultatofficiel_, &QPushButton::clicked, this, &Tfcompare::bresultatofficielClick);
}

// Which arrival "Voir les résultats" takes: the five boxes, or the official result (the boxes
// are then off, and the line under the button says the result).
void Tfcompare::showOfficialResultState()
{
    const OfficialResult *result = state_.officialResult.get();
    for (QComboBox *box : arrivalBoxes_)
        box->setEnabled(!result);
    // A result with rapports of its own pays through them: the payout fields are not read.
    for (QLineEdit *field : payoutFields_)
        field->setEnabled(!result || result->rapports.empty());
    if (!result) {
        lresultatofficiel_->clear();
        lresultatofficiel_->setToolTip(QString());
        if (categories_.empty())
            showSummary(QString());
        return;
    }
    QString text = QStringLiteral("Arrivée : ") + officialArrivalLine(*result);
    if (!result->nonRunners.empty()) {
        QStringList horses;
        for (int horse : result->nonRunners)
            horses << QString::number(horse);
        text += QStringLiteral("\nNon-partants : ") + horses.join(QStringLiteral(", "));
    }
    if (result->complement != 0)
        text += QStringLiteral("\nComplément : %1").arg(result->complement);
    if (result->runners != 0)
        text += QStringLiteral("\nPartants : %1").arg(result->runners);
    lresultatofficiel_->setToolTip(text);
    QString line = text;
    line.replace(QLatin1Char('\n'), QStringLiteral(" ; "));
    lresultatofficiel_->setText(
        lresultatofficiel_->fontMetrics().elidedText(line, Qt::ElideRight, lresultatofficiel_->width()));
    // Until a comparison fills it, the results box shows the result kept whole, one item a line.
    if (categories_.empty())
        showSummary(QStringLiteral("Résultat officiel\n") + text);
    // The first arrival box, where each showing starts, is off.
    bresultatofficiel_->setFocus(Qt::OtherFocusReason);
}

void Tfcompare::bresultatofficielClick()
{
    OfficialResultDialog dialog(playedHorses(state_.tickets, state_.selection), state_.officialResult, platform_, this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The focus comes back to the button, whatever the window's own activation does with it.
    bresultatofficiel_->setFocus(Qt::OtherFocusReason);
    if (!accepted)
        return;
    state_.officialResult = dialog.result();
    // The results shown were worked out from the earlier arrival.
    grillecomb_->setContent(nullptr);
    categories_ = {};
    officialTotals_.reset();
    benregistrercourse_->setEnabled(false);
    showSummary(QString());
    showOfficialResultState();
}

// As the plain comparison: everything is worked out aside and put in place once every ticket is
// classified. The payout fields give the rapports of a result that has none of its own.
void Tfcompare::compareWithOfficialResult()
{
    const WaitCursor wait(platform_);
    normalizePayoutFields();
    Payouts payouts = state_.payouts;
    readPayouts(payoutTexts(), payouts);
    OfficialResult result;
    if (state_.officialResult) {
        result = *state_.officialResult;
    } else {
        // A bet of its own compared with the five boxes: they are the race as it was run.
        const std::optional<Arrival> arrival = checkedArrival();
        if (!arrival)
            return;
        result = officialResult(*arrival, payouts);
    }
    if (result.rapports.empty()) {
        result.rapports = rapportsOfPayouts(payouts);
        result.fromPayoutFields = true;
    }
    if (const QString problem = resultProblem(result); !problem.isEmpty()) {
        platform_.inform(problem, QStringLiteral("Opération impossible"));
        return;
    }
    if (const std::optional<Bet> bet = judgedBet()) {
        state_.payouts = payouts;
        compareBetWithResult(result, *bet);
        return;
    }

    std::shared_ptr<ui::OfficialResultRows> rows;
    std::vector<std::uint8_t> categories;
    ResultTotals totals;
    std::int64_t withComplement = 0;
    try {
        rows = std::make_shared<ui::OfficialResultRows>(state_.tickets, state_.selection, result, state_.stakes);
        categories = prepareResultGrid();
        const ResultClassifier &classifier = rows->classifier();
        const std::int64_t count = std::int64_t(categories.size());
        WorkProgress progress { std::uint64_t(count) };
        bool classified = false;
        platform_.runLongWork(
            QStringLiteral("Comparaison de %1 tickets avec le résultat officiel...").arg(count), progress, [&] {
                // A bet that holds its own cheval de complément cannot be made: nothing is compared.
                withComplement = classifier.firstTicketWithComplement();
                if (withComplement != 0)
                    return;
                classified = inSlices(count, progress, [&](std::int64_t first, std::int64_t last) {
                    classifier.classify(first, last, categories.data(), totals);
                });
            });
        if (withComplement != 0) {
            platform_.inform(QStringLiteral("Le ticket %1 contient le cheval de complément %2, qui ne peut pas être "
                                            "joué avec lui : la comparaison est impossible.")
                                 .arg(withComplement)
                                 .arg(result.effectiveComplement()),
                QStringLiteral("Opération impossible"));
            return;
        }
        if (!classified)
            return;
    } catch (const std::bad_alloc &) {
        platform_.inform(
            QStringLiteral("Il n'y a pas assez de mémoire pour comparer %1 tickets.").arg(state_.tickets.count()),
            QStringLiteral("Opération impossible"));
        return;
    }

    const int size = state_.tickets.horsesPerTicket();
    if (const QString problem = resultMoneyProblem(totals, state_.stakes, size); !problem.isEmpty()) {
        platform_.inform(problem, QStringLiteral("Opération impossible"));
        return;
    }
    state_.payouts = payouts;
    grillecomb_->setContent(nullptr);
    categories_ = std::move(categories);
    rows->setCategories(&categories_);
    grillecomb_->setContent(rows);
    showSummary(resultSummaryText(totals, state_.stakes, size));
    officialTotals_ = totals;
    benregistrercourse_->setEnabled(true);
}

// The bet the tickets are played as when it is one the size of the tickets does not give (a
// couplé gagnant, a Multi...): none for the bets of old, which keep their comparison.
std::optional<Bet> Tfcompare::judgedBet() const
{
    const std::optional<Bet> bet = betOfTickets(state_);
    if (bet && judgedByBetRules(*bet) && horsesPerTicket(*bet) == state_.tickets.horsesPerTicket())
        return bet;
    return std::nullopt;
}

// As the comparison with the official result, each ticket judged by the rules of its bet, the
// money at the bet's own stake; the race can then be stored with its bet.
void Tfcompare::compareBetWithResult(const OfficialResult &result, Bet bet)
{
    std::shared_ptr<ui::BetResultRows> rows;
    std::vector<std::uint8_t> categories;
    ResultTotals totals;
    std::int64_t withComplement = 0;
    try {
        rows = std::make_shared<ui::BetResultRows>(state_.tickets, state_.selection, result, bet, state_.stakes);
        categories = prepareResultGrid();
        const BetClassifier &classifier = rows->classifier();
        const std::int64_t count = std::int64_t(categories.size());
        WorkProgress progress { std::uint64_t(count) };
        bool classified = false;
        platform_.runLongWork(
            QStringLiteral("Comparaison de %1 tickets (%2) avec le résultat officiel...").arg(count).arg(betName(bet)),
            progress, [&] {
                withComplement = classifier.firstTicketWithComplement();
                if (withComplement != 0)
                    return;
                classified = inSlices(count, progress, [&](std::int64_t first, std::int64_t last) {
                    classifier.classify(first, last, categories.data(), totals);
                });
            });
        if (withComplement != 0) {
            platform_.inform(QStringLiteral("Le ticket %1 contient le cheval de complément %2, qui ne peut pas être "
                                            "joué avec lui : la comparaison est impossible.")
                                 .arg(withComplement)
                                 .arg(result.effectiveComplement()),
                QStringLiteral("Opération impossible"));
            return;
        }
        if (!classified)
            return;
    } catch (const std::bad_alloc &) {
        platform_.inform(
            QStringLiteral("Il n'y a pas assez de mémoire pour comparer %1 tickets.").arg(state_.tickets.count()),
            QStringLiteral("Opération impossible"));
        return;
    }

    // With its stake known, money that does not fit is refused as for the bets of old.
    if (state_.stakes.unitStake(bet) > 0 && !resultMoney(totals, state_.stakes, bet).balanceCents) {
        platform_.inform(resultMoneyProblem(totals, state_.stakes, 0), QStringLiteral("Opération impossible"));
        return;
    }
    grillecomb_->setContent(nullptr);
    categories_ = std::move(categories);
    rows->setCategories(&categories_);
    grillecomb_->setContent(rows);
    showSummary(resultSummaryText(totals, state_.stakes, bet));
    officialTotals_ = totals;
    benregistrercourse_->setEnabled(true);
}

} // namespace mvx
