#include "arrival/result_classification.h"

#include "arrival/non_runner_rules.h"
#include "combi/game_cost.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace mvx {

namespace {

bool isHorse(int number)
{
    return number >= 1 && number <= kMaxHorses;
}

// How many first finishers make the paying combination of a category that takes them all.
int firstFinishersPaid(WinCategory category)
{
    using C = WinCategory;
    switch (category) {
    case C::QuinteInOrder:
    case C::QuinteAnyOrder:
        return 5;
    case C::Bonus4:
    case C::QuarteInOrder:
    case C::QuarteAnyOrder:
        return 4;
    case C::Bonus3:
    case C::QuarteBonus:
    case C::TierceInOrder:
    case C::TierceAnyOrder:
        return 3;
    case C::CoupleWinner:
        return 2;
    default:
        return 0; // the ticket's own horses among the first five (Bonus 4 sur 5) or three (couplé placé)
    }
}

bool holds(std::span<const int> horses, int horse)
{
    return std::find(horses.begin(), horses.end(), horse) != horses.end();
}

// The ticket's horses found among the first `places` of the arrival, in finishing order.
ShortCombination ticketHorsesAmongFirst(std::span<const int> horses, const Arrival &arrival, int places)
{
    ShortCombination found;
    for (int p = 1; p <= places; ++p)
        if (isHorse(arrival[std::size_t(p)]) && holds(horses, arrival[std::size_t(p)]))
            found.push(arrival[std::size_t(p)]);
    return found;
}

ShortCombination firstFinishers(const Arrival &arrival, int count)
{
    ShortCombination first;
    for (int p = 1; p <= count; ++p)
        first.push(arrival[std::size_t(p)]);
    return first;
}

ShortCombination payingCombination(WinCategory category, std::span<const int> horses, const Arrival &arrival)
{
    if (const int first = firstFinishersPaid(category))
        return firstFinishers(arrival, first);
    return ticketHorsesAmongFirst(horses, arrival, category == WinCategory::CouplePlaced ? 3 : kArrivalPlaces);
}

ShortCombination sorted(std::span<const int> horses)
{
    ShortCombination set;
    for (std::size_t i = 0; i < horses.size() && i < set.horses.size(); ++i)
        set.push(horses[i]);
    // Five at most: an insertion sort (std::sort's path for long ranges upsets the compiler's
    // bounds check on so short an array).
    for (int i = 1; i < set.size; ++i)
        for (int k = i; k > 0 && set.horses[std::size_t(k)] < set.horses[std::size_t(k - 1)]; --k)
            std::swap(set.horses[std::size_t(k)], set.horses[std::size_t(k - 1)]);
    return set;
}

bool sameHorses(const ShortCombination &a, const ShortCombination &b)
{
    return a.size == b.size && std::equal(a.horses.begin(), a.horses.begin() + a.size, b.horses.begin());
}

std::int64_t unitStakeOr(const Stakes &stakes, int horsesPerTicket)
{
    const std::int64_t unit = stakes.unitStake(horsesPerTicket);
    return unit > 0 ? unit : defaultUnitStakeCents(horsesPerTicket).value_or(100);
}

bool heldAt(std::span<const int> horses, const Arrival &arrival, int place)
{
    return isHorse(arrival[std::size_t(place)]) && holds(horses, arrival[std::size_t(place)]);
}

} // namespace

void addCategoriesMet(std::span<const int> horses, const Arrival &arrival, std::vector<MetCategory> &met)
{
    using W = WinCategory;
    if (matchCount(horses, arrival, 3) < 2)
        return; // not even a couplé placé: no category of any bet
    auto meet = [&](W category) {
        met.push_back(
            { resultCategory(category), payingCombination(category, horses, arrival), 1, false, int(category) });
    };
    switch (horses.size()) {
    case 5:
        if (inOrder(horses, arrival, 5))
            meet(W::QuinteInOrder);
        if (matchCount(horses, arrival, 5) == 5)
            meet(W::QuinteAnyOrder);
        if (matchCount(horses, arrival, 4) == 4)
            meet(W::Bonus4);
        // Four of the first five with the fifth: a ticket with the first four is a Bonus 4.
        else if (matchCount(horses, arrival, 5) == 4 && heldAt(horses, arrival, 5))
            meet(W::Bonus4Of5);
        if (matchCount(horses, arrival, 3) == 3)
            meet(W::Bonus3);
        break;
    case 4:
        if (inOrder(horses, arrival, 4))
            meet(W::QuarteInOrder);
        if (matchCount(horses, arrival, 4) == 4)
            meet(W::QuarteAnyOrder);
        if (matchCount(horses, arrival, 3) == 3)
            meet(W::QuarteBonus);
        break;
    case 3:
        if (inOrder(horses, arrival, 3))
            meet(W::TierceInOrder);
        if (matchCount(horses, arrival, 3) == 3)
            meet(W::TierceAnyOrder);
        break;
    case 2:
        if (matchCount(horses, arrival, 2) == 2)
            meet(W::CoupleWinner);
        if (matchCount(horses, arrival, 3) == 2)
            meet(W::CouplePlaced);
        break;
    default:
        break;
    }
}

namespace {

// The category of the same bet and horses with the order counted or not.
ResultCategory orderSibling(ResultCategory category)
{
    using C = ResultCategory;
    switch (category) {
    case C::QuinteInOrder:
        return C::QuinteAnyOrder;
    case C::QuinteAnyOrder:
        return C::QuinteInOrder;
    case C::QuarteInOrder:
        return C::QuarteAnyOrder;
    case C::QuarteAnyOrder:
        return C::QuarteInOrder;
    case C::TierceInOrder:
        return C::TierceAnyOrder;
    case C::TierceAnyOrder:
        return C::TierceInOrder;
    default:
        return C::None;
    }
}

} // namespace

int betOfCategory(ResultCategory category)
{
    using C = ResultCategory;
    switch (category) {
    case C::QuinteInOrder:
    case C::QuinteAnyOrder:
    case C::Bonus4:
    case C::Bonus4Of5:
    case C::Bonus3:
    case C::QuinteTwoNonRunners:
    case C::QuinteOneNonRunner:
        return 5;
    case C::QuarteInOrder:
    case C::QuarteAnyOrder:
    case C::QuarteBonus:
    case C::QuarteOneNonRunner:
        return 4;
    case C::TierceInOrder:
    case C::TierceAnyOrder:
    case C::TierceOneNonRunner:
    case C::TierceTwoNonRunners:
        return 3;
    case C::CoupleWinner:
    case C::CouplePlaced:
    case C::CoupleWinnerOneNonRunner:
    case C::CouplePlacedOneNonRunner:
        return 2;
    default:
        // None, a refund, and the categories of the bets chosen by name, judged by their rules.
        break;
    }
    return 0;
}

ResultJudge::ResultJudge(OfficialResult result, const Stakes &stakes)
    : result_(std::move(result))
    // A result with more orders than that is refused before it is judged (resultProblem).
    , orders_(arrivalOrderCount(result_) <= kMostArrivalOrders ? arrivalOrders(result_) : std::vector<Arrival> {})
{
    for (int size = 2; size <= kArrivalPlaces; ++size)
        unitCents_[std::size_t(size)] = unitStakeOr(stakes, size);
    for (const Rapport &rapport : result_.rapports) {
        if (std::size_t(rapport.category) < published_.size())
            published_[std::size_t(rapport.category)] = true;
        // Its combination's rapport may pay the other order of horses tied together.
        if (!rapport.combination.empty())
            published_[std::size_t(orderSibling(rapport.category))] = true;
        sortedRapports_.push_back(sorted(rapport.combination));
    }
    for (int size = 2; size <= kArrivalPlaces; ++size)
        for (int absent = 1; absent <= size; ++absent)
            rules_[std::size_t(size)][std::size_t(absent)] = nonRunnerRulesFor(size, absent);
    entryOf_.fill(-1);
    for (std::size_t e = 0; e < result_.arrival.size(); ++e)
        for (int horse : result_.arrival[e])
            if (isHorse(horse))
                entryOf_[std::size_t(horse)] = int(e);
}

bool ResultJudge::holdsComplement(std::span<const int> horses) const
{
    const int complement = result_.effectiveComplement();
    return complement != 0 && holds(horses, complement);
}

bool ResultJudge::tiedAlike(std::span<const int> published, std::span<const int> combination) const
{
    if (published.size() != combination.size())
        return false;
    for (std::size_t i = 0; i < published.size(); ++i) {
        const int a = published[i];
        const int b = combination[i];
        if (!isHorse(a) || !isHorse(b) || entryOf_[std::size_t(a)] < 0
            || entryOf_[std::size_t(a)] != entryOf_[std::size_t(b)])
            return false;
    }
    return sameHorses(sorted(published), sorted(combination));
}

std::optional<double> ResultJudge::rapportFor(ResultCategory category, std::span<const int> combination) const
{
    const bool ordered = combinationShape(category).ordered;
    const ShortCombination set = sorted(combination);
    // The rapport published for the combination is the operator's word for it: it goes before
    // one published for the same horses tied in another order, which goes before a rapport for
    // the whole category.
    std::optional<double> exact;
    std::optional<double> tied;
    std::optional<double> whole;
    // Horses all tied at one place have one rapport for every order of them: one published for
    // their combination pays, whether the result calls it ordre or désordre.
    const ResultCategory sibling = oneTie(combination) ? orderSibling(category) : ResultCategory::None;
    for (std::size_t r = 0; r < result_.rapports.size(); ++r) {
        const Rapport &rapport = result_.rapports[r];
        if (rapport.category == sibling && !rapport.combination.empty() && sameHorses(sortedRapports_[r], set)
            && (!exact || rapport.amount > *exact))
            exact = rapport.amount;
        if (rapport.category != category)
            continue;
        std::optional<double> *into = nullptr;
        if (rapport.combination.empty())
            into = &whole;
        else if (!ordered)
            into = sameHorses(sortedRapports_[r], set) ? &exact : nullptr;
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

bool ResultJudge::oneTie(std::span<const int> combination) const
{
    if (combination.size() < 2)
        return false;
    for (int horse : combination)
        if (!isHorse(horse) || entryOf_[std::size_t(horse)] < 0
            || entryOf_[std::size_t(horse)] != entryOf_[std::size_t(combination[0])])
            return false;
    return true;
}

bool ResultJudge::publishesForBet(int horsesPerTicket) const
{
    return std::any_of(result_.rapports.begin(), result_.rapports.end(),
        [&](const Rapport &rapport) { return betOfCategory(rapport.category) == horsesPerTicket; });
}

TicketResult ResultJudge::firstPublished(std::vector<MetCategory> &met, int horsesPerTicket) const
{
    TicketResult judged;
    // A few entries: an insertion sort keeps them in the order found within a rank.
    for (std::size_t i = 1; i < met.size(); ++i)
        for (std::size_t k = i; k > 0 && met[k].rank < met[k - 1].rank; --k)
            std::swap(met[k], met[k - 1]);
    // A rapport for 1 € is taken for the unit stake.
    const std::int64_t base = result_.rapportsPerEuro ? unitCents_[std::size_t(horsesPerTicket)] : 100;
    const auto firstKept = std::find_if(met.begin(), met.end(), [](const MetCategory &m) { return !m.ownRapportOnly; });
    for (auto group = met.begin(); group != met.end();) {
        const auto end = std::find_if(group, met.end(), [&](const MetCategory &m) { return m.rank != group->rank; });
        // With the payout fields, the highest category met is the one paid, its field or nothing.
        if (result_.fromPayoutFields && group != firstKept && group->ownRapportOnly) {
            group = end;
            continue;
        }
        for (auto m = group; m != end; ++m) {
            if (!published_[std::size_t(m->category)])
                continue;
            const std::optional<double> amount = rapportFor(m->category, m->combination.view());
            const std::optional<std::int64_t> rapport = amount ? rapportCents(*amount) : std::nullopt;
            if (!rapport)
                continue;
            // Rapports are bounded: times and the unit stake keep this far inside 64 bits.
            const std::int64_t cents = *rapport * m->times * base / 100;
            if (!judged.paid || cents > judged.cents) {
                judged.paid = true;
                judged.cents = cents;
                judged.combination.assign(m->combination.view().begin(), m->combination.view().end());
                judged.category = m->category;
                judged.times = m->times;
            }
        }
        if (judged.paid || (result_.fromPayoutFields && group == firstKept))
            break;
        group = end;
    }
    if (!judged.paid && firstKept != met.end()) {
        judged.category = firstKept->category;
        judged.combination.assign(firstKept->combination.view().begin(), firstKept->combination.view().end());
        judged.times = firstKept->times;
        judged.unpublished = !result_.fromPayoutFields;
    }
    judged.amount = double(judged.cents) / 100.0;
    return judged;
}

TicketResult ResultJudge::judge(std::span<const int> horses) const
{
    TicketResult judged;
    const int size = int(horses.size());
    if (size < 2 || size > kArrivalPlaces)
        return judged;
    if (holdsComplement(horses)) {
        judged.holdsComplement = true;
        return judged;
    }
    // The complément takes the place of the first non-runner: the others keep their order and
    // it comes last.
    std::array<int, kArrivalPlaces> ticket {};
    std::copy(horses.begin(), horses.end(), ticket.begin());
    if (const int complement = result_.effectiveComplement()) {
        const auto first = std::find_if(
            ticket.begin(), ticket.begin() + size, [&](int horse) { return result_.isNonRunner(horse); });
        if (first != ticket.begin() + size) {
            std::copy(first + 1, ticket.begin() + size, first);
            ticket[std::size_t(size - 1)] = complement;
        }
    }
    // Fewer horses classified than the bet names: the tickets holding them are paid what the
    // result publishes for them; nobody held them when it publishes nothing for the bet.
    const int classified = result_.classifiedHorses();
    if (classified < size && (classified < std::min(size, 3) || result_.fromPayoutFields || !publishesForBet(size))) {
        judged.category = ResultCategory::Refunded;
        return judged;
    }
    std::array<int, kArrivalPlaces> runners {};
    int running = 0;
    for (int p = 0; p < size; ++p)
        if (!result_.isNonRunner(ticket[std::size_t(p)]))
            runners[std::size_t(running++)] = ticket[std::size_t(p)];
    const int nonRunners = size - running;
    std::vector<MetCategory> met;
    met.reserve(16);
    if (nonRunners == 0) {
        const std::span<const int> played(ticket.data(), std::size_t(size));
        for (const Arrival &order : orders_)
            addCategoriesMet(played, order, met);
        return firstPublished(met, size);
    }
    const std::span<const int> ran(runners.data(), std::size_t(running));
    const std::vector<NonRunnerRule> &rules = rules_[std::size_t(size)][std::size_t(nonRunners)];
    for (std::size_t r = 0; r < rules.size(); ++r) {
        const NonRunnerRule &rule = rules[r];
        if (rule.outcome == NonRunnerOutcome::Refund) {
            if (met.empty()) {
                judged.category = ResultCategory::Refunded;
                return judged;
            }
            break;
        }
        for (const Arrival &order : orders_) {
            ShortCombination combination;
            if (rule.outcome == NonRunnerOutcome::RunnersAmongFirst) {
                combination = ticketHorsesAmongFirst(ran, order, rule.places);
                if (std::size_t(combination.size) != ran.size())
                    continue;
                // Four of the first five is a Bonus 4 sur 5 only with the fifth.
                if (rule.category == ResultCategory::Bonus4Of5 && !heldAt(ran, order, rule.places))
                    continue;
                for (int n = 0; n < combinationShape(rule.category).nonRunners; ++n)
                    combination.push(kNonRunnerMark);
            } else {
                bool all = true;
                for (int p = 1; p <= rule.places && all; ++p)
                    all = heldAt(ran, order, p);
                if (!all)
                    continue;
                combination = firstFinishers(order, rule.places);
            }
            met.push_back({ rule.category, combination, rule.times, rule.ownRapportOnly, int(r) });
        }
    }
    return firstPublished(met, size);
}

// ---------------------------------------------------------------------------------------------

ResultPatterns::ResultPatterns(const ResultJudge &judge, int horsesPerTicket)
    : judge_(judge)
    , horsesPerTicket_(horsesPerTicket >= 2 && horsesPerTicket <= kArrivalPlaces ? horsesPerTicket : 0)
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
    // A ticket's key: the codes of its horses, position 1 the lowest digit. At most 21 codes and
    // five positions: about four million keys.
    std::uint32_t keys = 1;
    for (int p = 1; p <= horsesPerTicket_; ++p) {
        weight_[std::size_t(p)] = keys;
        keys *= std::uint32_t(horseOfCode_.size());
    }
    if (horsesPerTicket_ > 0)
        outcomeOfKey_.assign(keys, kUnknown);
}

std::uint32_t ResultPatterns::keyOf(int horse, int position) const
{
    if (!isHorse(horse) || position < 1 || position > horsesPerTicket_)
        return 0;
    return std::uint32_t(code_[std::size_t(horse)]) * weight_[std::size_t(position)];
}

std::uint32_t ResultPatterns::key(std::span<const int> horses) const
{
    std::uint32_t key = 0;
    for (std::size_t p = 0; p < horses.size(); ++p)
        key += keyOf(horses[p], int(p + 1));
    return key;
}

std::uint16_t ResultPatterns::workOut(std::uint32_t key) const
{
    // One ticket with this key, the horses that do not matter read as 0.
    const std::uint32_t base = std::uint32_t(horseOfCode_.size());
    std::array<int, kArrivalPlaces> horses {};
    const std::uint32_t wanted = key;
    for (int p = 0; p < horsesPerTicket_; ++p, key /= base)
        horses[std::size_t(p)] = horseOfCode_[key % base];
    const TicketResult judged = judge_.judge(std::span<const int>(horses.data(), std::size_t(horsesPerTicket_)));
    const std::int64_t cents = judged.paid ? judged.cents : 0;
    std::uint16_t &outcome = outcomeOfKey_[wanted];
    for (std::size_t i = 0; i < outcomeCategory_.size(); ++i)
        if (outcomeCategory_[i] == judged.category && outcomeCents_[i] == cents
            && outcomeUnpublished_[i] == judged.unpublished)
            return outcome = std::uint16_t(i);
    outcomeCategory_.push_back(judged.category);
    outcomeCents_.push_back(cents);
    outcomeUnpublished_.push_back(judged.unpublished);
    return outcome = std::uint16_t(outcomeCategory_.size() - 1);
}

// ---------------------------------------------------------------------------------------------

ResultClassifier::ResultClassifier(const TicketList &tickets, const Selection &selection, const ResultJudge &judge)
    : tickets_(tickets)
    , selection_(selection)
    , judge_(judge)
    , patterns_(judge, tickets.horsesPerTicket())
    , horsesPerTicket_(tickets.horsesPerTicket())
{
    if (patterns_.horsesPerTicket() == 0)
        return;
    const TicketReader reader(selection, tickets.layout());
    letters_ = tickets.holdsLetters() ? std::clamp(tickets.layout().lettersPerTicket(), 0, 5) : 0;
    for (int p = 1; p <= horsesPerTicket_; ++p) {
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

ResultClassifier::~ResultClassifier() = default;

std::vector<int> ResultClassifier::ticketHorses(std::int64_t t) const
{
    const TicketReader reader(selection_, tickets_.layout());
    const std::string_view letters = tickets_.ticket(t);
    std::vector<int> horses(std::size_t(std::max(horsesPerTicket_, 0)));
    for (int p = 1; p <= horsesPerTicket_; ++p)
        horses[std::size_t(p - 1)] = reader.horse(letters, p);
    return horses;
}

std::int64_t ResultClassifier::firstTicketWithComplement() const
{
    const int complement = judge_.result().effectiveComplement();
    if (complement == 0)
        return 0;
    const TicketReader reader(selection_, tickets_.layout());
    for (std::int64_t t = 1; t <= tickets_.count(); ++t) {
        const std::string_view letters = tickets_.ticket(t);
        for (int p = 1; p <= horsesPerTicket_; ++p)
            if (reader.horse(letters, p) == complement)
                return t;
    }
    return 0;
}

template <int Letters>
void ResultClassifier::classifyStored(
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

void ResultClassifier::classify(
    std::int64_t first, std::int64_t last, std::uint8_t *categories, ResultTotals &totals) const
{
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, tickets_.count());
    if (last <= first)
        return;
    totals.tickets += last - first;
    if (patterns_.horsesPerTicket() == 0) {
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
    default:
        classifyStored<5>(first, last, categories, tallied);
        break;
    }
    for (std::size_t i = 0; i < tallied.size(); ++i) {
        const auto outcome = std::uint16_t(i);
        if (tallied[i] > 0)
            totals.add(
                patterns_.category(outcome), tallied[i], patterns_.cents(outcome), patterns_.unpublished(outcome));
    }
}

// ---------------------------------------------------------------------------------------------

void ResultTotals::add(ResultCategory category, std::int64_t count, std::int64_t cents, bool unpublishedWinners)
{
    if (category == ResultCategory::None || count <= 0)
        return;
    const std::size_t slot = std::size_t(category) - 1;
    counts[slot] += count;
    if (unpublishedWinners)
        unpublished[slot] += count;
    std::int64_t won = 0;
    if (__builtin_mul_overflow(count, cents, &won) || __builtin_add_overflow(gainsCents, won, &gainsCents)
        || __builtin_add_overflow(categoryCents[slot], won, &categoryCents[slot])) {
        tooLarge = true;
        return;
    }
    gains = double(gainsCents) / 100.0;
    categoryGains[slot] = double(categoryCents[slot]) / 100.0;
}

namespace {

ResultMoney resultMoneyOf(const ResultTotals &totals, const Stakes &stakes, std::optional<Bet> bet)
{
    ResultMoney money;
    money.gainsCents = totals.gainsCents;
    money.refundedTickets = totals.refunded();
    const std::optional<std::int64_t> stake = stakesCostCents(stakes, bet, totals.tickets);
    const std::optional<std::int64_t> refund = stakesCostCents(stakes, bet, money.refundedTickets);
    if (totals.tooLarge || !stake || !refund)
        return money;
    std::int64_t won = 0;
    std::int64_t balance = 0;
    if (__builtin_mul_overflow(totals.gainsCents, stakes.multiplier, &won)
        || __builtin_add_overflow(won, *refund, &balance) || __builtin_sub_overflow(balance, *stake, &balance))
        return money;
    money.wonCents = won;
    money.stakeCents = stake;
    money.refundCents = refund;
    money.balanceCents = balance;
    return money;
}

} // namespace

ResultMoney resultMoney(const ResultTotals &totals, const Stakes &stakes, int horsesPerTicket)
{
    return resultMoneyOf(totals, stakes, classicBet(horsesPerTicket));
}

ResultMoney resultMoney(const ResultTotals &totals, const Stakes &stakes, Bet bet)
{
    return resultMoneyOf(totals, stakes, bet);
}

QString resultMoneyProblem(const ResultTotals &totals, const Stakes &stakes, int horsesPerTicket)
{
    if (resultMoney(totals, stakes, horsesPerTicket).balanceCents)
        return {};
    return QStringLiteral("Les montants de cette comparaison (gains, mise ou bilan) dépassent ce que le programme "
                          "compte : au plus 92 233 720 368 547 758,07 €.");
}

QString centsGeneralText(std::int64_t cents, const QLocale &locale)
{
    const bool negative = cents < 0;
    // The magnitude of the most negative value still fits once unsigned.
    const std::uint64_t magnitude = negative ? std::uint64_t(0) - std::uint64_t(cents) : std::uint64_t(cents);
    QString text = QString::number(magnitude / 100);
    if (const std::uint64_t fraction = magnitude % 100) {
        text += locale.decimalPoint();
        text += QString::number(fraction / 10);
        if (fraction % 10)
            text += QString::number(fraction % 10);
    }
    return negative ? QLatin1Char('-') + text : text;
}

QString unpublishedWinnersText(const ResultTotals &totals)
{
    std::int64_t winners = 0;
    QStringList categories;
    for (int c = 1; c <= kResultCategories; ++c) {
        if (const std::int64_t count = totals.unpublished[std::size_t(c - 1)]) {
            winners += count;
            categories << gridLabel(ResultCategory(c));
        }
    }
    if (winners == 0)
        return {};
    return QStringLiteral("%1 %2 sans rapport publié : %3")
        .arg(winners)
        .arg(winners == 1 ? QStringLiteral("gagnant") : QStringLiteral("gagnants"),
            categories.join(QStringLiteral(", ")));
}

namespace {

QString summaryTextOf(const ResultTotals &totals, const Stakes &stakes, std::optional<Bet> bet, const QLocale &locale)
{
    QString text;
    for (int c = 1; c <= kResultCategories; ++c) {
        const std::int64_t count = totals.counts[std::size_t(c - 1)];
        if (count > 0)
            text += QString::number(count) + summaryLabel(ResultCategory(c)) + QLatin1Char('\r');
    }
    if (const QString unpaid = unpublishedWinnersText(totals); !unpaid.isEmpty())
        text += unpaid + QLatin1Char('\r');
    text += QStringLiteral("Gains  :") + centsGeneralText(totals.gainsCents, locale);
    const ResultMoney money = resultMoneyOf(totals, stakes, bet);
    if (!money.balanceCents)
        return text;
    const bool tool = locale == QLocale::c();
    auto euros = [tool](std::int64_t cents) { return tool ? euroText(cents) : frenchEuroText(cents); };
    if (stakes.multiplier > 1)
        text += QStringLiteral("\rGains (× %1) : %2").arg(stakes.multiplier).arg(euros(*money.wonCents));
    return text
        + QStringLiteral("\rMise : %1\rRemboursement : %2\rBilan : %3%4")
              .arg(euros(*money.stakeCents), euros(*money.refundCents),
                  *money.balanceCents > 0 ? QStringLiteral("+") : QString(), euros(*money.balanceCents));
}

} // namespace

QString resultSummaryText(const ResultTotals &totals, const Stakes &stakes, int horsesPerTicket, const QLocale &locale)
{
    return summaryTextOf(totals, stakes, classicBet(horsesPerTicket), locale);
}

QString resultSummaryText(const ResultTotals &totals, const Stakes &stakes, Bet bet, const QLocale &locale)
{
    return summaryTextOf(totals, stakes, bet, locale);
}

} // namespace mvx
