#include "combi/opened_ticket_list.h"

#include "combi/ticket_request.h"
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

QString refusalText(const QString &fileName, const QString &what)
{
    return QStringLiteral("Le fichier « %1 » ne peut pas devenir la liste des tickets :\r%2")
        .arg(QFileInfo(fileName).fileName(), what);
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

Platform::FileDialog openTicketFileDialog()
{
    Platform::FileDialog dialog;
    dialog.title = QStringLiteral("Ouvrir un fichier de tickets");
    dialog.filter = QStringLiteral("Fichier texte (*.txt)|*.txt|Tous les fichiers (*)|*");
    dialog.pathMustExist = true;
    dialog.fileMustExist = true;
    return dialog;
}

bool openTicketFile(GameState &state, Platform &platform)
{
    const QString fileName = platform.openFileName(openTicketFileDialog());
    if (fileName.isEmpty())
        return false;
    return openTicketFile(state, fileName, platform);
}

bool openTicketFile(GameState &state, const QString &fileName, Platform &platform)
{
    const QString title = QStringLiteral("Opération impossible");
    QFile file(fileName);
    // A folder, a pipe or a device is not a ticket file: reading a pipe could wait for ever.
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly)) {
        platform.inform(QStringLiteral("Le fichier « %1 » ne peut pas être ouvert.").arg(fileName), title);
        return false;
    }
    const std::uint64_t size = std::uint64_t(std::max<qint64>(file.size(), 0));
    WorkProgress progress(2 * size);
    TicketFileSurvey survey;
    TicketList list;
    QString refusal;
    std::optional<Message> tooBig;
    bool stopped = false;
    std::optional<WaitCursor> wait(std::in_place, platform);
    try {
        platform.runLongWork(
            QStringLiteral("Lecture du fichier de tickets « %1 »...").arg(QFileInfo(fileName).fileName()), progress,
            [&] {
                stopped = progress.stopRequested();
                if (stopped)
                    return;
                refusal = surveyTicketFile(file, survey, &progress, 0, &stopped);
                if (!refusal.isEmpty() || stopped)
                    return;
                const TicketLayout layout { survey.horsesPerTicket, 0, { 1, 2, 3 } };
                tooBig = checkTicketListFits(
                    std::uint64_t(survey.count), layout, state.tickets.bytes(), currentMemoryLimits());
                if (tooBig)
                    return;
                stopped = progress.stopRequested();
                if (stopped)
                    return;
                if (!file.seek(0)) {
                    refusal = QStringLiteral("lecture impossible : %1").arg(file.errorString());
                    return;
                }
                refusal = readSurveyedTickets(file, survey, list, &progress, size, &stopped);
            });
    } catch (const std::bad_alloc &) {
        wait.reset();
        const Message m = messages::notEnoughMemory(std::uint64_t(survey.count));
        platform.inform(m.text, m.title);
        return false;
    }
    wait.reset();
    if (stopped)
        return false;
    if (!refusal.isEmpty()) {
        platform.inform(refusalText(fileName, refusal), title);
        return false;
    }
    if (tooBig) {
        platform.inform(QStringLiteral("Le fichier « %1 » contient %2 tickets : c'est trop pour les garder en mémoire.")
                            .arg(QFileInfo(fileName).fileName())
                            .arg(survey.count),
            title);
        return false;
    }
    state.selection = surveySelection(survey);
    state.tickets = std::move(list);
    state.systemBases = 0;
    state.conditionedRequest.reset();
    return true;
}

} // namespace mvx
