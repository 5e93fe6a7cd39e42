#include "combi/opened_ticket_list.h"

#include "combi/ticket_text.h"
#include "model/memory_limits.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <new>
#include <optional>

namespace mvx {

namespace {

constexpr std::int64_t kTicketsBetweenLooks = 1 << 14;

// Tells the progress how far the reading got; true when it must stop.
bool lookAtProgress(QIODevice &in, WorkProgress *progress, std::uint64_t bytesBefore)
{
    if (!progress)
        return false;
    progress->setDone(bytesBefore + std::uint64_t(std::max<qint64>(in.pos(), 0)));
    return progress->stopRequested();
}

} // namespace

QString surveyTicketFile(
    QIODevice &in, TicketFileSurvey &survey, WorkProgress *progress, std::uint64_t bytesBefore, bool *stopped)
{
    survey = TicketFileSurvey {};
    std::array<bool, kMaxHorses + 1> seen {};
    bool stop = false;
    const TicketTextRead read = readTicketText(in, kListedTicketSizes, [&](std::span<const int> horses) {
        // The reader hands over horses 1..20 only, none twice in a ticket.
        for (int horse : horses) {
            if (horse >= 1 && horse <= kMaxHorses && !seen[std::size_t(horse)]) {
                seen[std::size_t(horse)] = true;
                survey.horses.push_back(horse);
            }
        }
        ++survey.count;
        stop = survey.count % kTicketsBetweenLooks == 0 && lookAtProgress(in, progress, bytesBefore);
        return !stop;
    });
    survey.horsesPerTicket = read.horsesPerTicket;
    if (stopped)
        *stopped = stop;
    if (!read.ok())
        return read.error;
    if (!stop && survey.count == 0)
        return QStringLiteral("aucun ticket");
    return {};
}

QString readSurveyedTickets(QIODevice &in, const TicketFileSurvey &survey, TicketList &list, WorkProgress *progress,
    std::uint64_t bytesBefore, bool *stopped)
{
    std::array<int, kMaxHorses + 1> letterOf;
    letterOf.fill(-1);
    for (std::size_t i = 0; i < survey.horses.size(); ++i)
        letterOf[std::size_t(survey.horses[i])] = int(i);
    list = TicketList::stored(TicketLayout { survey.horsesPerTicket, 0, { 1, 2, 3 } }, survey.count);
    bool stop = false;
    bool changed = false;
    std::int64_t count = 0;
    const TicketSizes size { survey.horsesPerTicket, survey.horsesPerTicket };
    const TicketTextRead read = readTicketText(in, size, [&](std::span<const int> horses) {
        char letters[kLargestOpenedTicket];
        changed = ++count > survey.count || horses.size() > std::size(letters);
        for (std::size_t p = 0; p < horses.size() && !changed; ++p) {
            const int letter = horses[p] >= 1 && horses[p] <= kMaxHorses ? letterOf[std::size_t(horses[p])] : -1;
            changed = letter < 0;
            letters[p] = char('A' + letter);
        }
        if (changed)
            return false;
        list.append(std::string_view(letters, horses.size()));
        stop = count % kTicketsBetweenLooks == 0 && lookAtProgress(in, progress, bytesBefore);
        return !stop;
    });
    if (stopped)
        *stopped = stop;
    if (!read.ok())
        return read.error;
    if (changed || (!stop && count != survey.count))
        return QStringLiteral("le fichier a changé pendant la lecture");
    return {};
}

Selection surveySelection(const TicketFileSurvey &survey)
{
    Selection selection;
    for (std::size_t i = 0; i < survey.horses.size() && i + 1 < selection.otherHorses.size(); ++i)
        selection.otherHorses[i + 1] = survey.horses[i];
    return selection;
}

} // namespace mvx
