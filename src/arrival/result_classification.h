#pragma once

#include "arrival/non_runner_rules.h"
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
    // The combination through which the ticket reaches its category: its horses in finishing
    // order under the order of the tied horses that pays it, then kNonRunnerMark once per
    // non-runner where the category's combinations hold them. Empty for no category and for a
    // refund.
    std::vector<int> combination;
    // What the ticket brings per unit stake, in cents and in euros: the best published rapport of
    // its combination, `times` over, taken for the unit stake (a rapport for 1 € times the unit
    // stake, rounded down to the cent). 0 when nothing is published for it.
    std::int64_t cents = 0;
    double amount = 0;
    int times = 1;
    // A published rapport pays it.
    bool paid = false;
    // The ticket wins its category but the result publishes no rapport that pays it.
    bool unpublished = false;
    // The ticket holds the cheval de complément named with the bet: the bet cannot be made, and
    // the ticket is given no category.
    bool holdsComplement = false;
};

// A combination of at most five horses, kept without allocating.
struct ShortCombination
{
    std::array<int, kArrivalPlaces> horses {};
    int size = 0;

    void push(int horse) { horses[std::size_t(size++)] = horse; }
    std::span<const int> view() const { return { horses.data(), std::size_t(size) }; }
};

// A category a ticket meets under one order of the arrival, and the combination it meets it
// through. `rank` orders the categories of one ticket, the best first.
struct MetCategory
{
    ResultCategory category = ResultCategory::None;
    ShortCombination combination;
    int times = 1;
    // Pays only through a rapport published for it; never a winner left without one.
    bool ownRapportOnly = false;
    int rank = 0;
};

// Every category a ticket of horses.size() horses (2 to 5, no non-runner) meets under one plain
// order of the arrival, the lower ones included, highest first, added to `met`: a quinté+ ticket
// holding the first five in order meets the ordre, the désordre, the Bonus 4 and the Bonus 3.
void addCategoriesMet(std::span<const int> horses, const Arrival &arrival, std::vector<MetCategory> &met);

// The bet (its ticket size) whose tickets a category pays; 0 for None and Refunded.
int betOfCategory(ResultCategory category);

// Judges tickets against an official result. Each order of the tied horses is one possible
// arrival: the ticket meets categories under each (addCategoriesMet, or the rows of
// non_runner_rules.h after the complément has taken the place of the ticket's first
// non-runner), and is paid at the first of them, in their order, for which a published rapport
// pays one of its combinations, at the best such rapport. When none pays, the ticket keeps the
// highest category it meets, unpaid; with the ten payout fields every category counts as
// published, so the highest category met pays its field.
//
// A race with fewer horses classified than the bet names is judged on the horses classified
// when the result publishes a rapport for the bet (tickets holding them reach the categories
// they decide), and refunded when it publishes none, with the payout fields, or when fewer than
// three (two for the couplé) are classified.
class ResultJudge
{
public:
    // The result must be free of problems (resultProblem); `stakes` give the unit stakes that a
    // rapport for 1 € is taken for (the usual ones where a stake is 0).
    ResultJudge(OfficialResult result, const Stakes &stakes);

    const OfficialResult &result() const { return result_; }
    const std::vector<Arrival> &orders() const { return orders_; }

    bool holdsComplement(std::span<const int> horses) const;
    TicketResult judge(std::span<const int> horses) const;

private:
    TicketResult firstPublished(std::vector<MetCategory> &met, int horsesPerTicket) const;
    // The rapport of a combination of the category, if any is published: the one published for
    // that combination, else for the same horses where they are tied, else for the whole
    // category.
    std::optional<double> rapportFor(ResultCategory category, std::span<const int> combination) const;
    bool tiedAlike(std::span<const int> published, std::span<const int> combination) const;
    bool publishesForBet(int horsesPerTicket) const;
    // Every horse of the combination is tied at one place of the arrival.
    bool oneTie(std::span<const int> combination) const;

    OfficialResult result_;
    std::vector<Arrival> orders_;
    std::array<int, kMaxHorses + 1> entryOf_ {}; // arrival entry of each horse, -1 when unplaced
    std::array<std::int64_t, kArrivalPlaces + 1> unitCents_ {};
    // Per category: the result publishes at least one rapport of it.
    std::array<bool, kResultCategories + 1> published_ {};
    // The horses of each rapport's combination in increasing order, beside result_.rapports.
    std::vector<ShortCombination> sortedRapports_;
    // The rows of non_runner_rules.h per ticket size and number of non-runners.
    std::array<std::array<std::vector<NonRunnerRule>, kArrivalPlaces + 1>, kArrivalPlaces + 1> rules_;
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
    // What a ticket of that outcome brings per unit stake, in cents (0 when no rapport pays it).
    std::int64_t cents(std::uint16_t outcome) const { return outcomeCents_[outcome]; }
    double amount(std::uint16_t outcome) const { return double(outcomeCents_[outcome]) / 100.0; }
    // Its tickets win but no published rapport pays them.
    bool unpublished(std::uint16_t outcome) const { return outcomeUnpublished_[outcome]; }

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
    mutable std::vector<std::int64_t> outcomeCents_;
    mutable std::vector<bool> outcomeUnpublished_;
};

// The tickets of a whole comparison.
struct ResultTotals
{
    ResultCounts counts {};
    std::int64_t tickets = 0;
    // The sum of what the tickets bring per unit stake, and its share of each category, in
    // cents; the euros beside them.
    std::int64_t gainsCents = 0;
    std::array<std::int64_t, kResultCategories> categoryCents {};
    double gains = 0;
    std::array<double, kResultCategories> categoryGains {};
    // Winning tickets that no published rapport pays, per category.
    ResultCounts unpublished {};
    // A sum went past what 64-bit cents hold: the comparison cannot be given.
    bool tooLarge = false;

    std::int64_t refunded() const { return counts[std::size_t(ResultCategory::Refunded) - 1]; }
    // Adds `count` tickets of the category, each bringing `cents`; sets tooLarge when a sum
    // does not fit.
    void add(ResultCategory category, std::int64_t count, std::int64_t cents, bool unpublishedWinners);
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
    std::int64_t gainsCents = 0; // per unit stake
    std::int64_t refundedTickets = 0;
    // In cents: the gains × multiplier, tickets × unit stake × multiplier, refunded tickets × unit
    // stake × multiplier, won + refund − stake. None when no unit stake is known for the size or
    // a sum does not fit in 64-bit cents.
    std::optional<std::int64_t> wonCents;
    std::optional<std::int64_t> stakeCents;
    std::optional<std::int64_t> refundCents;
    std::optional<std::int64_t> balanceCents;
};
ResultMoney resultMoney(const ResultTotals &totals, const Stakes &stakes, int horsesPerTicket);
// The same at the chosen bet's unit stake.
ResultMoney resultMoney(const ResultTotals &totals, const Stakes &stakes, Bet bet);

// Why the money of a comparison cannot be given, in French, or empty: a sum that does not fit
// in 64-bit cents.
QString resultMoneyProblem(const ResultTotals &totals, const Stakes &stakes, int horsesPerTicket);

// Cents written as the summary writes an amount: no exponent, no thousands separator, the
// locale's decimal mark, no trailing zeros ("155.3", "12").
QString centsGeneralText(std::int64_t cents, const QLocale &locale = QLocale());

// "3 gagnants sans rapport publié : Bonus 4 sur 5, Couplé placé"; empty when every winner is
// paid by a published rapport.
QString unpublishedWinnersText(const ResultTotals &totals);

// The summary: one line per category that has tickets, in category order ("2 Quinte",
// "1 Tiercé 1 NP", "3 Remboursé"), each ended by a carriage return; the winners left without a
// rapport (unpublishedWinnersText); "Gains  :" and the gains per unit stake, and when the
// tickets are played several times "Gains (× 3) :" and the gains played; then "Mise : …",
// "Remboursement : …" and "Bilan : …" on lines of their own. The euros are written as the
// windows write them ("132,00 €"), or with the full stop ("132.00 €") for the C locale, as the
// command-line tool writes every number. The money must fit (resultMoneyProblem).
QString resultSummaryText(
    const ResultTotals &totals, const Stakes &stakes, int horsesPerTicket, const QLocale &locale = QLocale());
// The same with the money at the chosen bet's unit stake.
QString resultSummaryText(const ResultTotals &totals, const Stakes &stakes, Bet bet, const QLocale &locale = QLocale());

} // namespace mvx
