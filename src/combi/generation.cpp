#include "combi/generation.h"

#include "combi/catalogue.h"

#include <array>

namespace mvx {

void MemoryTicketSink::begin(const TicketLayout &layout, std::uint64_t expectedCount)
{
    list_ = TicketList::stored(layout, std::int64_t(expectedCount));
}

namespace {

std::uint64_t factorial(int n)
{
    std::uint64_t f = 1;
    for (int i = 2; i <= n; ++i)
        f *= std::uint64_t(i);
    return f;
}

// Every ticket fits this: at most 8 horses per ticket.
constexpr int kMaxLetters = 8;

} // namespace

std::uint64_t countTickets(const GeneratorSettings &generator)
{
    const int pool = generator.horsesToCombine - generator.bases.baseCount;
    const int depth = generator.horsesPerTicket - generator.bases.baseCount;
    if (pool < 0 || depth < 0 || depth > pool || pool > kMaxHorses)
        return 0;
    // a! / b! / (a - b)! with 64-bit factorials is exact for a <= 20.
    const std::uint64_t subsets = factorial(pool) / factorial(depth) / factorial(pool - depth);
    return generator.reduced ? subsets : subsets * factorial(depth);
}

Message confirmTicketCountMessage(std::uint64_t count)
{
    return { QStringLiteral("Votre sélection va générer \n") + QString::number(count) + QStringLiteral(" tickets ")
            + QLatin1Char('\r') + QStringLiteral(" Voulez vous continuer ?"),
        QStringLiteral("Veuillez confirmer") };
}

TicketLayout systemLayout(int systemNumber)
{
    return TicketLayout { reducedSystem(systemNumber).horsesPerTicket, 0, { 1, 2, 3 } };
}

TicketLayout generatorLayout(const GeneratorSettings &generator)
{
    return TicketLayout { generator.horsesPerTicket, generator.bases.baseCount, generator.bases.positions };
}

std::int64_t generateFromSystem(int systemNumber, TicketSink &sink)
{
    const ReducedSystem &system = reducedSystem(systemNumber);
    const std::int64_t rows = std::int64_t(system.table.size()) / std::max(system.horsesPerTicket, 1);
    sink.begin(systemLayout(systemNumber), std::uint64_t(rows));
    std::array<char, kMaxLetters> letters {};
    std::int64_t made = 0;
    for (int t = 1; t <= rows; ++t) {
        const std::span<const std::uint8_t> row = system.row(t);
        for (std::size_t i = 0; i < row.size(); ++i)
            letters[i] = char(64 + row[i]);
        ++made;
        if (!sink.add(std::string_view(letters.data(), row.size())))
            break;
    }
    return made;
}

namespace {

// Lexicographic walk over the k-subsets of the first m letters.
template <typename Sink> std::int64_t walkCombinations(int m, int k, Sink &sink)
{
    std::array<int, kMaxLetters> index {};
    std::array<char, kMaxLetters> letters {};
    for (int i = 0; i < k; ++i) {
        index[std::size_t(i)] = i;
        letters[std::size_t(i)] = char('A' + i);
    }
    std::int64_t made = 0;
    while (true) {
        ++made;
        if (!sink.add(std::string_view(letters.data(), std::size_t(k))))
            return made;
        // Advance the rightmost index that still has room, then reset those after it.
        int i = k - 1;
        while (i >= 0 && index[std::size_t(i)] == m - k + i)
            --i;
        if (i < 0)
            return made;
        ++index[std::size_t(i)];
        for (int j = i; j < k; ++j) {
            if (j > i)
                index[std::size_t(j)] = index[std::size_t(j - 1)] + 1;
            letters[std::size_t(j)] = char('A' + index[std::size_t(j)]);
        }
    }
}

// Lexicographic walk over the ordered selections of k letters out of the first m.
template <typename Sink> class ArrangementWalk
{
public:
    ArrangementWalk(int m, int k, Sink &sink)
        : m_(m)
        , k_(k)
        , sink_(sink)
    { }

    std::int64_t run()
    {
        walk(0);
        return made_;
    }

private:
    bool walk(int depth)
    {
        if (depth == k_) {
            ++made_;
            return sink_.add(std::string_view(letters_.data(), std::size_t(k_)));
        }
        for (int i = 0; i < m_; ++i) {
            if (used_[std::size_t(i)])
                continue;
            used_[std::size_t(i)] = true;
            letters_[std::size_t(depth)] = char('A' + i);
            const bool more = walk(depth + 1);
            used_[std::size_t(i)] = false;
            if (!more)
                return false;
        }
        return true;
    }

    int m_;
    int k_;
    Sink &sink_;
    std::array<bool, kMaxHorses> used_ {};
    std::array<char, kMaxLetters> letters_ {};
    std::int64_t made_ = 0;
};

} // namespace

std::int64_t generateCombinations(const GeneratorSettings &generator, TicketSink &sink)
{
    const int pool = generator.horsesToCombine - generator.bases.baseCount;
    const int depth = generator.horsesPerTicket - generator.bases.baseCount;
    sink.begin(generatorLayout(generator), countTickets(generator));
    // A pool shorter than the depth gives no ticket; an empty depth gives the one empty ticket.
    if (pool < 0 || depth < 0 || depth > pool || depth > kMaxLetters || pool > kMaxHorses)
        return 0;
    // The walks call the sink once per ticket: for the in-memory list that call is inlined.
    auto walk = [&](auto &target) {
        using Sink = std::remove_reference_t<decltype(target)>;
        return generator.reduced ? walkCombinations(pool, depth, target)
                                 : ArrangementWalk<Sink>(pool, depth, target).run();
    };
    if (auto *memory = dynamic_cast<MemoryTicketSink *>(&sink))
        return walk(*memory);
    return walk(sink);
}

} // namespace mvx
