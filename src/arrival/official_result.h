#pragma once

#include "arrival/classification.h"
#include "arrival/winnings.h"

#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace mvx {

// The categories of a comparison with the official result: the twelve winning categories with
// their numbers and order, then what non-runners make of a ticket. A ticket falls in at most one.
enum class ResultCategory : std::uint8_t
{
    None = 0,
    QuinteInOrder = 1,
    QuinteAnyOrder = 2,
    Bonus4 = 3,
    Bonus4Of5 = 4,
    Bonus3 = 5,
    QuarteInOrder = 6,
    QuarteAnyOrder = 7,
    QuarteBonus = 8,
    TierceInOrder = 9,
    TierceAnyOrder = 10,
    CoupleWinner = 11,
    CouplePlaced = 12,
    QuinteTwoNonRunners = 13,
    QuarteOneNonRunner = 14,
    TierceOneNonRunner = 15,
    TierceTwoNonRunners = 16,
    CoupleWinnerOneNonRunner = 17,
    CouplePlacedOneNonRunner = 18,
    Refunded = 19,
    // The categories of the operator's other bets. Numbers are kept in files: add at the end.
    SimpleWinner = 21,
    SimplePlaced = 22,
    CoupleInOrder = 23,
    CoupleInOrderOneNonRunner = 24,
    TwoOfFour = 25,
    TwoOfFourOneNonRunner = 26,
    Trio = 27,
    TrioOneNonRunner = 28,
    TrioTwoNonRunners = 29,
    TrioInOrder = 30,
    TrioInOrderOneNonRunner = 31,
    TrioInOrderTwoNonRunners = 32,
    Super4 = 33,
    Super4OneNonRunner = 34,
    Super4TwoNonRunners = 35,
    Multi4 = 36,
    Multi5 = 37,
    Multi6 = 38,
    Multi7 = 39,
    MiniMulti4 = 40,
    MiniMulti5 = 41,
    MiniMulti6 = 42,
    Pick5 = 43,
    Pick5OneNonRunner = 44,
};
constexpr int kResultCategories = 44;

// Tickets per category, category 1 in slot 0.
using ResultCounts = std::array<std::int64_t, kResultCategories>;

constexpr ResultCategory resultCategory(WinCategory category)
{
    return ResultCategory(std::uint8_t(category));
}
// The winning category of the plain comparison; None for the non-runner outcomes.
WinCategory winCategory(ResultCategory category);

// "Tiercé 1 NP", "Remboursé", or the comparison's grid label; empty for None.
QString gridLabel(ResultCategory category);
// The grid label after one blank, as the summary writes it (" Quinte" and the other eleven as
// the comparison writes them).
QString summaryLabel(ResultCategory category);

// What a published combination of the category holds: its horses, of which `nonRunners` are
// non-runners, and whether their order counts. Nothing is published for None and Refunded.
struct CombinationShape
{
    int horses = 0;
    int nonRunners = 0;
    bool ordered = false;
};
CombinationShape combinationShape(ResultCategory category);
// The category is one the operator publishes rapports for (not None, not a refund).
inline bool publishesRapports(ResultCategory category)
{
    return combinationShape(category).horses > 0;
}

// A non-runner in a combination.
constexpr int kNonRunnerMark = 0;

// One published rapport: what a unit stake on the combination of the category brings.
struct Rapport
{
    ResultCategory category = ResultCategory::None;
    // The horses in published order, kNonRunnerMark for "NP"; empty for a single rapport paying
    // every combination of the category.
    std::vector<int> combination;
    double amount = 0;

    friend bool operator==(const Rapport &, const Rapport &) = default;
};

// The result of a race as the operator publishes it.
struct OfficialResult
{
    // The finishing order: one entry per place reached, holding one horse, or several in a dead
    // heat. The place of an entry counts the horses before it, so that after two horses tied 3rd
    // the next entry is 5th.
    std::vector<std::vector<int>> arrival;
    std::vector<int> nonRunners;
    // The cheval de complément named with the bet; 0 for none.
    int complement = 0;
    std::vector<Rapport> rapports;

    // The place of arrival[entry], 1 for the first.
    int placeOf(std::size_t entry) const;
    int classifiedHorses() const;
    bool hasDeadHeat() const;
    bool isNonRunner(int horse) const;
    // The complément that takes a non-runner's place: none (0) when it is itself a non-runner.
    int effectiveComplement() const;

    friend bool operator==(const OfficialResult &, const OfficialResult &) = default;
};

// The official result of a plain arrival of five places with the ten payout fields: each field
// that holds an amount is a single rapport for its whole category.
OfficialResult officialResult(const Arrival &arrival, const Payouts &payouts);
std::vector<Rapport> rapportsOfPayouts(const Payouts &payouts);

// Every way of ordering the tied horses, as plain arrivals of the first five places (the places
// after the last classified horse stay 0). Orders that differ only past the fifth place are one.
std::int64_t arrivalOrderCount(const OfficialResult &result);
std::vector<Arrival> arrivalOrders(const OfficialResult &result);

// The most orders of tied horses a result may give (six horses tied 1st give 720).
constexpr int kMostArrivalOrders = 720;

// What is wrong with a result, in French, or empty: a horse outside 1..20, a horse given twice in
// the arrival or among the non-runners, a non-runner in the arrival, more orders of tied horses
// than kMostArrivalOrders.
QString resultProblem(const OfficialResult &result);

// The arrival as the tool reads it: places separated by commas, tied horses by "=" ("7,13,2=9,20").
QString arrivalText(const OfficialResult &result);
// A combination as published: "7-13-2", "16-NP".
QString combinationText(std::span<const int> combination);

} // namespace mvx
