#include "arrival/ticket_holes.h"

#include "combi/covering_design.h"

#include <algorithm>
#include <cstring>

namespace mvx {

namespace {

using Mask = std::uint32_t;

constexpr int kIndexBits = 5; // a selection index 0..19 in an ordered ticket's key

std::int64_t factorial(int n)
{
    std::int64_t f = 1;
    for (int i = 2; i <= n; ++i)
        f *= i;
    return f;
}

// Calls f on every subset of `m` with r points.
template <typename F> void forEachSubsetOfSize(Mask m, int r, F f)
{
    for (Mask s = m;; s = (s - 1) & m) {
        if (pointCount(s) == r)
            f(s);
        if (s == 0)
            break;
    }
}

// Calls f on every r-subset of the points `from` (a mask), in lexicographic order of the points;
// f returns false to stop.
template <typename F> void forEachSubsetInOrder(Mask from, int r, F f)
{
    int points[32];
    int n = 0;
    for (int p = 0; p < 32; ++p)
        if ((from >> p) & 1)
            points[n++] = p;
    if (r < 0 || r > n)
        return;
    int pick[32];
    for (int i = 0; i < r; ++i)
        pick[i] = i;
    while (true) {
        Mask m = 0;
        for (int i = 0; i < r; ++i)
            m |= Mask(1) << points[pick[i]];
        if (!f(m))
            return;
        int i = r - 1;
        while (i >= 0 && pick[i] == n - r + i)
            --i;
        if (i < 0)
            return;
        ++pick[i];
        for (int j = i + 1; j < r; ++j)
            pick[j] = pick[j - 1] + 1;
    }
}

} // namespace

TicketHoles::TicketHoles(std::vector<int> selection, int bases)
    : selection_(std::move(selection))
{
    if (selection_.size() > std::size_t(kMaxSelection))
        selection_.resize(std::size_t(kMaxSelection));
    bases_ = std::clamp(bases, 0, int(selection_.size()));
    baseMask_ = (Mask(1) << bases_) - 1;
    std::fill(std::begin(indexOfHorse_), std::end(indexOfHorse_), -1);
    for (std::size_t i = 0; i < selection_.size(); ++i) {
        const int horse = selection_[i];
        if (horse >= 1 && horse <= kMaxSelection && indexOfHorse_[horse] < 0)
            indexOfHorse_[horse] = int(i);
    }
    seenSets_.assign(std::size_t(1) << selection_.size(), 0);
}

std::uint32_t TicketHoles::orderKey(std::span<const int> indexes) const
{
    std::uint32_t key = 0;
    for (int index : indexes)
        key = (key << kIndexBits) | std::uint32_t(index);
    return key;
}

bool TicketHoles::add(std::span<const int> horses)
{
    if (tickets_ == 0) {
        size_ = int(horses.size());
        if (size_ >= 2 && size_ <= 5)
            seenOrders_.assign((std::size_t(1) << (kIndexBits * size_)) / 64, 0);
    } else if (int(horses.size()) != size_) {
        return false;
    }
    ++tickets_;
    Mask held = 0;
    bool allSelected = true;
    int indexes[5];
    for (std::size_t i = 0; i < horses.size(); ++i) {
        const int horse = horses[i];
        const int index = horse >= 1 && horse <= kMaxSelection ? indexOfHorse_[horse] : -1;
        if (index < 0) {
            allSelected = false;
            continue;
        }
        held |= Mask(1) << index;
        if (i < 5)
            indexes[i] = index;
    }
    seenSets_[held] = 1;
    if (!seenOrders_.empty() && allSelected && pointCount(held) == size_) {
        const std::uint32_t key = orderKey(std::span<const int>(indexes, std::size_t(size_)));
        std::uint64_t &word = seenOrders_[key / 64];
        const std::uint64_t bit = std::uint64_t(1) << (key % 64);
        if (!(word & bit)) {
            word |= bit;
            if ((held & baseMask_) == baseMask_)
                ++distinctOrdersWithBases_;
        }
    }
    return true;
}

CategoryHoles TicketHoles::orderedHoles(WinCategory category) const
{
    CategoryHoles result;
    result.category = category;
    result.label = gridLabel(category);
    result.places = size_;
    const int n = int(selection_.size());
    if (size_ > n || size_ < bases_)
        return result;
    // Arrivals of the first size_ places: every order of every set holding the bases.
    result.arrivals = binomial(n - bases_, size_ - bases_) * factorial(size_);
    result.holes = result.arrivals - distinctOrdersWithBases_;
    if (result.holes == 0)
        return result;

    // The first holes in lexicographic order of the selection indexes.
    int arrival[5];
    Mask used = 0;
    auto walk = [&](auto &self, int place) -> bool {
        if (place == size_) {
            const std::uint32_t key = orderKey(std::span<const int>(arrival, std::size_t(size_)));
            if (!(seenOrders_[key / 64] >> (key % 64) & 1)) {
                std::vector<int> horses;
                for (int p = 0; p < size_; ++p)
                    horses.push_back(selection_[std::size_t(arrival[p])]);
                result.examples.push_back(std::move(horses));
            }
            return int(result.examples.size()) < kMaxExamples;
        }
        const int missingBases = pointCount(baseMask_ & ~used);
        for (int index = 0; index < n; ++index) {
            const Mask bit = Mask(1) << index;
            if (used & bit)
                continue;
            // Leave room for the bases not yet placed.
            if (missingBases - int((baseMask_ & bit) != 0) > size_ - place - 1)
                continue;
            arrival[place] = index;
            used |= bit;
            const bool more = self(self, place + 1);
            used &= ~bit;
            if (!more)
                return false;
        }
        return true;
    };
    walk(walk, 0);
    return result;
}

CategoryHoles TicketHoles::setHoles(WinCategory category, int places, int needed) const
{
    CategoryHoles result;
    result.category = category;
    result.label = gridLabel(category);
    result.places = places;
    const int n = int(selection_.size());
    if (places > n || places < bases_)
        return result;

    // Every set of `needed` selection horses some ticket holds.
    std::vector<std::uint8_t> won(seenSets_.size(), 0);
    for (std::size_t m = 0; m < seenSets_.size(); ++m)
        if (seenSets_[m] && pointCount(Mask(m)) >= needed)
            forEachSubsetOfSize(Mask(m), needed, [&](Mask s) { won[s] = 1; });

    const std::int64_t orders = factorial(places);
    const Mask others = ((Mask(1) << n) - 1) & ~baseMask_;
    forEachSubsetInOrder(others, places - bases_, [&](Mask rest) {
        const Mask first = rest | baseMask_;
        bool kept = false;
        if (needed == places)
            kept = won[first];
        else
            forEachSubsetOfSize(first, needed, [&](Mask s) { kept = kept || won[s]; });
        result.arrivals += orders;
        if (!kept) {
            result.holes += orders;
            if (int(result.examples.size()) < kMaxExamples) {
                std::vector<int> horses;
                for (int i = 0; i < n; ++i)
                    if ((first >> i) & 1)
                        horses.push_back(selection_[std::size_t(i)]);
                result.examples.push_back(std::move(horses));
            }
        }
        return true;
    });
    return result;
}

CategoryHoles TicketHoles::promiseHoles(int among, int needed) const
{
    CategoryHoles result;
    if (needed >= 1 && needed <= among)
        result = setHoles(WinCategory::None, among, needed);
    result.label = QStringLiteral("GARANTIE");
    result.places = among;
    return result;
}

std::vector<CategoryHoles> TicketHoles::count() const
{
    // The comparison's categories of each ticket size, best first: the places that count, and
    // how many selection horses of those places a ticket must hold (0: all of them, in order).
    struct Rule
    {
        WinCategory category;
        int places;
        int needed;
    };
    static const Rule quinte[] = { { WinCategory::QuinteInOrder, 5, 0 }, { WinCategory::QuinteAnyOrder, 5, 5 },
        { WinCategory::Bonus4, 4, 4 }, { WinCategory::Bonus4Of5, 5, 4 }, { WinCategory::Bonus3, 3, 3 } };
    static const Rule quarte[] = { { WinCategory::QuarteInOrder, 4, 0 }, { WinCategory::QuarteAnyOrder, 4, 4 },
        { WinCategory::QuarteBonus, 3, 3 } };
    static const Rule tierce[] = { { WinCategory::TierceInOrder, 3, 0 }, { WinCategory::TierceAnyOrder, 3, 3 } };
    static const Rule couple[] = { { WinCategory::CoupleWinner, 2, 2 }, { WinCategory::CouplePlaced, 3, 2 } };
    std::span<const Rule> rules;
    switch (size_) {
    case 5:
        rules = quinte;
        break;
    case 4:
        rules = quarte;
        break;
    case 3:
        rules = tierce;
        break;
    case 2:
        rules = couple;
        break;
    default:
        return {};
    }
    std::vector<CategoryHoles> result;
    for (const Rule &rule : rules)
        result.push_back(
            rule.needed == 0 ? orderedHoles(rule.category) : setHoles(rule.category, rule.places, rule.needed));
    return result;
}

} // namespace mvx
