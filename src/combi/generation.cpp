#include "combi/generation.h"

#include "combi/catalogue.h"
#include "combi/ticket_conditions.h"
#include "combi/ticket_file.h"
#include "model/work_progress.h"

#include <QLocale>

#include <algorithm>
#include <array>

namespace mvx {

void MemoryTicketSink::begin(const TicketLayout &layout, std::uint64_t expectedCount)
{
    list_ = TicketList::stored(layout, std::int64_t(expectedCount));
}

bool MemoryTicketSink::report()
{
    progress_->setDone(std::uint64_t(list_.count()));
    return !progress_->stopRequested();
}

namespace {

std::uint64_t factorial(int n)
{
    std::uint64_t f = 1;
    for (int i = 2; i <= n; ++i)
        f *= std::uint64_t(i);
    return f;
}

// Any sink through its virtual call, for sinks the walks do not know.
class AnySink
{
public:
    explicit AnySink(TicketSink &sink, int letters)
        : sink_(sink)
        , letters_(std::size_t(letters))
    { }
    bool add(const TicketLetters &letters, int) { return sink_.add(std::string_view(letters.data(), letters_)); }
    bool add(TicketLetters letters, int, std::string_view lastLetters)
    {
        for (const char letter : lastLetters) {
            letters[letters_ - 1] = letter;
            if (!add(letters, 0))
                return false;
        }
        return true;
    }

private:
    TicketSink &sink_;
    std::size_t letters_;
};

// Runs `walk` on the concrete sink when it is one of the program's own, so that the call per
// ticket is inlined into the walk; on any other sink through its virtual call.
template <typename Walk> std::int64_t onConcreteSink(TicketSink &sink, int letters, Walk &&walk)
{
    if (auto *memory = dynamic_cast<MemoryTicketSink *>(&sink))
        return walk(*memory);
    if (auto *file = dynamic_cast<TicketFileSink *>(&sink))
        return walk(*file);
    AnySink any(sink, letters);
    return walk(any);
}

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

Message confirmTicketCountMessage(std::uint64_t count, const QString &costLine)
{
    const QString cost = costLine.isEmpty() ? QString() : QLatin1Char('\r') + costLine;
    return { QStringLiteral("Votre sélection va générer \n") + QString::number(count) + QStringLiteral(" tickets ")
            + cost + QLatin1Char('\r') + QStringLiteral(" Voulez vous continuer ?"),
        QStringLiteral("Veuillez confirmer") };
}

Message confirmConditionedCountMessage(std::uint64_t count, std::uint64_t unconditioned, const QString &costLine)
{
    const QLocale french(QLocale::French, QLocale::France);
    const QString cost = costLine.isEmpty() ? QString() : QLatin1Char('\r') + costLine;
    return { QStringLiteral("Votre sélection va générer \n%1 %2 au lieu de %3 avec les conditions ")
                 .arg(french.toString(qulonglong(count)),
                     count == 1 ? QStringLiteral("ticket") : QStringLiteral("tickets"),
                     french.toString(qulonglong(unconditioned)))
            + cost + QLatin1Char('\r') + QStringLiteral(" Voulez vous continuer ?"),
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

namespace {

// Rows of positions become tickets: position e gives the letter of code 64 + e, in row order.
template <typename RowAt, typename Sink>
std::int64_t walkRows(std::int64_t rows, int perTicket, RowAt &rowAt, Sink &target)
{
    TicketLetters letters {};
    std::int64_t made = 0;
    for (std::int64_t t = 1; t <= rows; ++t) {
        const auto &row = rowAt(t);
        for (int i = 0; i < perTicket; ++i)
            letters[std::size_t(i)] = char(64 + row[std::size_t(i)]);
        ++made;
        if (!target.add(letters, 0))
            break;
    }
    return made;
}

// Stands between the generation walk and a sink and passes on only the tickets that meet the
// conditions. For a batch of tickets that differ in their last letter only, the groups and sum
// of the rest are counted once and the last letters that may end the ticket kept; the sink
// takes the kept ones as one batch. A batch that keeps nothing is not passed on, so the first
// changed letter handed on is the earliest since the last batch the sink took.
template <typename Sink> class ConditionFilter
{
public:
    // `letters` per ticket, drawn from the first `poolLetters` letters.
    ConditionFilter(Sink &sink, const ConditionCheck &check, int letters, int poolLetters, WorkProgress *progress)
        : sink_(sink)
        , check_(check)
        , letters_(letters)
        , pool_(poolLetters >= 32 ? ~0u : (std::uint32_t(1) << poolLetters) - 1)
        , progress_(progress)
    {
        prefix_[0] = check.bases();
    }

    std::int64_t kept() const { return kept_; }

    bool add(const TicketLetters &letters, int firstChanged)
    {
        changed_ = std::min(changed_, firstChanged);
        if (!check_.passes(std::span<const char>(letters.data(), std::size_t(letters_))))
            return passedOver(1);
        ++kept_;
        const int changed = changed_;
        changed_ = kMaxLetters;
        return sink_.add(letters, changed);
    }

    bool add(const TicketLetters &letters, int firstChanged, std::string_view lastLetters)
    {
        changed_ = std::min(changed_, firstChanged);
        // The tallies of the letters before the last, kept from the batch before up to the
        // first letter that changed.
        const int last = std::max(letters_ - 1, 0);
        for (int i = std::min(firstChanged, last); i < last; ++i) {
            prefix_[std::size_t(i + 1)] = prefix_[std::size_t(i)];
            check_.addLetter(prefix_[std::size_t(i + 1)], letters[std::size_t(i)]);
        }
        const std::uint32_t accepted = check_.acceptedLast(prefix_[std::size_t(last)]);
        if ((accepted & pool_) == pool_)
            return forward(letters, lastLetters);
        std::array<char, 32> kept;
        std::size_t n = 0;
        for (const char letter : lastLetters) {
            kept[n] = letter;
            n += (accepted & ConditionCheck::letterBit(letter)) != 0 ? 1 : 0;
        }
        if (n == 0)
            return passedOver(std::int64_t(lastLetters.size()));
        return forward(letters, std::string_view(kept.data(), n)) && passedOver(std::int64_t(lastLetters.size() - n));
    }

private:
    bool forward(const TicketLetters &letters, std::string_view lastLetters)
    {
        kept_ += std::int64_t(lastLetters.size());
        const int changed = changed_;
        changed_ = kMaxLetters;
        return sink_.add(letters, changed, lastLetters);
    }

    // Tickets dropped count towards the next look for a stop request.
    bool passedOver(std::int64_t tickets)
    {
        dropped_ += tickets;
        if (dropped_ < kTicketsBetweenReports)
            return true;
        dropped_ = 0;
        return !progress_ || !progress_->stopRequested();
    }

    Sink &sink_;
    const ConditionCheck &check_;
    int letters_;
    std::uint32_t pool_;
    WorkProgress *progress_;
    std::array<ConditionCheck::Tally, kMaxLetters + 1> prefix_ {};
    int changed_ = 0;
    std::int64_t kept_ = 0;
    std::int64_t dropped_ = 0;
};

template <typename RowAt>
std::int64_t ticketsFromRows(
    std::int64_t rows, int perTicket, const TicketLayout &layout, TicketSink &sink, RowAt rowAt)
{
    sink.begin(layout, std::uint64_t(rows));
    return onConcreteSink(sink, perTicket, [&](auto &target) { return walkRows(rows, perTicket, rowAt, target); });
}

// The same keeping the rows that meet the conditions, `passing` of them.
template <typename RowAt>
std::int64_t conditionedTicketsFromRows(std::int64_t rows, int perTicket, const TicketLayout &layout,
    std::uint64_t passing, const ConditionCheck &check, WorkProgress *progress, TicketSink &sink, RowAt rowAt)
{
    sink.begin(layout, passing);
    return onConcreteSink(sink, perTicket, [&](auto &target) {
        ConditionFilter filter(target, check, perTicket, kMaxHorses, progress);
        walkRows(rows, perTicket, rowAt, filter);
        return filter.kept();
    });
}

} // namespace

std::int64_t generateFromSystem(int systemNumber, TicketSink &sink)
{
    const ReducedSystem &system = reducedSystem(systemNumber);
    const int perTicket = std::clamp(system.horsesPerTicket, 0, kMaxLetters);
    const std::int64_t rows = perTicket > 0 ? std::int64_t(system.table.size()) / perTicket : 0;
    return ticketsFromRows(
        rows, perTicket, systemLayout(systemNumber), sink, [&](std::int64_t t) { return system.row(int(t)); });
}

std::int64_t generateFromSystem(int systemNumber, TicketSink &sink, const Selection &selection,
    const TicketConditions &conditions, WorkProgress *progress)
{
    if (conditions.isEmpty())
        return generateFromSystem(systemNumber, sink);
    const ReducedSystem &system = reducedSystem(systemNumber);
    const int perTicket = std::clamp(system.horsesPerTicket, 0, kMaxLetters);
    const std::int64_t rows = perTicket > 0 ? std::int64_t(system.table.size()) / perTicket : 0;
    const ConditionCheck check(conditions, selection, systemLayout(systemNumber));
    return conditionedTicketsFromRows(rows, perTicket, systemLayout(systemNumber),
        countConditionedTickets(systemNumber, selection, conditions), check, progress, sink,
        [&](std::int64_t t) { return system.row(int(t)); });
}

TicketLayout tableLayout(int perTicket)
{
    return TicketLayout { perTicket, 0, { 1, 2, 3 } };
}

std::int64_t tableRowsToRead(const std::vector<std::vector<int>> &rows, int perTicket)
{
    // A row shorter than the tickets would be read past its end: such a table gives no ticket.
    const bool whole
        = std::all_of(rows.begin(), rows.end(), [&](const auto &row) { return int(row.size()) >= perTicket; });
    return whole ? std::int64_t(rows.size()) : 0;
}

std::int64_t generateFromTable(const std::vector<std::vector<int>> &rows, int perTicket, TicketSink &sink)
{
    perTicket = std::clamp(perTicket, 0, kMaxLetters);
    return ticketsFromRows(tableRowsToRead(rows, perTicket), perTicket, tableLayout(perTicket), sink,
        [&](std::int64_t t) -> const std::vector<int> & { return rows[std::size_t(t - 1)]; });
}

std::int64_t generateFromTable(const std::vector<std::vector<int>> &rows, int perTicket, TicketSink &sink,
    const Selection &selection, const TicketConditions &conditions, WorkProgress *progress)
{
    if (conditions.isEmpty())
        return generateFromTable(rows, perTicket, sink);
    perTicket = std::clamp(perTicket, 0, kMaxLetters);
    const ConditionCheck check(conditions, selection, tableLayout(perTicket));
    return conditionedTicketsFromRows(tableRowsToRead(rows, perTicket), perTicket, tableLayout(perTicket),
        countConditionedTickets(rows, perTicket, selection, conditions), check, progress, sink,
        [&](std::int64_t t) -> const std::vector<int> & { return rows[std::size_t(t - 1)]; });
}

namespace {

// The sinks take the tickets that differ only in their last letter in one call: most tickets
// differ from the one before only there. Each call also says which letter is the first to
// differ from the ticket before.

// Lexicographic walk over the k-subsets of the first m letters.
template <typename Sink> std::int64_t walkCombinations(int m, int k, Sink &sink)
{
    if (k == 0)
        return sink.add(TicketLetters {}, 0), 1;
    std::array<char, kMaxHorses> alphabet {};
    for (int i = 0; i < kMaxHorses; ++i)
        alphabet[std::size_t(i)] = char('A' + i);
    // index[0..k-2] is the prefix; the last letter runs over every letter after index[k-2].
    std::array<int, kMaxLetters> index {};
    TicketLetters letters {};
    for (int i = 0; i < k - 1; ++i) {
        index[std::size_t(i)] = i;
        letters[std::size_t(i)] = char('A' + i);
    }
    std::int64_t made = 0;
    int changed = 0;
    while (true) {
        const int from = k >= 2 ? index[std::size_t(k - 2)] + 1 : 0;
        const std::string_view last(alphabet.data() + from, std::size_t(m - from));
        made += std::int64_t(last.size());
        if (!sink.add(letters, changed, last))
            return made;
        // Advance the rightmost prefix index that leaves room for a last letter.
        int i = k - 2;
        while (i >= 0 && index[std::size_t(i)] == m - k + i)
            --i;
        if (i < 0)
            return made;
        ++index[std::size_t(i)];
        for (int j = i; j < k - 1; ++j) {
            if (j > i)
                index[std::size_t(j)] = index[std::size_t(j - 1)] + 1;
            letters[std::size_t(j)] = char('A' + index[std::size_t(j)]);
        }
        changed = i;
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
        if (k_ == 0) {
            made_ = 1;
            sink_.add(letters_, 0);
            return made_;
        }
        std::array<char, kMaxHorses> all {};
        for (int i = 0; i < m_; ++i)
            all[std::size_t(i)] = char('A' + i);
        walk(0, all.data(), m_);
        return made_;
    }

private:
    // `available`: the n letters not yet on the ticket, in alphabetical order.
    bool walk(int depth, const char *available, int n)
    {
        if (depth == k_ - 1) {
            made_ += n;
            const bool more
                = sink_.add(letters_, std::min(changed_, depth), std::string_view(available, std::size_t(n)));
            changed_ = k_;
            return more;
        }
        // The letters left for the next position: all but available[i]; from one i to the next
        // only one place of that list changes.
        std::array<char, kMaxHorses> rest {};
        std::copy(available + 1, available + n, rest.begin());
        for (int i = 0; i < n; ++i) {
            if (i > 0)
                rest[std::size_t(i - 1)] = available[i - 1];
            letters_[std::size_t(depth)] = available[i];
            changed_ = std::min(changed_, depth);
            if (!walk(depth + 1, rest.data(), n - 1))
                return false;
        }
        return true;
    }

    int m_;
    int k_;
    Sink &sink_;
    TicketLetters letters_ {};
    int changed_ = 0;
    std::int64_t made_ = 0;
};

} // namespace

std::int64_t generateCombinations(const GeneratorSettings &generator, TicketSink &sink, const Selection &selection,
    const TicketConditions &conditions, WorkProgress *progress)
{
    if (conditions.isEmpty())
        return generateCombinations(generator, sink);
    const int pool = generator.horsesToCombine - generator.bases.baseCount;
    const int depth = generator.horsesPerTicket - generator.bases.baseCount;
    sink.begin(generatorLayout(generator), countConditionedTickets(generator, selection, conditions));
    if (pool < 0 || depth < 0 || depth > pool || depth > kMaxLetters || pool > kMaxHorses)
        return 0;
    const ConditionCheck check(conditions, selection, generatorLayout(generator));
    return onConcreteSink(sink, depth, [&](auto &target) {
        using Filter = ConditionFilter<std::remove_reference_t<decltype(target)>>;
        Filter filter(target, check, depth, pool, progress);
        if (generator.reduced)
            walkCombinations(pool, depth, filter);
        else
            ArrangementWalk<Filter>(pool, depth, filter).run();
        return filter.kept();
    });
}

std::int64_t generateCombinations(const GeneratorSettings &generator, TicketSink &sink)
{
    const int pool = generator.horsesToCombine - generator.bases.baseCount;
    const int depth = generator.horsesPerTicket - generator.bases.baseCount;
    sink.begin(generatorLayout(generator), countTickets(generator));
    // A pool shorter than the depth gives no ticket; an empty depth gives the one empty ticket.
    if (pool < 0 || depth < 0 || depth > pool || depth > kMaxLetters || pool > kMaxHorses)
        return 0;
    return onConcreteSink(sink, depth, [&](auto &target) {
        using Sink = std::remove_reference_t<decltype(target)>;
        return generator.reduced ? walkCombinations(pool, depth, target)
                                 : ArrangementWalk<Sink>(pool, depth, target).run();
    });
}

} // namespace mvx
