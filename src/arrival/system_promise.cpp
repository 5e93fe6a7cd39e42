#include "arrival/system_promise.h"

#include "combi/catalogue.h"
#include "combi/generation.h"
#include "combi/selection.h"

#include <QRegularExpression>

#include <algorithm>

namespace mvx {

SystemPromise systemPromise(const ReducedSystem &system)
{
    const QString description = system.description();
    SystemPromise promise;
    promise.text = description.mid(description.indexOf(QLatin1String("minimum"))).trimmed();
    promise.bases = description.contains(QLatin1String("2 bases")) ? 2
        : description.contains(QLatin1String("1 base"))            ? 1
                                                                   : 0;
    // "si les 3 premiers", "si 4 premiers", "dans les 4 premiers".
    promise.places = QRegularExpression(QStringLiteral("(\\d) premiers")).match(description).captured(1).toInt();
    const int size = system.horsesPerTicket;
    if (description.contains(QLatin1String("desordre")))
        promise.category = size == 5 ? WinCategory::QuinteAnyOrder
            : size == 4              ? WinCategory::QuarteAnyOrder
                                     : WinCategory::TierceAnyOrder;
    else if (description.contains(QLatin1String("bonus4")) || description.contains(QLatin1String("bonus 4")))
        promise.category = WinCategory::Bonus4;
    else
        promise.category = size == 5 ? WinCategory::Bonus3 : WinCategory::QuarteBonus;
    return promise;
}

namespace {

// A category wins at least as much as the promised one: the same bet, a smaller number.
bool keeps(WinCategory won, WinCategory promised)
{
    return won != WinCategory::None && int(won) <= int(promised);
}

} // namespace

std::vector<std::vector<int>> systemTicketsOnFirstHorses(int number)
{
    const ReducedSystem &system = reducedSystem(number);
    SelectionBoxes boxes;
    for (int i = 0; i < system.horseCount; ++i)
        boxes[std::size_t(i)] = QString::number(i + 1);
    Selection selection;
    readSelection(boxes, 0, selection);
    MemoryTicketSink sink;
    generateFromSystem(number, sink);
    const TicketList list = sink.takeList();
    const TicketReader reader(selection, list.layout());
    std::vector<std::vector<int>> tickets;
    for (std::int64_t t = 1; t <= list.count(); ++t) {
        std::vector<int> horses;
        for (int p = 1; p <= list.horsesPerTicket(); ++p)
            horses.push_back(reader.horse(list.ticket(t), p));
        tickets.push_back(std::move(horses));
    }
    return tickets;
}

PromiseCheck checkSystemPromise(int number)
{
    const ReducedSystem &system = reducedSystem(number);
    return checkPromise(systemTicketsOnFirstHorses(number), system.horseCount, systemPromise(system));
}

PromiseCheck checkPromise(const std::vector<std::vector<int>> &tickets, int horseCount, const SystemPromise &promise)
{
    PromiseCheck check;
    const int others = horseCount - promise.bases;
    const int chosen = promise.places - promise.bases;
    if (promise.places < 1 || promise.places > kArrivalPlaces || chosen < 0 || chosen > others)
        return check;
    // The later places: horses on no ticket, or no horse when the selection takes all twenty.
    std::vector<int> outside;
    for (int h = horseCount + 1; h <= kMaxHorses && int(outside.size()) < kArrivalPlaces; ++h)
        outside.push_back(h);

    std::size_t lastWinner = 0;
    std::vector<bool> pick(std::size_t(others), false);
    std::fill(pick.begin(), pick.begin() + chosen, true);
    // Every choice of the other horses (in lexicographic order of the choice), every order.
    do {
        std::vector<int> head;
        for (int b = 1; b <= promise.bases; ++b)
            head.push_back(b);
        for (int i = 0; i < others; ++i)
            if (pick[std::size_t(i)])
                head.push_back(promise.bases + 1 + i);
        do {
            Arrival arrival {};
            for (std::size_t p = 0; p < head.size(); ++p)
                arrival[p + 1] = head[p];
            for (std::size_t p = head.size(), o = 0; p < std::size_t(kArrivalPlaces) && o < outside.size(); ++p, ++o)
                arrival[p + 1] = outside[o];
            ++check.arrivals;
            // Neighbouring arrivals are mostly won by the same ticket: it is tried first.
            bool kept = false;
            for (std::size_t i = 0; i < tickets.size() && !kept; ++i) {
                const std::size_t t = (lastWinner + i) % tickets.size();
                if (keeps(ticketCategory(tickets[t], arrival), promise.category)) {
                    lastWinner = t;
                    kept = true;
                }
            }
            if (!kept) {
                check.missed = std::vector<int>(arrival.begin() + 1, arrival.end());
                return check;
            }
        } while (std::next_permutation(head.begin(), head.end()));
    } while (std::prev_permutation(pick.begin(), pick.end()));
    return check;
}

} // namespace mvx
