#include "arrival/bet_judge.h"

#include <algorithm>

namespace mvx {

namespace {

bool isHorse(int number)
{
    return number >= 1 && number <= kMaxHorses;
}

bool holds(std::span<const int> horses, int horse)
{
    return std::find(horses.begin(), horses.end(), horse) != horses.end();
}

std::vector<int> sorted(std::vector<int> horses)
{
    std::sort(horses.begin(), horses.end());
    return horses;
}

bool within(int value, int fewest, int most)
{
    return value >= fewest && (most == kAnyCount || value <= most);
}

// The combination a rule's test pays under one order of the tied horses, without its
// non-runners; empty when the runners do not pass it.
std::vector<int> passed(const BetRule &rule, std::span<const int> runners, const Arrival &order)
{
    std::vector<int> combination;
    switch (rule.test) {
    case BetTest::Refund:
        break;
    case BetTest::FirstPlacesHeld:
        if (rule.ordered && int(runners.size()) != rule.places)
            return {};
        for (int p = 1; p <= rule.places; ++p) {
            const int horse = order[std::size_t(p)];
            if (!isHorse(horse) || (rule.ordered ? runners[std::size_t(p - 1)] != horse : !holds(runners, horse)))
                return {};
            combination.push_back(horse);
        }
        break;
    case BetTest::RunnersAmongFirst:
        for (int p = 1; p <= rule.places && p <= kArrivalPlaces; ++p)
            if (isHorse(order[std::size_t(p)]) && holds(runners, order[std::size_t(p)]))
                combination.push_back(order[std::size_t(p)]);
        if (combination.size() != runners.size() || combination.empty())
            return {};
        break;
    }
    return combination;
}

} // namespace

BetJudge::BetJudge(OfficialResult result, Bet bet, const Stakes &stakes)
    : classic_(std::move(result), stakes)
    , bet_(bet)
    , rules_(betRulesFor(bet))
{
    entryOf_.fill(-1);
    const OfficialResult &r = classic_.result();
    for (std::size_t e = 0; e < r.arrival.size(); ++e)
        for (int horse : r.arrival[e])
            if (isHorse(horse))
                entryOf_[std::size_t(horse)] = int(e);
}

int BetJudge::runners() const
{
    const int known = result().runners;
    return known > 0 ? known : kMaxHorses;
}

bool BetJudge::holdsComplement(std::span<const int> horses) const
{
    if (!hasComplement(bet_))
        return false;
    const int complement = result().effectiveComplement();
    return complement != 0 && holds(horses, complement);
}

TicketResult BetJudge::judge(std::span<const int> horses) const
{
    if (int(horses.size()) != horsesPerTicket(bet_))
        return {};
    if (!judgedByBetRules(bet_))
        return classic_.judge(horses);
    return judgeByRules(horses);
}

TicketResult BetJudge::judgeByRules(std::span<const int> horses) const
{
    TicketResult judged;
    if (holdsComplement(horses)) {
        judged.holdsComplement = true;
        return judged;
    }
    const OfficialResult &r = result();
    // The complément, for a bet that takes one, replaces the ticket's first non-runner: the
    // others keep their order and it comes last.
    std::array<int, kMaxLetters> ticket {};
    const int size = int(horses.size());
    std::copy(horses.begin(), horses.end(), ticket.begin());
    if (const int complement = hasComplement(bet_) ? r.effectiveComplement() : 0) {
        const auto first
            = std::find_if(ticket.begin(), ticket.begin() + size, [&](int horse) { return r.isNonRunner(horse); });
        if (first != ticket.begin() + size) {
            std::copy(first + 1, ticket.begin() + size, first);
            ticket[std::size_t(size - 1)] = complement;
        }
    }
    std::array<int, kMaxLetters> ran {};
    int running = 0;
    for (int p = 0; p < size; ++p)
        if (!r.isNonRunner(ticket[std::size_t(p)]))
            ran[std::size_t(running++)] = ticket[std::size_t(p)];
    const int nonRunners = size - running;
    const int started = runners();
    const int classified = r.classifiedHorses();
    for (const BetRule &rule : rules_) {
        if (!within(nonRunners, rule.fewestNonRunners, rule.mostNonRunners) || !within(started, 0, rule.mostRunners)
            || !within(classified, 0, rule.mostClassified))
            continue;
        if (rule.test == BetTest::Refund) {
            judged.category = ResultCategory::Refunded;
            return judged;
        }
        return judgeRow(rule, std::span<const int>(ran.data(), std::size_t(running)));
    }
    return judged;
}

TicketResult BetJudge::judgeRow(const BetRule &rule, std::span<const int> runners) const
{
    TicketResult judged;
    const int marks = combinationShape(rule.category).nonRunners;
    for (const Arrival &order : orders()) {
        std::vector<int> combination = passed(rule, runners, order);
        if (combination.empty())
            continue;
        combination.insert(combination.end(), std::size_t(marks), kNonRunnerMark);
        judged.category = rule.category;
        // Of the combinations through which the ticket passes, the best rapport pays it; a
        // ticket no rapport pays still shows the first.
        const std::optional<double> amount = rapportFor(rule.category, combination);
        if (amount && (!judged.paid || *amount > judged.amount)) {
            judged.paid = true;
            judged.amount = *amount;
            judged.combination = std::move(combination);
        } else if (judged.combination.empty()) {
            judged.combination = std::move(combination);
        }
    }
    return judged;
}

bool BetJudge::tiedAlike(std::span<const int> published, std::span<const int> combination) const
{
    if (published.size() != combination.size())
        return false;
    for (std::size_t i = 0; i < published.size(); ++i) {
        const int a = published[i];
        const int b = combination[i];
        if (a == kNonRunnerMark && b == kNonRunnerMark)
            continue;
        if (!isHorse(a) || !isHorse(b) || entryOf_[std::size_t(a)] < 0
            || entryOf_[std::size_t(a)] != entryOf_[std::size_t(b)])
            return false;
    }
    return sorted({ published.begin(), published.end() }) == sorted({ combination.begin(), combination.end() });
}

std::optional<double> BetJudge::rapportFor(ResultCategory category, std::span<const int> combination) const
{
    const bool ordered = combinationShape(category).ordered;
    const std::vector<int> set = sorted({ combination.begin(), combination.end() });
    // As for the bets of old, the rapport published for the combination goes before one for the
    // same horses tied in another order, which goes before a rapport for the whole category.
    std::optional<double> exact;
    std::optional<double> tied;
    std::optional<double> whole;
    for (const Rapport &rapport : result().rapports) {
        if (rapport.category != category)
            continue;
        std::optional<double> *into = nullptr;
        if (rapport.combination.empty())
            into = &whole;
        else if (!ordered)
            into = sorted(rapport.combination) == set ? &exact : nullptr;
        else if (std::equal(
                     rapport.combination.begin(), rapport.combination.end(), combination.begin(), combination.end()))
            into = &exact;
        // Horses tied at one place may be published in either order: a published order of them
        // pays the others when nothing is published for those.
        else if (tiedAlike(rapport.combination, combination))
            into = &tied;
        if (into && (!*into || rapport.amount > **into))
            *into = rapport.amount;
    }
    return exact ? exact : tied ? tied : whole;
}

// ---------------------------------------------------------------------------------------------

BetPatterns::BetPatterns(const BetJudge &judge)
    : judge_(judge)
    , horsesPerTicket_(std::clamp(mvx::horsesPerTicket(judge.bet()), 0, kMaxLetters))
    , bySet_(!isOrdered(judge.bet()))
{
    // The horses that matter get codes 1, 2, ...: those that finish in the first five under some
    // order, the non-runners and the complément. Every other horse reads as code 0.
    horseOfCode_.push_back(0);
    auto matter = [&](int horse) {
        if (isHorse(horse) && code_[std::size_t(horse)] == 0) {
            code_[std::size_t(horse)] = int(horseOfCode_.size());
            horseOfCode_.push_back(horse);
        }
    };
    for (const Arrival &order : judge.orders())
        for (int p = 1; p <= kArrivalPlaces; ++p)
            matter(order[std::size_t(p)]);
    for (int horse : judge.result().nonRunners)
        matter(horse);
    matter(judge.result().complement);
    const std::uint32_t codes = std::uint32_t(horseOfCode_.size());
    std::uint64_t keys = 1;
    if (bySet_) {
        // One bit per horse that matters: at most 2^20 keys.
        keys = std::uint64_t(1) << (codes - 1);
    } else {
        // The ordered bets hold at most four horses: at most 21^4 keys.
        for (int p = 1; p <= horsesPerTicket_; ++p) {
            weight_[std::size_t(p)] = std::uint32_t(keys);
            keys *= codes;
        }
    }
    if (horsesPerTicket_ > 0)
        outcomeOfKey_.assign(std::size_t(keys), kUnknown);
}

std::uint32_t BetPatterns::keyOf(int horse, int position) const
{
    if (!isHorse(horse) || position < 1 || position > horsesPerTicket_)
        return 0;
    const std::uint32_t code = std::uint32_t(code_[std::size_t(horse)]);
    if (bySet_)
        return code == 0 ? 0 : std::uint32_t(1) << (code - 1);
    return code * weight_[std::size_t(position)];
}

std::uint32_t BetPatterns::key(std::span<const int> horses) const
{
    std::uint32_t key = 0;
    for (std::size_t p = 0; p < horses.size(); ++p)
        key += keyOf(horses[p], int(p + 1));
    return key;
}

std::uint16_t BetPatterns::workOut(std::uint32_t key) const
{
    // One ticket with this key, the horses that do not matter read as 0.
    std::array<int, kMaxLetters> horses {};
    if (bySet_) {
        int p = 0;
        for (std::size_t code = 1; code < horseOfCode_.size() && p < horsesPerTicket_; ++code)
            if (key & (std::uint32_t(1) << (code - 1)))
                horses[std::size_t(p++)] = horseOfCode_[code];
    } else {
        const std::uint32_t base = std::uint32_t(horseOfCode_.size());
        std::uint32_t rest = key;
        for (int p = 0; p < horsesPerTicket_; ++p, rest /= base)
            horses[std::size_t(p)] = horseOfCode_[rest % base];
    }
    const TicketResult judged = judge_.judge(std::span<const int>(horses.data(), std::size_t(horsesPerTicket_)));
    const double amount = judged.paid ? judged.amount : 0.0;
    std::uint16_t &outcome = outcomeOfKey_[key];
    for (std::size_t i = 0; i < outcomeCategory_.size(); ++i)
        if (outcomeCategory_[i] == judged.category && outcomeAmount_[i] == amount)
            return outcome = std::uint16_t(i);
    outcomeCategory_.push_back(judged.category);
    outcomeAmount_.push_back(amount);
    return outcome = std::uint16_t(outcomeCategory_.size() - 1);
}

// ---------------------------------------------------------------------------------------------

BetClassifier::BetClassifier(const TicketList &tickets, const Selection &selection, const BetJudge &judge)
    : tickets_(tickets)
    , selection_(selection)
    , judge_(judge)
    , patterns_(judge)
    , fits_(tickets.horsesPerTicket() == patterns_.horsesPerTicket() && patterns_.horsesPerTicket() > 0)
{
    if (!fits_)
        return;
    const int size = patterns_.horsesPerTicket();
    const TicketReader reader(selection, tickets.layout());
    letters_ = tickets.holdsLetters() ? std::clamp(tickets.layout().lettersPerTicket(), 0, kMaxLetters) : 0;
    for (int p = 1; p <= size; ++p) {
        const int letter = reader.letterIndex(p);
        if (letter < 0 || letter >= letters_) {
            baseKey_ += patterns_.keyOf(reader.horse({}, p), p);
            continue;
        }
        for (int byte = 0; byte < 256; ++byte) {
            const std::string ticket(static_cast<std::size_t>(letters_), static_cast<char>(byte));
            letterKey_[std::size_t(letter)][std::size_t(byte)] = patterns_.keyOf(reader.horse(ticket, p), p);
        }
    }
}

std::vector<int> BetClassifier::ticketHorses(std::int64_t t) const
{
    const int size = tickets_.horsesPerTicket();
    const TicketReader reader(selection_, tickets_.layout());
    const std::string_view letters = tickets_.ticket(t);
    std::vector<int> horses(std::size_t(std::max(size, 0)));
    for (int p = 1; p <= size; ++p)
        horses[std::size_t(p - 1)] = reader.horse(letters, p);
    return horses;
}

std::int64_t BetClassifier::firstTicketWithComplement() const
{
    if (!hasComplement(judge_.bet()) || judge_.result().effectiveComplement() == 0)
        return 0;
    for (std::int64_t t = 1; t <= tickets_.count(); ++t)
        if (judge_.holdsComplement(ticketHorses(t)))
            return t;
    return 0;
}

template <int Letters>
void BetClassifier::classifyStored(
    std::int64_t first, std::int64_t last, std::uint8_t *categories, std::vector<std::int64_t> &tallied) const
{
    const auto *letters = reinterpret_cast<const unsigned char *>(tickets_.ticket(first + 1).data());
    for (std::int64_t t = first; t < last; ++t, letters += Letters) {
        std::uint32_t key = baseKey_;
        for (int i = 0; i < Letters; ++i)
            key += letterKey_[std::size_t(i)][letters[i]];
        const std::uint16_t outcome = patterns_.outcome(key);
        if (outcome >= tallied.size())
            tallied.resize(std::size_t(outcome) + 1, 0);
        categories[t] = std::uint8_t(patterns_.category(outcome));
        ++tallied[outcome];
    }
}

void BetClassifier::classify(
    std::int64_t first, std::int64_t last, std::uint8_t *categories, ResultTotals &totals) const
{
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, tickets_.count());
    if (last <= first)
        return;
    totals.tickets += last - first;
    if (!fits_) {
        std::fill(categories + first, categories + last, std::uint8_t(0));
        return;
    }
    std::vector<std::int64_t> tallied(patterns_.outcomes(), 0);
    switch (letters_) {
    case 0: {
        const std::uint16_t same = patterns_.outcome(baseKey_);
        tallied.resize(patterns_.outcomes(), 0);
        std::fill(categories + first, categories + last, std::uint8_t(patterns_.category(same)));
        tallied[same] += last - first;
        break;
    }
    case 1:
        classifyStored<1>(first, last, categories, tallied);
        break;
    case 2:
        classifyStored<2>(first, last, categories, tallied);
        break;
    case 3:
        classifyStored<3>(first, last, categories, tallied);
        break;
    case 4:
        classifyStored<4>(first, last, categories, tallied);
        break;
    case 5:
        classifyStored<5>(first, last, categories, tallied);
        break;
    case 6:
        classifyStored<6>(first, last, categories, tallied);
        break;
    case 7:
        classifyStored<7>(first, last, categories, tallied);
        break;
    default:
        classifyStored<8>(first, last, categories, tallied);
        break;
    }
    for (std::size_t i = 0; i < tallied.size(); ++i) {
        const ResultCategory category = patterns_.category(std::uint16_t(i));
        if (tallied[i] == 0 || category == ResultCategory::None)
            continue;
        // One rapport pays a ticket of these bets, within the bound every rapport is read with.
        const std::optional<std::int64_t> cents = rapportCents(patterns_.amount(std::uint16_t(i)));
        if (!cents)
            totals.tooLarge = true;
        totals.add(category, tallied[i], cents.value_or(0), false);
    }
}

} // namespace mvx
