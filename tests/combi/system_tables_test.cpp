// The reduced systems keep what their descriptions promise: first as a covering condition on the
// positions of each table, then on real arrivals, with the tickets generated the way the comparison
// window gets them and judged by the comparison's own category rules.

#include "combi/catalogue.h"
#include "game/ticket_request.h"
#include "model/game_state.h"
#include "model/ticket_list.h"
#include "support/scripted_platform.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace mvx {
namespace {

using Arrival = std::array<int, 5>;
using Mask = std::uint32_t;

// The winning category of a ticket against the first five places, by the comparison rules:
// 1 quinté in order, 2 quinté in any order, 3 bonus 4, 4 bonus 4 sur 5, 5 bonus 3, 6 quarté in order,
// 7 quarté in any order, 8 quarté bonus, 9 tiercé in order, 10 tiercé in any order, 11 couplé gagnant,
// 12 couplé placé; 0 when the ticket wins nothing. Within one ticket size a smaller number is better.
int classify(const int *ticket, int size, const Arrival &arrival)
{
    // Pairs (ticket horse, place among the first `places`) holding the same number.
    auto matchCount = [&](int places) {
        int n = 0;
        for (int i = 0; i < size; ++i)
            for (int j = 0; j < places; ++j)
                n += ticket[i] == arrival[std::size_t(j)];
        return n;
    };
    auto inOrder = [&](int places) {
        for (int p = 0; p < places; ++p)
            if (ticket[p] != arrival[std::size_t(p)])
                return false;
        return true;
    };
    switch (size) {
    case 5:
        if (inOrder(5))
            return 1;
        if (matchCount(5) == 5)
            return 2;
        if (matchCount(4) == 4)
            return 3;
        if (matchCount(5) == 4)
            return 4;
        return matchCount(3) == 3 ? 5 : 0;
    case 4:
        if (inOrder(4))
            return 6;
        if (matchCount(4) == 4)
            return 7;
        return matchCount(3) == 3 ? 8 : 0;
    case 3:
        if (inOrder(3))
            return 9;
        return matchCount(3) == 3 ? 10 : 0;
    case 2:
        if (matchCount(2) == 2)
            return 11;
        return matchCount(3) == 2 ? 12 : 0;
    default:
        return 0;
    }
}

int classify(const std::vector<int> &ticket, const Arrival &arrival)
{
    return classify(ticket.data(), int(ticket.size()), arrival);
}

// What a description promises: when the bases and `others` more horses of the selection take the
// first `places` places, in any order, some ticket wins `category` or better. For that, every
// `covered`-subset of the non-base positions must lie in one row together with the bases.
struct Promise
{
    int bases = 0;
    int others = 0;
    int places = 0;
    int category = 0;
    int covered = 0;
};

Promise promiseOf(const ReducedSystem &system)
{
    const QString text = system.description();
    Promise p;
    // System 13 is listed without a base, but its text names one: position 1 is a base in fact.
    p.bases = text.contains(QLatin1String("2 bases")) ? 2 : text.contains(QLatin1String("1 base")) ? 1 : 0;
    // "dans les 3 premiers", "si les 4 premiers", "si 4 premiers".
    p.places = QRegularExpression(QStringLiteral("(\\d) premiers")).match(text).captured(1).toInt();
    p.others = p.places - p.bases;
    int needed; // first places a ticket must hold to win the category
    if (text.contains(QLatin1String("desordre"))) {
        p.category = system.horsesPerTicket == 5 ? 2 : system.horsesPerTicket == 4 ? 7 : 10;
        needed = p.places;
    } else if (text.contains(QLatin1String("bonus4")) || text.contains(QLatin1String("bonus 4"))) {
        p.category = 3;
        needed = 4;
    } else {
        // Bonus 3 of the quinté, or the quarté bonus: the first three in any order.
        p.category = system.horsesPerTicket == 5 ? 5 : 8;
        needed = 3;
    }
    p.covered = needed - p.bases;
    return p;
}

Mask positionsOf(std::span<const std::uint8_t> row)
{
    Mask m = 0;
    for (std::uint8_t position : row)
        m |= Mask(1) << position;
    return m;
}

// The masks of all r-subsets of the positions in `from`, smallest masks first.
std::vector<Mask> subsetsOf(Mask from, int r)
{
    std::vector<Mask> result;
    for (Mask s = from;; s = (s - 1) & from) {
        if (std::popcount(s) == r)
            result.push_back(s);
        if (s == 0)
            break;
    }
    std::reverse(result.begin(), result.end());
    return result;
}

long long binomial(int n, int r)
{
    long long c = 1;
    for (int i = 1; i <= r; ++i)
        c = c * (n - r + i) / i;
    return c;
}

TEST(SystemPromises, ClassificationFollowsTheComparisonRules)
{
    const Arrival arrival { 1, 2, 3, 4, 5 };
    EXPECT_EQ(classify({ 1, 2, 3, 4, 5 }, arrival), 1);
    EXPECT_EQ(classify({ 5, 4, 3, 2, 1 }, arrival), 2);
    EXPECT_EQ(classify({ 4, 3, 2, 1, 9 }, arrival), 3);
    EXPECT_EQ(classify({ 1, 2, 3, 5, 9 }, arrival), 4);
    EXPECT_EQ(classify({ 2, 3, 4, 5, 9 }, arrival), 4);
    EXPECT_EQ(classify({ 3, 1, 2, 8, 9 }, arrival), 5);
    EXPECT_EQ(classify({ 2, 3, 4, 8, 9 }, arrival), 0);
    EXPECT_EQ(classify({ 1, 2, 3, 4 }, arrival), 6);
    EXPECT_EQ(classify({ 2, 1, 3, 4 }, arrival), 7);
    EXPECT_EQ(classify({ 3, 2, 1, 9 }, arrival), 8);
    EXPECT_EQ(classify({ 1, 2, 9, 4 }, arrival), 0);
    EXPECT_EQ(classify({ 1, 2, 3 }, arrival), 9);
    EXPECT_EQ(classify({ 3, 1, 2 }, arrival), 10);
    EXPECT_EQ(classify({ 1, 2, 4 }, arrival), 0);
    EXPECT_EQ(classify({ 2, 1 }, arrival), 11);
    EXPECT_EQ(classify({ 1, 3 }, arrival), 12);
    EXPECT_EQ(classify({ 3, 2 }, arrival), 12);
    // A repeated number in the arrival counts once per place it takes.
    EXPECT_EQ(classify({ 1, 2, 3, 4, 5 }, Arrival { 1, 1, 1, 1, 1 }), 2);
}

TEST(SystemPromises, DescriptionsReadAsCoveringConditions)
{
    struct Expected
    {
        int system, bases, places, category, covered;
    };
    const Expected cases[] = {
        { 1, 0, 3, 8, 3 }, // quarté, bonus3 if the first three are in the selection
        { 3, 0, 4, 3, 4 }, // quinté, bonus4
        { 6, 0, 3, 5, 3 }, // quinté, bonus3
        { 7, 1, 3, 5, 2 }, // the base and two horses in the first three
        { 9, 1, 4, 3, 3 }, // the base and three horses in the first four
        { 13, 1, 3, 8, 2 }, // a base by its text, none by its record
        { 18, 0, 4, 8, 3 }, // quarté bonus when the first four are in the selection
        { 25, 2, 4, 3, 2 }, // both bases and two horses in the first four
        { 29, 1, 3, 10, 2 }, // tiercé in any order
        { 31, 1, 5, 2, 4 }, // quinté in any order
        { 43, 2, 5, 2, 3 }, // both bases and three horses in the first five
        { 44, 1, 4, 7, 3 }, // quarté in any order
    };
    for (const Expected &e : cases) {
        SCOPED_TRACE(e.system);
        const Promise p = promiseOf(reducedSystem(e.system));
        EXPECT_EQ(p.bases, e.bases);
        EXPECT_EQ(p.places, e.places);
        EXPECT_EQ(p.others, e.places - e.bases);
        EXPECT_EQ(p.category, e.category);
        EXPECT_EQ(p.covered, e.covered);
    }
    for (int n = 1; n <= kSystemCount; ++n) {
        const ReducedSystem &s = reducedSystem(n);
        const Promise p = promiseOf(s);
        SCOPED_TRACE(n);
        EXPECT_GE(p.bases, s.baseCount);
        EXPECT_LE(p.places, s.horsesPerTicket);
        EXPECT_GE(p.covered, 2);
        EXPECT_LE(p.others, s.horseCount - p.bases);
    }
}

class SystemTable : public ::testing::TestWithParam<int>
{
};

TEST_P(SystemTable, HasItsShapeAndCoversWhatItPromises)
{
    const ReducedSystem &s = reducedSystem(GetParam());
    const Promise promise = promiseOf(s);
    ASSERT_EQ(s.table.size(), std::size_t(s.ticketCount) * std::size_t(s.horsesPerTicket));

    Mask bases = 0;
    for (int b = 1; b <= promise.bases; ++b)
        bases |= Mask(1) << b;
    Mask others = 0;
    for (int p = promise.bases + 1; p <= s.horseCount; ++p)
        others |= Mask(1) << p;

    std::vector<Mask> rows;
    for (int t = 1; t <= s.ticketCount; ++t) {
        const auto row = s.row(t);
        SCOPED_TRACE(t);
        for (std::uint8_t position : row) {
            EXPECT_GE(position, 1);
            EXPECT_LE(position, s.horseCount);
        }
        const Mask m = positionsOf(row);
        EXPECT_EQ(std::popcount(m), s.horsesPerTicket) << "a position repeated in the row";
        EXPECT_EQ(m & bases, bases) << "a base missing from the row";
        rows.push_back(m);
    }
    EXPECT_EQ(std::set<Mask>(rows.begin(), rows.end()).size(), rows.size()) << "two rows hold the same positions";

    int uncovered = 0;
    for (Mask subset : subsetsOf(others, promise.covered)) {
        const bool covered
            = std::any_of(rows.begin(), rows.end(), [subset](Mask row) { return (row & subset) == subset; });
        if (!covered && ++uncovered <= 5) {
            std::string positions;
            for (int p = 1; p <= s.horseCount; ++p)
                if ((subset >> p) & 1)
                    positions += std::to_string(p) + ' ';
            ADD_FAILURE() << "positions " << positions << "are in no row";
        }
    }
    EXPECT_EQ(uncovered, 0);
}

// Systems 6 to 53 list the bases first and then the other positions in increasing order, and
// their rows in lexicographic order; a "desordre" table is every choice of the other positions.
// (Systems 1 to 5 keep the order they were given in.)
class BuiltSystemTable : public ::testing::TestWithParam<int>
{
};

TEST_P(BuiltSystemTable, ListsItsRowsInOrder)
{
    const ReducedSystem &s = reducedSystem(GetParam());
    const Promise promise = promiseOf(s);
    ASSERT_EQ(s.table.size(), std::size_t(s.ticketCount) * std::size_t(s.horsesPerTicket));
    std::vector<std::vector<int>> rows;
    for (int t = 1; t <= s.ticketCount; ++t) {
        const auto row = s.row(t);
        rows.emplace_back(row.begin(), row.end());
        std::vector<int> expected = rows.back();
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(rows.back(), expected) << "row " << t;
    }
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));

    if (s.description().contains(QLatin1String("desordre"))) {
        EXPECT_EQ(s.ticketCount, binomial(s.horseCount - promise.bases, promise.others));
        std::vector<std::vector<int>> all;
        std::vector<int> pick(std::size_t(promise.others));
        for (std::size_t i = 0; i < pick.size(); ++i)
            pick[i] = promise.bases + 1 + int(i);
        while (true) {
            std::vector<int> row;
            for (int b = 1; b <= promise.bases; ++b)
                row.push_back(b);
            row.insert(row.end(), pick.begin(), pick.end());
            all.push_back(row);
            int i = int(pick.size()) - 1;
            while (i >= 0 && pick[std::size_t(i)] == s.horseCount - int(pick.size()) + 1 + i)
                --i;
            if (i < 0)
                break;
            ++pick[std::size_t(i)];
            for (std::size_t j = std::size_t(i) + 1; j < pick.size(); ++j)
                pick[j] = pick[j - 1] + 1;
        }
        EXPECT_EQ(rows, all);
    }
}

// The horses typed into the boxes: a fixed shuffle of 1..20, so that no horse number equals its
// position in the selection.
constexpr std::array<int, 20> kBoxHorses { 13, 4, 18, 9, 1, 20, 15, 7, 2, 11, 16, 6, 19, 3, 10, 14, 8, 17, 5, 12 };
// Horses from outside the selection tried in the places after the promised ones.
constexpr int kOutsideHorses = 2;

struct Play
{
    std::vector<int> selection; // in box order, bases first
    std::vector<int> outside;
    std::vector<std::vector<int>> tickets; // horse numbers, in ticket order
};

// Generates the system's tickets as "Comparer avec l'arrivée" does and reads them back horse by horse.
Play playSystem(int number)
{
    const ReducedSystem &s = reducedSystem(number);
    Play play;
    TicketRecipe page;
    page.source = TicketSource::CatalogueSystem;
    page.systemNumber = number;
    for (int i = 0; i < s.horseCount; ++i) {
        page.boxes[std::size_t(i)] = QString::number(kBoxHorses[std::size_t(i)]);
        play.selection.push_back(kBoxHorses[std::size_t(i)]);
    }
    for (int i = s.horseCount; i < s.horseCount + kOutsideHorses; ++i)
        play.outside.push_back(kBoxHorses[std::size_t(i)]);

    GameState state;
    testing::ScriptedPlatform platform;
    EXPECT_TRUE(prepareComparison(state, page, platform));
    EXPECT_TRUE(platform.messages.empty());
    const TicketReader reader(state.selection, state.tickets.layout());
    for (std::int64_t t = 1; t <= state.tickets.count(); ++t) {
        std::vector<int> horses;
        for (int p = 1; p <= state.tickets.horsesPerTicket(); ++p)
            horses.push_back(reader.horse(state.tickets.ticket(t), p));
        play.tickets.push_back(horses);
    }
    return play;
}

// Every arrival the promise covers: the bases and `others` more horses of the selection in the
// first places, in every order; the later places in every order from the rest of the selection and
// the sampled outside horses. Returns the first arrival where no ticket wins the promised category.
std::optional<Arrival> firstBrokenPromise(const Play &play, const Promise &promise)
{
    const std::vector<int> bases(play.selection.begin(), play.selection.begin() + promise.bases);
    const int otherCount = int(play.selection.size()) - promise.bases;
    const Mask allOthers = (Mask(1) << otherCount) - 1;

    // Consecutive arrivals share their first places, so the ticket that won last is tried first.
    std::size_t lastWinner = 0;
    auto kept = [&](const Arrival &arrival) {
        for (std::size_t i = 0; i < play.tickets.size(); ++i) {
            const std::size_t t = (lastWinner + i) % play.tickets.size();
            const int category = classify(play.tickets[t], arrival);
            if (category != 0 && category <= promise.category) {
                lastWinner = t;
                return true;
            }
        }
        return false;
    };

    std::optional<Arrival> broken;
    Arrival arrival {};
    // Fills places from `place` on with distinct horses of `pool`.
    auto fillRest = [&](auto &self, int place, std::vector<int> &pool) -> void {
        if (broken)
            return;
        if (place == int(arrival.size())) {
            if (!kept(arrival))
                broken = arrival;
            return;
        }
        for (std::size_t i = 0; i < pool.size(); ++i) {
            const int horse = pool[i];
            if (horse == 0)
                continue;
            arrival[std::size_t(place)] = horse;
            pool[i] = 0;
            self(self, place + 1, pool);
            pool[i] = horse;
        }
    };

    for (Mask chosen : subsetsOf(allOthers, promise.others)) {
        std::vector<int> head = bases;
        std::vector<int> pool = play.outside;
        for (int i = 0; i < otherCount; ++i)
            ((chosen >> i) & 1 ? head : pool).push_back(play.selection[std::size_t(promise.bases + i)]);
        std::sort(head.begin(), head.end());
        do {
            std::copy(head.begin(), head.end(), arrival.begin());
            fillRest(fillRest, promise.places, pool);
            if (broken)
                return broken;
        } while (std::next_permutation(head.begin(), head.end()));
    }
    return broken;
}

class SystemPromise : public ::testing::TestWithParam<int>
{
};

TEST_P(SystemPromise, HoldsForEveryArrivalItCovers)
{
    const int number = GetParam();
    const ReducedSystem &s = reducedSystem(number);
    const Play play = playSystem(number);
    ASSERT_EQ(int(play.tickets.size()), s.ticketCount);
    EXPECT_EQ(firstBrokenPromise(play, promiseOf(s)), std::nullopt);
}

std::string systemName(const ::testing::TestParamInfo<int> &info)
{
    return "System" + std::to_string(info.param);
}

INSTANTIATE_TEST_SUITE_P(AllSystems, SystemTable, ::testing::Range(1, kSystemCount + 1), systemName);
INSTANTIATE_TEST_SUITE_P(BuiltSystems, BuiltSystemTable, ::testing::Range(6, kSystemCount + 1), systemName);
INSTANTIATE_TEST_SUITE_P(AllSystems, SystemPromise, ::testing::Range(1, kSystemCount + 1), systemName);

// The check is tight: a covering where every 4 horses share exactly one ticket (system 14) or a
// "desordre" table (system 29) loses its promise with any ticket taken away, and the broken
// arrival starts with the horses of that ticket.
TEST(SystemPromises, FailWhenATicketIsMissing)
{
    for (int number : { 14, 29 }) {
        SCOPED_TRACE(number);
        const Promise promise = promiseOf(reducedSystem(number));
        Play play = playSystem(number);
        ASSERT_GT(play.tickets.size(), 3u);
        std::vector<int> lost = play.tickets[3];
        play.tickets.erase(play.tickets.begin() + 3);
        const std::optional<Arrival> broken = firstBrokenPromise(play, promise);
        ASSERT_TRUE(broken.has_value());
        const int needed = promise.category == 3 ? 4 : promise.places;
        std::vector<int> first(broken->begin(), broken->begin() + needed);
        std::sort(first.begin(), first.end());
        std::sort(lost.begin(), lost.end());
        EXPECT_TRUE(std::includes(lost.begin(), lost.end(), first.begin(), first.end()));
    }
}

} // namespace
} // namespace mvx
