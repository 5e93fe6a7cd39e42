#pragma once

#include "arrival/bet_rules.h"
#include "arrival/result_classification.h"
#include "model/bet.h"
#include "model/ticket_list.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace mvx {

// Judges the tickets of one chosen bet against an official result. The bets of old (tiercé,
// quarté+, quinté+, couplé) are judged as they always were (ResultJudge); every other bet by
// its rows of bet_rules.h. Each order of the tied horses is one possible arrival: a ticket is
// paid when one of them passes a row, at the best rapport of the combinations through which it
// does. Only the bet's own categories pay.
class BetJudge
{
public:
    // The result must be free of problems (resultProblem); the bet must be valid. `stakes` are
    // used by the bets of old only (the quinté+ played as a quarté+).
    BetJudge(OfficialResult result, Bet bet, const Stakes &stakes);

    Bet bet() const { return bet_; }
    const OfficialResult &result() const { return classic_.result(); }
    const std::vector<Arrival> &orders() const { return classic_.orders(); }
    // The horses that ran, as the refund rules count them: the result's number of runners, or
    // a full field when it is not known.
    int runners() const;

    // The ticket holds the complément named with the bet (only for a bet that takes one).
    bool holdsComplement(std::span<const int> horses) const;
    // What a ticket of the bet's size gets; nothing for a ticket of another size.
    TicketResult judge(std::span<const int> horses) const;

private:
    TicketResult judgeByRules(std::span<const int> horses) const;
    // The ticket's runners under `rule` in every order of the tied horses.
    TicketResult judgeRow(const BetRule &rule, std::span<const int> runners) const;
    std::optional<double> rapportFor(ResultCategory category, std::span<const int> combination) const;
    bool tiedAlike(std::span<const int> published, std::span<const int> combination) const;

    ResultJudge classic_;
    Bet bet_;
    std::vector<BetRule> rules_;
    std::array<int, kMaxHorses + 1> entryOf_ {}; // arrival entry of each horse, -1 when unplaced
};

// What the tickets of one bet get, looked up by pattern, as ResultPatterns does for the bets of
// old: a ticket's outcome depends only on which of the horses that matter (those that can finish
// in the first five, the non-runners, the complément) it holds, and where when the bet is
// ordered. An unordered bet's key is the set of those horses, so that a Multi en 7 needs no more
// keys than there are such sets. From one thread at a time.
class BetPatterns
{
public:
    // The judge must outlive the patterns.
    explicit BetPatterns(const BetJudge &judge);

    int horsesPerTicket() const { return horsesPerTicket_; }
    // What a horse at position 1..horsesPerTicket adds to its ticket's key.
    std::uint32_t keyOf(int horse, int position) const;
    std::uint32_t key(std::span<const int> horses) const;

    std::uint16_t outcome(std::uint32_t key) const
    {
        const std::uint16_t known = outcomeOfKey_[key];
        return known != kUnknown ? known : workOut(key);
    }
    std::size_t outcomes() const { return outcomeCategory_.size(); }
    ResultCategory category(std::uint16_t outcome) const { return outcomeCategory_[outcome]; }
    double amount(std::uint16_t outcome) const { return outcomeAmount_[outcome]; }

private:
    static constexpr std::uint16_t kUnknown = 0xffff;
    std::uint16_t workOut(std::uint32_t key) const;

    const BetJudge &judge_;
    int horsesPerTicket_ = 0;
    bool bySet_ = false; // the key is the set of horses that matter, not their positions
    std::array<int, kMaxHorses + 1> code_ {}; // per horse: 0 for one that does not matter
    std::vector<int> horseOfCode_;
    std::array<std::uint32_t, kMaxLetters + 1> weight_ {};
    mutable std::vector<std::uint16_t> outcomeOfKey_;
    mutable std::vector<ResultCategory> outcomeCategory_;
    mutable std::vector<double> outcomeAmount_;
};

// Classifies the tickets of a list for one bet, one category byte per ticket, as
// ResultClassifier does: a ticket's key is the sum of what its letters add, its outcome looked
// up. Work goes in slices of any size, in any order, from one thread at a time.
class BetClassifier
{
public:
    // The list, the selection and the judge must outlive the classifier.
    BetClassifier(const TicketList &tickets, const Selection &selection, const BetJudge &judge);

    std::int64_t ticketCount() const { return tickets_.count(); }
    // The first ticket (1..ticketCount()) holding the complément of a bet that takes one, 0 when
    // none does.
    std::int64_t firstTicketWithComplement() const;
    // The horses of ticket t, 1..ticketCount().
    std::vector<int> ticketHorses(std::int64_t t) const;
    TicketResult ticketResult(std::int64_t t) const { return judge_.judge(ticketHorses(t)); }

    // Classifies tickets first..last - 1 (0-based: ticket t + 1 goes into categories[t]) and adds
    // them to the totals. A list whose tickets are not of the bet's size gets no category.
    void classify(std::int64_t first, std::int64_t last, std::uint8_t *categories, ResultTotals &totals) const;

private:
    template <int Letters>
    void classifyStored(
        std::int64_t first, std::int64_t last, std::uint8_t *categories, std::vector<std::int64_t> &tallied) const;

    const TicketList &tickets_;
    const Selection &selection_;
    const BetJudge &judge_;
    BetPatterns patterns_;
    bool fits_ = false;
    int letters_ = 0;
    std::uint32_t baseKey_ = 0;
    std::array<std::array<std::uint32_t, 256>, kMaxLetters> letterKey_ {};
};

} // namespace mvx
