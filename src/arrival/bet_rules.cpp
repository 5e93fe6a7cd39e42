#include "arrival/bet_rules.h"

namespace mvx {

namespace {

using K = Bet::Kind;
using T = BetTest;
using C = ResultCategory;
constexpr int A = kAnyCount;

// The operator's rules, bet by bet: first what refunds every ticket of the race (too few
// runners, too few horses classified), then what non-runners make of a ticket, then the plain
// win. The complément, for the bets that take one, has replaced the ticket's first non-runner
// before a row is read. Dead heats need no row: every order of the tied horses is an arrival
// and a ticket is paid when one of them passes the row's test, so two horses tied at the last
// paid place never pay together. Where the rule of the day differs, this table is the one
// place to change.
//
// Where the summary read gives a chapter but not the article of a rule, the row names the
// chapter's articles.
// { kind, size, fewest NP, most NP, most runners, most classified, test, places, ordered,
//   category, article, uncertain }
constexpr BetRule kRules[] = {
    // Simple gagnant: the horse wins; a non-runner is refunded, with no complément.
    { K::SimpleWinner, 0, 0, A, A, 0, T::Refund, 0, false, C::None, "art. 22–29", false },
    { K::SimpleWinner, 0, 1, A, A, A, T::Refund, 0, false, C::None, "art. 22–29", false },
    { K::SimpleWinner, 0, 0, 0, A, A, T::FirstPlacesHeld, 1, false, C::SimpleWinner, "art. 22–29", false },
    // Simple placé: among the first two with 4 to 7 runners, the first three with 8 or more;
    // refunded when fewer than 4 ran. The text counts the horses on the card, the result
    // knows those that ran.
    { K::SimplePlaced, 0, 0, A, A, 0, T::Refund, 0, false, C::None, "art. 22–29", false },
    { K::SimplePlaced, 0, 1, A, A, A, T::Refund, 0, false, C::None, "art. 22–29", false },
    { K::SimplePlaced, 0, 0, A, 3, A, T::Refund, 0, false, C::None, "art. 22–29", false },
    { K::SimplePlaced, 0, 0, 0, 7, A, T::RunnersAmongFirst, 2, false, C::SimplePlaced, "art. 22–29", true },
    { K::SimplePlaced, 0, 0, 0, A, A, T::RunnersAmongFirst, 3, false, C::SimplePlaced, "art. 22–29", false },

    // Couplé gagnant: the first two in either order; one non-runner pays "1 NP" when the
    // other horse wins.
    { K::CoupleWinner, 0, 0, A, A, 1, T::Refund, 0, false, C::None, "art. 46", false },
    { K::CoupleWinner, 0, 2, A, A, A, T::Refund, 0, false, C::None, "art. 43", false },
    { K::CoupleWinner, 0, 1, 1, A, A, T::FirstPlacesHeld, 1, false, C::CoupleWinnerOneNonRunner, "art. 43", false },
    { K::CoupleWinner, 0, 0, 0, A, A, T::FirstPlacesHeld, 2, false, C::CoupleWinner, "art. 41", false },
    // Couplé placé: two of the first three; one non-runner pays "1 NP" when the other horse is
    // placed (first two with fewer than 8 horses, counted here as runners).
    { K::CouplePlaced, 0, 0, A, A, 1, T::Refund, 0, false, C::None, "art. 46", false },
    { K::CouplePlaced, 0, 2, A, A, A, T::Refund, 0, false, C::None, "art. 43", false },
    { K::CouplePlaced, 0, 1, 1, 7, A, T::RunnersAmongFirst, 2, false, C::CouplePlacedOneNonRunner, "art. 43", true },
    { K::CouplePlaced, 0, 1, 1, A, A, T::RunnersAmongFirst, 3, false, C::CouplePlacedOneNonRunner, "art. 43", false },
    { K::CouplePlaced, 0, 0, 0, A, A, T::RunnersAmongFirst, 3, false, C::CouplePlaced, "art. 41", false },
    // Couplé ordre: the first two in the order played; one non-runner as the couplé gagnant.
    // Its own dead-heat cases were not read: every order of the tied horses pays.
    { K::CoupleInOrder, 0, 0, A, A, 1, T::Refund, 0, false, C::None, "art. 46", false },
    { K::CoupleInOrder, 0, 2, A, A, A, T::Refund, 0, false, C::None, "art. 43", false },
    { K::CoupleInOrder, 0, 1, 1, A, A, T::FirstPlacesHeld, 1, false, C::CoupleInOrderOneNonRunner, "art. 43 b", false },
    { K::CoupleInOrder, 0, 0, 0, A, A, T::FirstPlacesHeld, 2, true, C::CoupleInOrder, "art. 41", true },

    // 2sur4: both horses among the first four; refunded when fewer than five ran.
    { K::TwoOfFour, 0, 0, A, 4, A, T::Refund, 0, false, C::None, "e-2sur4 art. 1", false },
    { K::TwoOfFour, 0, 0, A, A, 1, T::Refund, 0, false, C::None, "art. 49–55", false },
    { K::TwoOfFour, 0, 2, A, A, A, T::Refund, 0, false, C::None, "art. 53", false },
    { K::TwoOfFour, 0, 1, 1, A, A, T::RunnersAmongFirst, 4, false, C::TwoOfFourOneNonRunner, "art. 53", false },
    { K::TwoOfFour, 0, 0, 0, A, A, T::RunnersAmongFirst, 4, false, C::TwoOfFour, "art. 49, 51", false },

    // Trio: the first three in any order; non-runners as the tiercé.
    { K::Trio, 0, 0, A, A, 2, T::Refund, 0, false, C::None, "art. 74 (68 d)", false },
    { K::Trio, 0, 3, A, A, A, T::Refund, 0, false, C::None, "art. 74 (68 c)", false },
    { K::Trio, 0, 2, 2, A, A, T::FirstPlacesHeld, 1, false, C::TrioTwoNonRunners, "art. 74 (68 c)", false },
    { K::Trio, 0, 1, 1, A, A, T::FirstPlacesHeld, 2, false, C::TrioOneNonRunner, "art. 74 (68 c)", false },
    { K::Trio, 0, 0, 0, A, A, T::FirstPlacesHeld, 3, false, C::Trio, "art. 70", false },
    // Trio ordre: the first three in order; one non-runner is played as a couplé ordre.
    { K::TrioInOrder, 0, 0, A, A, 2, T::Refund, 0, false, C::None, "art. 74-1–74-8", false },
    { K::TrioInOrder, 0, 3, A, A, A, T::Refund, 0, false, C::None, "art. 74-1–74-8", false },
    { K::TrioInOrder, 0, 2, 2, A, A, T::FirstPlacesHeld, 1, false, C::TrioInOrderTwoNonRunners, "art. 74-1–74-8",
        false },
    { K::TrioInOrder, 0, 1, 1, A, A, T::FirstPlacesHeld, 2, true, C::TrioInOrderOneNonRunner, "art. 74-1–74-8", false },
    { K::TrioInOrder, 0, 0, 0, A, A, T::FirstPlacesHeld, 3, true, C::TrioInOrder, "art. 74-1–74-8", false },

    // Super4: the first four in order. Its chapter was not read: refunded with 3 or 4
    // non-runners and fewer than four classified; one or two non-runners judged as the trio
    // ordre does, the runners in their order on the first places.
    { K::Super4, 0, 0, A, A, 3, T::Refund, 0, false, C::None, "titre III ch. 3", true },
    { K::Super4, 0, 3, A, A, A, T::Refund, 0, false, C::None, "titre III ch. 3", false },
    { K::Super4, 0, 2, 2, A, A, T::FirstPlacesHeld, 2, true, C::Super4TwoNonRunners, "titre III ch. 3", true },
    { K::Super4, 0, 1, 1, A, A, T::FirstPlacesHeld, 3, true, C::Super4OneNonRunner, "titre III ch. 3", true },
    { K::Super4, 0, 0, 0, A, A, T::FirstPlacesHeld, 4, true, C::Super4, "titre III ch. 3", false },

    // Multi: the first four among the ticket's horses; refunded when fewer than eight ran or
    // fewer than four are classified. A non-runner makes it the next smaller Multi; fewer
    // than four runners are refunded. No complément.
    { K::Multi, 0, 0, A, 7, A, T::Refund, 0, false, C::None, "art. 87–94", true },
    { K::Multi, 0, 0, A, A, 3, T::Refund, 0, false, C::None, "art. 87–94", true },
    { K::Multi, 4, 1, A, A, A, T::Refund, 0, false, C::None, "art. 91", false },
    { K::Multi, 5, 2, A, A, A, T::Refund, 0, false, C::None, "art. 91", false },
    { K::Multi, 5, 1, 1, A, A, T::FirstPlacesHeld, 4, false, C::Multi4, "art. 91", false },
    { K::Multi, 6, 3, A, A, A, T::Refund, 0, false, C::None, "art. 91", false },
    { K::Multi, 6, 2, 2, A, A, T::FirstPlacesHeld, 4, false, C::Multi4, "art. 91", false },
    { K::Multi, 6, 1, 1, A, A, T::FirstPlacesHeld, 4, false, C::Multi5, "art. 91", false },
    { K::Multi, 7, 4, A, A, A, T::Refund, 0, false, C::None, "art. 91", false },
    { K::Multi, 7, 3, 3, A, A, T::FirstPlacesHeld, 4, false, C::Multi4, "art. 91", false },
    { K::Multi, 7, 2, 2, A, A, T::FirstPlacesHeld, 4, false, C::Multi5, "art. 91", false },
    { K::Multi, 7, 1, 1, A, A, T::FirstPlacesHeld, 4, false, C::Multi6, "art. 91", false },
    { K::Multi, 4, 0, 0, A, A, T::FirstPlacesHeld, 4, false, C::Multi4, "art. 87, 90", false },
    { K::Multi, 5, 0, 0, A, A, T::FirstPlacesHeld, 4, false, C::Multi5, "art. 87, 90", false },
    { K::Multi, 6, 0, 0, A, A, T::FirstPlacesHeld, 4, false, C::Multi6, "art. 87, 90", false },
    { K::Multi, 7, 0, 0, A, A, T::FirstPlacesHeld, 4, false, C::Multi7, "art. 87, 90", false },
    // Mini Multi: as the Multi, in 4, 5 or 6 horses, with no refund by the number of runners.
    { K::MiniMulti, 0, 0, A, A, 3, T::Refund, 0, false, C::None, "art. 94-1–94-8", true },
    { K::MiniMulti, 4, 1, A, A, A, T::Refund, 0, false, C::None, "art. 94-1–94-8", false },
    { K::MiniMulti, 5, 2, A, A, A, T::Refund, 0, false, C::None, "art. 94-1–94-8", false },
    { K::MiniMulti, 5, 1, 1, A, A, T::FirstPlacesHeld, 4, false, C::MiniMulti4, "art. 94-1–94-8", false },
    { K::MiniMulti, 6, 3, A, A, A, T::Refund, 0, false, C::None, "art. 94-1–94-8", false },
    { K::MiniMulti, 6, 2, 2, A, A, T::FirstPlacesHeld, 4, false, C::MiniMulti4, "art. 94-1–94-8", false },
    { K::MiniMulti, 6, 1, 1, A, A, T::FirstPlacesHeld, 4, false, C::MiniMulti5, "art. 94-1–94-8", false },
    { K::MiniMulti, 4, 0, 0, A, A, T::FirstPlacesHeld, 4, false, C::MiniMulti4, "art. 94-1–94-8", false },
    { K::MiniMulti, 5, 0, 0, A, A, T::FirstPlacesHeld, 4, false, C::MiniMulti5, "art. 94-1–94-8", false },
    { K::MiniMulti, 6, 0, 0, A, A, T::FirstPlacesHeld, 4, false, C::MiniMulti6, "art. 94-1–94-8", false },

    // Pick5: the first five in any order; one non-runner pays "Pick5 1 NP" when the four
    // runners are the first four; refunded with two or more, or fewer than five classified.
    { K::Pick5, 0, 0, A, A, 4, T::Refund, 0, false, C::None, "art. 96-1–96-6", true },
    { K::Pick5, 0, 2, A, A, A, T::Refund, 0, false, C::None, "art. 96-1–96-6", false },
    { K::Pick5, 0, 1, 1, A, A, T::FirstPlacesHeld, 4, false, C::Pick5OneNonRunner, "art. 96-1–96-6", false },
    { K::Pick5, 0, 0, 0, A, A, T::FirstPlacesHeld, 5, false, C::Pick5, "art. 96-1, 96-2", false },
};

} // namespace

std::span<const BetRule> betRules()
{
    return kRules;
}

std::vector<BetRule> betRulesFor(Bet bet)
{
    std::vector<BetRule> rows;
    for (const BetRule &rule : kRules)
        if (rule.kind == bet.kind && (rule.size == 0 || rule.size == bet.size))
            rows.push_back(rule);
    return rows;
}

bool judgedByBetRules(Bet bet)
{
    return !isClassicBet(bet) && isValidBet(bet);
}

} // namespace mvx
