#include "game/open_ticket_file.h"

#include "combi/opened_ticket_list.h"
#include "combi/ticket_recipe.h"
#include "model/memory_limits.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <new>
#include <optional>

namespace mvx {

namespace {

QString refusalText(const QString &fileName, const QString &what)
{
    return QStringLiteral("Le fichier « %1 » ne peut pas devenir la liste des tickets :\r%2")
        .arg(QFileInfo(fileName).fileName(), what);
}

} // namespace

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
    // Tickets of a size several bets share are played as the bet the punter names.
    const std::vector<Bet> bets = betsOfSize(survey.horsesPerTicket);
    std::optional<Bet> bet = betForTickets(state.bet, survey.horsesPerTicket);
    if (bets.size() > 1) {
        QStringList names;
        int proposed = 0;
        for (std::size_t i = 0; i < bets.size(); ++i) {
            names.append(betName(bets[i]));
            if (bets[i] == bet)
                proposed = int(i);
        }
        const int chosen
            = platform.chooseItem(QStringLiteral("Les tickets de « %1 » ont %2 chevaux. À quel pari sont-ils joués ?")
                                      .arg(QFileInfo(fileName).fileName())
                                      .arg(survey.horsesPerTicket),
                QStringLiteral("Pari"), names, proposed);
        if (chosen < 0 || chosen >= int(bets.size()))
            return false;
        bet = bets[std::size_t(chosen)];
    }
    if (bet)
        state.bet = *bet;
    state.selection = surveySelection(survey);
    state.tickets = std::move(list);
    state.systemBases = 0;
    state.conditionedRequest.reset();
    state.listMaking = ListMaking { ListMaking::Source::OpenedFile, 0, false };
    return true;
}

} // namespace mvx
