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

QString where(std::int64_t ticket, const QString &what)
{
    return QStringLiteral("ticket %1 : %2").arg(ticket).arg(what);
}

// Checks one ticket against the rules every opened list keeps; empty when it passes. `letterOf`
// gives each horse already seen its letter index (-1 for none) and learns the new ones while
// `learn` is set.
QString checkTicket(std::span<const int> horses, std::int64_t number, TicketFileSurvey &survey,
    std::array<int, kMaxHorses + 1> &letterOf, bool learn)
{
    const int size = int(horses.size());
    if (survey.horsesPerTicket == 0) {
        if (size > kLargestOpenedTicket)
            return where(number, QStringLiteral("%1 chevaux (%2 au plus)").arg(size).arg(kLargestOpenedTicket));
        survey.horsesPerTicket = size;
    } else if (size != survey.horsesPerTicket) {
        return where(number,
            QStringLiteral("%1 chevaux au lieu de %2 comme le premier ticket").arg(size).arg(survey.horsesPerTicket));
    }
    std::uint32_t onTicket = 0;
    for (int horse : horses) {
        if (horse < 1 || horse > kMaxHorses)
            return where(number, QStringLiteral("cheval %1 (les numéros vont de 1 à %2)").arg(horse).arg(kMaxHorses));
        const std::uint32_t bit = std::uint32_t(1) << horse;
        if (onTicket & bit)
            return where(number, QStringLiteral("le cheval %1 y figure deux fois").arg(horse));
        onTicket |= bit;
        if (letterOf[std::size_t(horse)] >= 0)
            continue;
        if (!learn)
            return where(number, QStringLiteral("le fichier a changé pendant la lecture"));
        letterOf[std::size_t(horse)] = int(survey.horses.size());
        survey.horses.push_back(horse);
    }
    return {};
}

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
    std::array<int, kMaxHorses + 1> letterOf;
    letterOf.fill(-1);
    QString refusal;
    bool stop = false;
    const QString readError = readTicketText(in, [&](std::span<const int> horses) {
        refusal = checkTicket(horses, survey.count + 1, survey, letterOf, true);
        if (!refusal.isEmpty())
            return false;
        ++survey.count;
        stop = survey.count % kTicketsBetweenLooks == 0 && lookAtProgress(in, progress, bytesBefore);
        return !stop;
    });
    if (stopped)
        *stopped = stop;
    if (!readError.isEmpty())
        return readError;
    if (!refusal.isEmpty() || stop)
        return refusal;
    if (survey.count == 0)
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
    TicketFileSurvey again;
    again.horsesPerTicket = survey.horsesPerTicket;
    again.horses = survey.horses;
    list = TicketList::stored(TicketLayout { survey.horsesPerTicket, 0, { 1, 2, 3 } }, survey.count);
    QString refusal;
    bool stop = false;
    std::int64_t read = 0;
    const QString readError = readTicketText(in, [&](std::span<const int> horses) {
        ++read;
        refusal = read > survey.count ? where(read, QStringLiteral("le fichier a changé pendant la lecture"))
                                      : checkTicket(horses, read, again, letterOf, false);
        if (!refusal.isEmpty())
            return false;
        char letters[kLargestOpenedTicket];
        for (std::size_t p = 0; p < horses.size(); ++p)
            letters[p] = char('A' + letterOf[std::size_t(horses[p])]);
        list.append(std::string_view(letters, horses.size()));
        stop = read % kTicketsBetweenLooks == 0 && lookAtProgress(in, progress, bytesBefore);
        return !stop;
    });
    if (stopped)
        *stopped = stop;
    if (!readError.isEmpty())
        return readError;
    if (!refusal.isEmpty() || stop)
        return refusal;
    if (read != survey.count)
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
    return true;
}

} // namespace mvx
