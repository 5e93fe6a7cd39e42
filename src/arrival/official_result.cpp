#include "arrival/official_result.h"

#include <QStringList>

#include <algorithm>
#include <functional>

namespace mvx {

namespace {

bool isHorse(int number)
{
    return number >= 1 && number <= kMaxHorses;
}

// The payout field of the window that pays each category, in the order of the fields.
constexpr std::array<ResultCategory, kPaidCategories> kCategoryOfField {
    ResultCategory::QuinteInOrder,
    ResultCategory::QuinteAnyOrder,
    ResultCategory::Bonus4Of5,
    ResultCategory::Bonus4,
    ResultCategory::Bonus3,
    ResultCategory::QuarteInOrder,
    ResultCategory::QuarteAnyOrder,
    ResultCategory::QuarteBonus,
    ResultCategory::TierceInOrder,
    ResultCategory::TierceAnyOrder,
};

} // namespace

WinCategory winCategory(ResultCategory category)
{
    const int c = int(category);
    return c >= 1 && c <= kWinCategories ? WinCategory(c) : WinCategory::None;
}

QString gridLabel(ResultCategory category)
{
    switch (category) {
    case ResultCategory::QuinteTwoNonRunners:
        return QStringLiteral("Quinté 2 NP");
    case ResultCategory::QuarteOneNonRunner:
        return QStringLiteral("Quarté 1 NP");
    case ResultCategory::TierceOneNonRunner:
        return QStringLiteral("Tiercé 1 NP");
    case ResultCategory::TierceTwoNonRunners:
        return QStringLiteral("Tiercé 2 NP");
    case ResultCategory::CoupleWinnerOneNonRunner:
        return QStringLiteral("Couplé gagnant 1 NP");
    case ResultCategory::CouplePlacedOneNonRunner:
        return QStringLiteral("Couplé placé 1 NP");
    case ResultCategory::Refunded:
        return QStringLiteral("Remboursé");
    case ResultCategory::SimpleWinner:
        return QStringLiteral("Simple gagnant");
    case ResultCategory::SimplePlaced:
        return QStringLiteral("Simple placé");
    case ResultCategory::CoupleInOrder:
        return QStringLiteral("Couplé ordre");
    case ResultCategory::CoupleInOrderOneNonRunner:
        return QStringLiteral("Couplé ordre 1 NP");
    case ResultCategory::TwoOfFour:
        return QStringLiteral("2sur4");
    case ResultCategory::TwoOfFourOneNonRunner:
        return QStringLiteral("2sur4 1 NP");
    case ResultCategory::Trio:
        return QStringLiteral("Trio");
    case ResultCategory::TrioOneNonRunner:
        return QStringLiteral("Trio 1 NP");
    case ResultCategory::TrioTwoNonRunners:
        return QStringLiteral("Trio 2 NP");
    case ResultCategory::TrioInOrder:
        return QStringLiteral("Trio ordre");
    case ResultCategory::TrioInOrderOneNonRunner:
        return QStringLiteral("Trio ordre 1 NP");
    case ResultCategory::TrioInOrderTwoNonRunners:
        return QStringLiteral("Trio ordre 2 NP");
    case ResultCategory::Super4:
        return QStringLiteral("Super4");
    case ResultCategory::Super4OneNonRunner:
        return QStringLiteral("Super4 1 NP");
    case ResultCategory::Super4TwoNonRunners:
        return QStringLiteral("Super4 2 NP");
    case ResultCategory::Multi4:
        return QStringLiteral("Multi en 4");
    case ResultCategory::Multi5:
        return QStringLiteral("Multi en 5");
    case ResultCategory::Multi6:
        return QStringLiteral("Multi en 6");
    case ResultCategory::Multi7:
        return QStringLiteral("Multi en 7");
    case ResultCategory::MiniMulti4:
        return QStringLiteral("Mini Multi en 4");
    case ResultCategory::MiniMulti5:
        return QStringLiteral("Mini Multi en 5");
    case ResultCategory::MiniMulti6:
        return QStringLiteral("Mini Multi en 6");
    case ResultCategory::Pick5:
        return QStringLiteral("Pick5");
    case ResultCategory::Pick5OneNonRunner:
        return QStringLiteral("Pick5 1 NP");
    default:
        return gridLabel(winCategory(category));
    }
}

QString summaryLabel(ResultCategory category)
{
    if (winCategory(category) != WinCategory::None)
        return summaryLabel(winCategory(category));
    if (category == ResultCategory::None)
        return {};
    return QLatin1Char(' ') + gridLabel(category);
}

CombinationShape combinationShape(ResultCategory category)
{
    using C = ResultCategory;
    switch (category) {
    case C::QuinteInOrder:
        return { 5, 0, true };
    case C::QuinteAnyOrder:
        return { 5, 0, false };
    case C::Bonus4:
    case C::Bonus4Of5:
        return { 4, 0, false };
    case C::Bonus3:
        return { 3, 0, false };
    case C::QuarteInOrder:
        return { 4, 0, true };
    case C::QuarteAnyOrder:
        return { 4, 0, false };
    case C::QuarteBonus:
        return { 3, 0, false };
    case C::TierceInOrder:
        return { 3, 0, true };
    case C::TierceAnyOrder:
        return { 3, 0, false };
    case C::CoupleWinner:
    case C::CouplePlaced:
        return { 2, 0, false };
    case C::QuinteTwoNonRunners:
        return { 5, 2, false };
    case C::QuarteOneNonRunner:
        return { 4, 1, false };
    case C::TierceOneNonRunner:
        return { 3, 1, false };
    case C::TierceTwoNonRunners:
        return { 3, 2, false };
    case C::CoupleWinnerOneNonRunner:
    case C::CouplePlacedOneNonRunner:
        return { 2, 1, false };
    case C::SimpleWinner:
    case C::SimplePlaced:
        return { 1, 0, false };
    case C::CoupleInOrder:
        return { 2, 0, true };
    case C::CoupleInOrderOneNonRunner:
    case C::TwoOfFourOneNonRunner:
        return { 2, 1, false };
    case C::TwoOfFour:
        return { 2, 0, false };
    case C::Trio:
        return { 3, 0, false };
    case C::TrioOneNonRunner:
    case C::TrioInOrderOneNonRunner:
        return { 3, 1, false };
    case C::TrioTwoNonRunners:
    case C::TrioInOrderTwoNonRunners:
        return { 3, 2, false };
    case C::TrioInOrder:
        return { 3, 0, true };
    case C::Super4:
        return { 4, 0, true };
    case C::Super4OneNonRunner:
        return { 4, 1, false };
    case C::Super4TwoNonRunners:
        return { 4, 2, false };
    // Every size of the Multi pays on the first four: its rapport is published for them.
    case C::Multi4:
    case C::Multi5:
    case C::Multi6:
    case C::Multi7:
    case C::MiniMulti4:
    case C::MiniMulti5:
    case C::MiniMulti6:
        return { 4, 0, false };
    case C::Pick5:
        return { 5, 0, false };
    case C::Pick5OneNonRunner:
        return { 5, 1, false };
    case C::None:
    case C::Refunded:
        break;
    }
    return {};
}

int OfficialResult::placeOf(std::size_t entry) const
{
    int place = 1;
    for (std::size_t e = 0; e < entry && e < arrival.size(); ++e)
        place += int(arrival[e].size());
    return place;
}

int OfficialResult::classifiedHorses() const
{
    return placeOf(arrival.size()) - 1;
}

bool OfficialResult::hasDeadHeat() const
{
    return std::any_of(arrival.begin(), arrival.end(), [](const std::vector<int> &e) { return e.size() > 1; });
}

bool OfficialResult::isNonRunner(int horse) const
{
    return isHorse(horse) && std::find(nonRunners.begin(), nonRunners.end(), horse) != nonRunners.end();
}

int OfficialResult::effectiveComplement() const
{
    return isHorse(complement) && !isNonRunner(complement) ? complement : 0;
}

std::vector<Rapport> rapportsOfPayouts(const Payouts &payouts)
{
    std::vector<Rapport> rapports;
    for (std::size_t field = 0; field < payouts.size(); ++field)
        if (payouts[field] > 0)
            rapports.push_back(Rapport { kCategoryOfField[field], {}, payouts[field] });
    return rapports;
}

OfficialResult officialResult(const Arrival &arrival, const Payouts &payouts)
{
    OfficialResult result;
    for (int place = 1; place <= kArrivalPlaces && isHorse(arrival[std::size_t(place)]); ++place)
        result.arrival.push_back({ arrival[std::size_t(place)] });
    result.rapports = rapportsOfPayouts(payouts);
    return result;
}

std::int64_t arrivalOrderCount(const OfficialResult &result)
{
    std::int64_t orders = 1;
    int position = 0;
    for (const std::vector<int> &entry : result.arrival) {
        // The tied horses of an entry fill the places left before the sixth in every order.
        const int m = int(entry.size());
        for (int k = 0; k < std::min(m, kArrivalPlaces - position); ++k)
            orders = std::min<std::int64_t>(orders * (m - k), std::int64_t(1) << 40);
        position += m;
    }
    return orders;
}

namespace {

// Places the horses of entry `e` and those after it from `position` (0-based) on, each order of
// the tied horses of an entry in turn; an order is complete at the sixth place.
void placeEntries(
    const OfficialResult &result, std::size_t e, int position, Arrival &arrival, std::vector<Arrival> &orders)
{
    if (position >= kArrivalPlaces || e >= result.arrival.size()) {
        orders.push_back(arrival);
        return;
    }
    const std::vector<int> &entry = result.arrival[e];
    const int places = std::min(int(entry.size()), kArrivalPlaces - position);
    std::vector<bool> used(entry.size(), false);
    std::function<void(int)> pick = [&](int chosen) {
        if (chosen == places) {
            placeEntries(result, e + 1, position + int(entry.size()), arrival, orders);
            return;
        }
        for (std::size_t i = 0; i < entry.size(); ++i) {
            if (used[i])
                continue;
            used[i] = true;
            arrival[std::size_t(position + chosen + 1)] = entry[i];
            pick(chosen + 1);
            used[i] = false;
        }
    };
    pick(0);
}

} // namespace

std::vector<Arrival> arrivalOrders(const OfficialResult &result)
{
    std::vector<Arrival> orders;
    Arrival arrival {};
    placeEntries(result, 0, 0, arrival, orders);
    return orders;
}

QString resultProblem(const OfficialResult &result)
{
    std::array<bool, kMaxHorses + 1> seen {};
    for (const std::vector<int> &entry : result.arrival) {
        if (entry.empty())
            return QStringLiteral("Une place de l'arrivée n'a pas de cheval.");
        for (int horse : entry) {
            if (!isHorse(horse))
                return QStringLiteral("L'arrivée donne %1, qui n'est pas un cheval de 1 à 20.").arg(horse);
            if (seen[std::size_t(horse)])
                return QStringLiteral("Le cheval %1 est deux fois dans l'arrivée.").arg(horse);
            seen[std::size_t(horse)] = true;
        }
    }
    std::array<bool, kMaxHorses + 1> absent {};
    for (int horse : result.nonRunners) {
        if (!isHorse(horse))
            return QStringLiteral("Le non-partant %1 n'est pas un cheval de 1 à 20.").arg(horse);
        if (seen[std::size_t(horse)])
            return QStringLiteral("Le cheval %1 est à la fois dans l'arrivée et non-partant.").arg(horse);
        if (absent[std::size_t(horse)])
            return QStringLiteral("Le non-partant %1 est donné deux fois.").arg(horse);
        absent[std::size_t(horse)] = true;
    }
    if (result.complement != 0 && !isHorse(result.complement))
        return QStringLiteral("Le cheval de complément %1 n'est pas un cheval de 1 à 20.").arg(result.complement);
    if (arrivalOrderCount(result) > kMostArrivalOrders)
        return QStringLiteral("Trop de chevaux à égalité : au plus %1 ordres d'arrivée sont pris en compte.")
            .arg(kMostArrivalOrders);
    return {};
}

QString arrivalText(const OfficialResult &result)
{
    QStringList places;
    for (const std::vector<int> &entry : result.arrival) {
        QStringList tied;
        for (int horse : entry)
            tied << QString::number(horse);
        places << tied.join(QLatin1Char('='));
    }
    return places.join(QLatin1Char(','));
}

QString combinationText(std::span<const int> combination)
{
    QStringList horses;
    for (int horse : combination)
        horses << (horse == kNonRunnerMark ? QStringLiteral("NP") : QString::number(horse));
    return horses.join(QLatin1Char('-'));
}

} // namespace mvx
