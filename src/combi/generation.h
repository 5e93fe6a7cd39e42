#pragma once

#include "combi/selection.h"
#include "model/ticket_list.h"

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

namespace mvx {

class WorkProgress;
struct TicketConditions;

// Receives the tickets of a generation one by one, in generation order.
class TicketSink
{
public:
    virtual ~TicketSink() = default;
    virtual void begin(const TicketLayout &layout, std::uint64_t expectedCount) = 0;
    // Returns false to stop the generation (a write that failed, a stop asked for).
    virtual bool add(std::string_view letters) = 0;
};

// How often a sink reports how far it got and looks for a stop request: often enough for a
// progress bar and a prompt "Annuler", rarely enough to cost nothing.
constexpr std::int64_t kTicketsBetweenReports = 1 << 16;

// Keeps the tickets in a TicketList.
class MemoryTicketSink final : public TicketSink
{
public:
    // `progress`, when given, hears the tickets made and may stop the generation.
    explicit MemoryTicketSink(WorkProgress *progress = nullptr)
        : progress_(progress)
    { }

    void begin(const TicketLayout &layout, std::uint64_t expectedCount) override;
    bool add(std::string_view letters) override
    {
        list_.append(letters);
        return reported();
    }
    // The generator's calls: the letters padded to kMaxLetters and the first changed since the
    // previous ticket (unused here); or one ticket per letter of `lastLetters` standing in the
    // last letter.
    bool add(const TicketLetters &letters, int)
    {
        list_.append(letters);
        return reported();
    }
    bool add(const TicketLetters &letters, int, std::string_view lastLetters)
    {
        const std::int64_t before = list_.count();
        list_.append(letters, lastLetters);
        // Report when the count passes a multiple of kTicketsBetweenReports.
        return (before ^ list_.count()) < kTicketsBetweenReports || !progress_ || report();
    }
    TicketList takeList() { return std::move(list_); }

private:
    bool reported() { return (list_.count() & (kTicketsBetweenReports - 1)) != 0 || !progress_ || report(); }
    bool report();

    TicketList list_;
    WorkProgress *progress_ = nullptr;
};

// The number of tickets the generator settings give: C(n - B, k - B), times (k - B)! for
// arrangements. Exact in 64 bits for every setting the boxes offer (n <= 20, k <= 8).
std::uint64_t countTickets(const GeneratorSettings &generator);

// The question asked before a generator run, with the count in it, and the cost line when
// there is one.
Message confirmTicketCountMessage(std::uint64_t count, const QString &costLine = QString());
// The same for a request with conditions: the count kept and the count without them, as
// "1 812 tickets au lieu de 30 240" (French grouping), then the cost line of the kept tickets.
Message confirmConditionedCountMessage(std::uint64_t count, std::uint64_t unconditioned, const QString &costLine);

// The tickets of reduced system s over the selection already read (no bases): one ticket per
// table row, in table order. Returns the number of tickets passed to the sink.
std::int64_t generateFromSystem(int systemNumber, TicketSink &sink);

// The tickets of a table of the punter's own, read as a reduced system's: one ticket per row
// of `perTicket` positions in the selection, in table order.
std::int64_t generateFromTable(const std::vector<std::vector<int>> &rows, int perTicket, TicketSink &sink);
// The same keeping only the tickets that meet `conditions`, as generateFromSystem does.
std::int64_t generateFromTable(const std::vector<std::vector<int>> &rows, int perTicket, TicketSink &sink,
    const Selection &selection, const TicketConditions &conditions, WorkProgress *progress = nullptr);
// The rows of a table that make tickets: all of them, or none when one is shorter than the tickets.
std::int64_t tableRowsToRead(const std::vector<std::vector<int>> &rows, int perTicket);

// The generator's tickets: the first n - B other horses combined (or arranged) k - B at a
// time, in lexicographic order of their letters. Returns the number passed to the sink.
std::int64_t generateCombinations(const GeneratorSettings &generator, TicketSink &sink);

// The same keeping only the tickets that meet `conditions`, their horses read through
// `selection`; the sink hears the count of those. `progress`, when given, is asked for a stop
// request now and then while tickets are passed over, as the sinks ask it while they take them.
std::int64_t generateFromSystem(int systemNumber, TicketSink &sink, const Selection &selection,
    const TicketConditions &conditions, WorkProgress *progress = nullptr);
std::int64_t generateCombinations(const GeneratorSettings &generator, TicketSink &sink, const Selection &selection,
    const TicketConditions &conditions, WorkProgress *progress = nullptr);

// The layout the tickets of a system or of the generator settings will have.
TicketLayout systemLayout(int systemNumber);
TicketLayout tableLayout(int perTicket);
TicketLayout generatorLayout(const GeneratorSettings &generator);

} // namespace mvx
