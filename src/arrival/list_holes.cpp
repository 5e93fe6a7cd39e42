#include "arrival/list_holes.h"

#include "model/work_progress.h"

#include <QStringList>

#include <algorithm>

namespace mvx {

std::vector<int> listSelection(const TicketList &tickets, const Selection &selection)
{
    std::vector<int> horses;
    const int bases = std::clamp(tickets.baseCount(), 0, 3);
    for (int b = 1; b <= bases; ++b)
        horses.push_back(selection.baseHorses[std::size_t(b)]);
    int lastLetter = -1;
    if (tickets.holdsLetters()) {
        for (std::int64_t t = 1; t <= tickets.count(); ++t)
            for (char letter : tickets.ticket(t))
                lastLetter = std::max(lastLetter, letter - 'A');
    }
    const int others = std::min(lastLetter + 1, kMaxHorses);
    for (int i = 1; i <= others; ++i)
        horses.push_back(selection.otherHorses[std::size_t(i)]);
    return horses;
}

std::optional<ListHoles> countListHoles(const TicketList &tickets, const Selection &selection, int systemBases,
    WorkProgress *progress, std::optional<HolesPromise> promise)
{
    ListHoles result;
    result.selection = listSelection(tickets, selection);
    result.bases = std::clamp(tickets.baseCount() + std::max(systemBases, 0), 0, int(result.selection.size()));
    result.tickets = tickets.count();
    result.horsesPerTicket = tickets.horsesPerTicket();
    if (!tickets.holdsLetters())
        return result;

    TicketHoles holes(result.selection, result.bases);
    const TicketReader reader(selection, tickets.layout());
    const int size = std::clamp(tickets.horsesPerTicket(), 0, kMaxLetters);
    int horses[kMaxLetters];
    constexpr std::int64_t kTicketsBetweenLooks = 1 << 16;
    for (std::int64_t t = 1; t <= tickets.count(); ++t) {
        const std::string_view ticket = tickets.ticket(t);
        for (int p = 0; p < size; ++p)
            horses[p] = reader.horse(ticket, p + 1);
        holes.add(std::span<const int>(horses, std::size_t(size)));
        if (progress && t % kTicketsBetweenLooks == 0) {
            progress->setDone(std::uint64_t(t));
            if (progress->stopRequested())
                return std::nullopt;
        }
    }
    result.categories = holes.count();
    if (promise)
        result.promise = holes.promiseHoles(promise->among, promise->needed);
    return result;
}

namespace {

// Hands every ticket made to the holes counter, as horse numbers.
class HolesSink final : public TicketSink
{
public:
    HolesSink(TicketHoles &holes, const Selection &selection, WorkProgress *progress)
        : holes_(holes)
        , selection_(selection)
        , progress_(progress)
    { }

    void begin(const TicketLayout &layout, std::uint64_t) override
    {
        reader_.emplace(selection_, layout);
        size_ = std::clamp(layout.horsesPerTicket, 0, kMaxLetters);
    }
    bool add(std::string_view letters) override
    {
        int horses[kMaxLetters];
        for (int p = 0; p < size_; ++p)
            horses[p] = reader_->horse(letters, p + 1);
        holes_.add(std::span<const int>(horses, std::size_t(size_)));
        if (progress_ && ++made_ % kTicketsBetweenReports == 0) {
            progress_->setDone(std::uint64_t(made_));
            stopped_ = progress_->stopRequested();
        }
        return !stopped_;
    }
    bool stopped() const { return stopped_; }

private:
    TicketHoles &holes_;
    const Selection &selection_;
    WorkProgress *progress_;
    std::optional<TicketReader> reader_;
    int size_ = 0;
    std::int64_t made_ = 0;
    bool stopped_ = false;
};

} // namespace

std::optional<std::vector<CategoryHoles>> countUnconditionedHoles(
    const TicketRecipe &request, const ListHoles &conditioned, WorkProgress *progress)
{
    TicketRecipe recipe = request;
    recipe.conditions = {};
    TicketHoles holes(conditioned.selection, conditioned.bases);
    Selection selection;
    HolesSink sink(holes, selection, progress);
    generateTickets(selection, recipe, sink, progress);
    if (sink.stopped() || (progress && progress->stopRequested()))
        return std::nullopt;
    return holes.count();
}

QString arrivalText(const std::vector<int> &horses)
{
    QStringList places;
    for (int horse : horses)
        places.append(QString::number(horse));
    return places.join(QLatin1Char('-'));
}

} // namespace mvx
