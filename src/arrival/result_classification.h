#pragma once

#include "arrival/official_result.h"
#include "model/stakes_file.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace mvx {

// What one ticket gets from the official result.
struct TicketResult
{
    ResultCategory category = ResultCategory::None;
    // The paying combination through which the ticket reaches its category: its horses in
    // finishing order under the order of the tied horses that pays it, then kNonRunnerMark once
    // per non-runner. Empty for no category and for a refund.
    std::vector<int> combination;
    // What the ticket brings per unit stake: the best published rapport of its combination
    // (times the quinté+ stake over the quarté+ stake for a quinté+ ticket played as a quarté+,
    // rounded down to the cent). 0 when nothing is published for it.
    double amount = 0;
    // A published rapport pays it.
    bool paid = false;
    // A quinté+ ticket with one non-runner, judged as a quarté+ ticket.
    bool playedAsQuarte = false;
    // The ticket holds the cheval de complément named with the bet: the bet cannot be made, and
    // the ticket is given no category.
    bool holdsComplement = false;
};

// Judges tickets against an official result. Each order of the tied horses is one possible
// arrival: the plain rules give the ticket a category under each, and the ticket takes the
// highest it reaches under any of them, paid the best rapport of the combinations through which
// it reaches it. Non-runners follow the table of non_runner_rules.h, after the complément has
// taken the place of the ticket's first non-runner.
class ResultJudge
{
public:
    // The result must be free of problems (resultProblem); `stakes` give the quinté+ and quarté+
    // unit stakes (the usual ones where a stake is 0).
    ResultJudge(OfficialResult result, const Stakes &stakes);

    const OfficialResult &result() const { return result_; }
    // What the payout of a quinté+ ticket played as a quarté+ ticket is multiplied by.
    double quarteForQuinte() const { return quarteForQuinte_; }
    const std::vector<Arrival> &orders() const { return orders_; }

    bool holdsComplement(std::span<const int> horses) const;
    TicketResult judge(std::span<const int> horses) const;

private:
    TicketResult judgePlain(std::span<const int> horses) const;
    TicketResult judgeRunners(std::span<const int> runners, int nonRunners, int places, ResultCategory category) const;
    // The best rapport published for a combination of the category, if any.
    std::optional<double> rapportFor(ResultCategory category, std::span<const int> combination) const;
    bool tiedAlike(std::span<const int> published, std::span<const int> combination) const;

    OfficialResult result_;
    std::vector<Arrival> orders_;
    std::array<int, kMaxHorses + 1> entryOf_ {}; // arrival entry of each horse, -1 when unplaced
    double quarteForQuinte_ = 1;
};

// What tickets of one size get, looked up by pattern. A ticket's outcome depends only on which
// of the horses that matter (those that can finish in the first five, the non-runners, the
// complément) it holds where, so it is worked out once per such pattern, on the first ticket
// that has it. From one thread at a time.
class ResultPatterns
{
public:
    // The judge must outlive the patterns.
    ResultPatterns(const ResultJudge &judge, int horsesPerTicket);

    int horsesPerTicket() const { return horsesPerTicket_; }
    // What a horse at position 1..horsesPerTicket adds to its ticket's key.
    std::uint32_t keyOf(int horse, int position) const;
    std::uint32_t key(std::span<const int> horses) const;

    // The outcome of the tickets with that key: an index into the few distinct outcomes.
    std::uint16_t outcome(std::uint32_t key) const
    {
        const std::uint16_t known = outcomeOfKey_[key];
        return known != kUnknown ? known : workOut(key);
    }
    std::size_t outcomes() const { return outcomeCategory_.size(); }
    ResultCategory category(std::uint16_t outcome) const { return outcomeCategory_[outcome]; }
    // What a ticket of that outcome brings per unit stake (0 when no rapport pays it).
    double amount(std::uint16_t outcome) const { return outcomeAmount_[outcome]; }

private:
    static constexpr std::uint16_t kUnknown = 0xffff;
    std::uint16_t workOut(std::uint32_t key) const;

    const ResultJudge &judge_;
    int horsesPerTicket_ = 0;
    std::array<int, kMaxHorses + 1> code_ {}; // per horse: 0 for one that does not matter
    std::vector<int> horseOfCode_;
    std::array<std::uint32_t, kArrivalPlaces + 1> weight_ {};
    // Per pattern key: the index of its outcome, or kUnknown until it is worked out.
    mutable std::vector<std::uint16_t> outcomeOfKey_;
    mutable std::vector<ResultCategory> outcomeCategory_;
    mutable std::vector<double> outcomeAmount_;
};

// The tickets of a whole comparison.
struct ResultTotals
{
    ResultCounts counts {};
    std::int64_t tickets = 0;
    // The sum of what the tickets bring per unit stake, and its share of each category.
    double gains = 0;
    std::array<double, kResultCategories> categoryGains {};

    std::int64_t refunded() const { return counts[std::size_t(ResultCategory::Refunded) - 1]; }
};

// Classifies the tickets of a list against an official result, one category byte per ticket;
// the paying combination and amount of a ticket are found again when it is shown (ticketResult).
// Each ticket's pattern key is the sum of what its letters add, from a table per letter, and its
// outcome is looked up (ResultPatterns). Work goes in slices of any size, in any order, from one
// thread at a time.
class ResultClassifier
{
public:
    // The list, the selection and the judge must outlive the classifier.
    ResultClassifier(const TicketList &tickets, const Selection &selection, const ResultJudge &judge);
    ~ResultClassifier();

    std::int64_t ticketCount() const { return tickets_.count(); }
    // The first ticket (1..ticketCount()) holding the complément, 0 when none does.
    std::int64_t firstTicketWithComplement() const;
    // The horses of ticket t, 1..ticketCount().
    std::vector<int> ticketHorses(std::int64_t t) const;
    TicketResult ticketResult(std::int64_t t) const { return judge_.judge(ticketHorses(t)); }

    // Classifies tickets first..last - 1 (0-based: ticket t + 1 goes into categories[t]) and adds
    // them to the totals.
    void classify(std::int64_t first, std::int64_t last, std::uint8_t *categories, ResultTotals &totals) const;

private:
    template <int Letters>
    void classifyStored(
        std::int64_t first, std::int64_t last, std::uint8_t *categories, std::vector<std::int64_t> &tallied) const;

    const TicketList &tickets_;
    const Selection &selection_;
    const ResultJudge &judge_;
    ResultPatterns patterns_;
    int horsesPerTicket_ = 0;
    int letters_ = 0;
    std::uint32_t baseKey_ = 0;
    std::array<std::array<std::uint32_t, 256>, 5> letterKey_ {};
};

// The money of a comparison. The rapports are per unit stake, so every sum is played
// `multiplier` times.
struct ResultMoney
{
    double gains = 0; // per unit stake
    std::int64_t refundedTickets = 0;
    // In cents: tickets × unit stake × multiplier, refunded tickets × unit stake × multiplier,
    // gains × multiplier + refund − stake. None when no unit stake is known for the size or a
    // sum does not fit.
    std::optional<std::int64_t> stakeCents;
    std::optional<std::int64_t> refundCents;
    std::optional<std::int64_t> balanceCents;
};
ResultMoney resultMoney(const ResultTotals &totals, const Stakes &stakes, int horsesPerTicket);

// The summary: one line per category that has tickets, in category order ("2 Quinte",
// "1 Tiercé 1 NP", "3 Remboursé"), each ended by a carriage return; "Gains  :" and the gains;
// then, when the stake is known, "Mise : …", "Remboursement : …" and "Bilan : …" on lines of
// their own. The euros are written as the windows write them ("132,00 €"), or with the full stop
// ("132.00 €") for the C locale, as the command-line tool writes every number.
QString resultSummaryText(
    const ResultTotals &totals, const Stakes &stakes, int horsesPerTicket, const QLocale &locale = QLocale());

} // namespace mvx
