#include "game/result_section.h"

#include <QtEndian>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace mvx {

namespace {

constexpr int kPayloadVersion = 1;

bool validHorse(int horse)
{
    return horse >= 1 && horse <= kMaxHorses;
}

// A combination of the category as a rapport may carry it: none at all (a rapport for the whole
// category), or the category's horses with its non-runners, no horse twice.
bool validCombination(ResultCategory category, const std::vector<int> &combination)
{
    if (combination.empty())
        return true;
    const CombinationShape shape = combinationShape(category);
    if (int(combination.size()) != shape.horses)
        return false;
    std::array<bool, kMaxHorses + 1> seen {};
    int nonRunners = 0;
    for (int horse : combination) {
        if (horse == kNonRunnerMark) {
            ++nonRunners;
            continue;
        }
        if (!validHorse(horse) || seen[std::size_t(horse)])
            return false;
        seen[std::size_t(horse)] = true;
    }
    return nonRunners == shape.nonRunners;
}

} // namespace

QByteArray encodeOfficialResult(const OfficialResult &result)
{
    QByteArray out;
    auto horses = [&out](const std::vector<int> &list) {
        out.append(char(list.size()));
        for (int horse : list)
            out.append(char(horse));
    };
    out.append(char(kPayloadVersion));
    out.append(char(result.arrival.size()));
    for (const std::vector<int> &tied : result.arrival)
        horses(tied);
    horses(result.nonRunners);
    out.append(char(result.complement));
    char count[2];
    qToLittleEndian<std::uint16_t>(std::uint16_t(result.rapports.size()), count);
    out.append(count, 2);
    for (const Rapport &rapport : result.rapports) {
        out.append(char(rapport.category));
        horses(rapport.combination);
        std::uint64_t bits = 0;
        static_assert(sizeof bits == sizeof rapport.amount);
        std::memcpy(&bits, &rapport.amount, sizeof bits);
        char amount[8];
        qToLittleEndian<std::uint64_t>(bits, amount);
        out.append(amount, 8);
    }
    return out;
}

std::optional<OfficialResult> decodeOfficialResult(QByteArrayView payload)
{
    qsizetype at = 0;
    auto byte = [&]() -> std::optional<int> {
        if (at >= payload.size())
            return std::nullopt;
        return int(static_cast<unsigned char>(payload[at++]));
    };
    // A counted list of horses, each checked by `valid`.
    auto horses = [&](int most, auto valid) -> std::optional<std::vector<int>> {
        const std::optional<int> count = byte();
        if (!count || *count > most)
            return std::nullopt;
        std::vector<int> list;
        for (int i = 0; i < *count; ++i) {
            const std::optional<int> horse = byte();
            if (!horse || !valid(*horse))
                return std::nullopt;
            list.push_back(*horse);
        }
        return list;
    };

    if (byte() != kPayloadVersion)
        return std::nullopt;
    OfficialResult result;
    const std::optional<int> places = byte();
    if (!places || *places > kMaxHorses)
        return std::nullopt;
    for (int p = 0; p < *places; ++p) {
        std::optional<std::vector<int>> tied = horses(kMaxHorses, validHorse);
        if (!tied || tied->empty())
            return std::nullopt;
        result.arrival.push_back(std::move(*tied));
    }
    std::optional<std::vector<int>> nonRunners = horses(kMaxHorses, validHorse);
    if (!nonRunners)
        return std::nullopt;
    result.nonRunners = std::move(*nonRunners);
    const std::optional<int> complement = byte();
    if (!complement || (*complement != 0 && !validHorse(*complement)))
        return std::nullopt;
    result.complement = *complement;

    if (payload.size() - at < 2)
        return std::nullopt;
    const int rapports = qFromLittleEndian<std::uint16_t>(payload.data() + at);
    at += 2;
    if (rapports > kMostKeptRapports)
        return std::nullopt;
    for (int r = 0; r < rapports; ++r) {
        Rapport rapport;
        const std::optional<int> category = byte();
        // Every category but a refund has rapports.
        if (!category || *category < 1 || *category > kResultCategories
            || !publishesRapports(ResultCategory(*category)))
            return std::nullopt;
        rapport.category = ResultCategory(*category);
        std::optional<std::vector<int>> combination
            = horses(kArrivalPlaces, [](int horse) { return horse == kNonRunnerMark || validHorse(horse); });
        if (!combination || !validCombination(rapport.category, *combination))
            return std::nullopt;
        rapport.combination = std::move(*combination);
        if (payload.size() - at < 8)
            return std::nullopt;
        const std::uint64_t bits = qFromLittleEndian<std::uint64_t>(payload.data() + at);
        at += 8;
        std::memcpy(&rapport.amount, &bits, sizeof bits);
        if (!std::isfinite(rapport.amount) || rapport.amount < 0)
            return std::nullopt;
        result.rapports.push_back(std::move(rapport));
    }
    if (at != payload.size() || !resultProblem(result).isEmpty())
        return std::nullopt;
    return result;
}

} // namespace mvx
