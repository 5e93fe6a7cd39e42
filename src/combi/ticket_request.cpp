#include "combi/ticket_request.h"

#include "combi/catalogue.h"
#include "combi/ticket_file.h"

#include <QFile>

#include <limits>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace mvx {

namespace {

bool showAll(const std::vector<Message> &shown, Platform &platform)
{
    for (const Message &m : shown)
        platform.inform(m.text, m.title);
    return shown.empty();
}

bool validSystem(int number)
{
    return number >= 1 && number <= kSystemCount && !reducedSystem(number).table.empty();
}

TicketLayout pageLayout(const SystemsPage &page)
{
    return page.reducedTab ? systemLayout(page.systemNumber) : generatorLayout(page.generator);
}

// Generates into memory and replaces the ticket list only once every ticket is made.
void generateIntoList(GameState &state, const SystemsPage &page)
{
    MemoryTicketSink sink;
    generateTickets(state, page, sink);
    state.tickets = sink.takeList();
}

// Writes the tickets to the chosen file; reports a file that cannot be created or written.
void generateIntoFile(GameState &state, const SystemsPage &page, const QString &fileName, Platform &platform)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        const Message m = messages::ticketFileFailed(fileName, file.errorString());
        platform.inform(m.text, m.title);
        return;
    }
    TicketFileSink sink(state.selection, file);
    generateTickets(state, page, sink);
    const bool written = sink.finish();
    const QString reason = file.errorString();
    file.close();
    state.tickets = TicketList::countedOnly(sink.layout(), sink.linesWritten());
    if (!written) {
        const Message m = messages::ticketFileFailed(fileName, reason);
        platform.inform(m.text, m.title);
    }
}

// The common path of every request: checks, the count question when asked for, the file
// name for a file, the memory check for a list, then the generation.
bool runRequest(GameState &state, const SystemsPage &page, TicketDestination destination, bool comparison,
                Platform &platform)
{
    // A reduced system is never confirmed; the generator is, except before a comparison.
    const bool askCount = !comparison && !page.reducedTab;
    if (!showAll(checkTicketRequest(page), platform))
        return false;
    if (page.reducedTab && !validSystem(page.systemNumber))
        return false;

    const std::uint64_t count = page.reducedTab ? std::uint64_t(reducedSystem(page.systemNumber).ticketCount)
                                                : countTickets(page.generator);
    if (askCount) {
        const Message question = confirmTicketCountMessage(count);
        if (platform.message(question.text, question.title, Platform::Buttons::YesNo, Platform::Icon::Question)
            != Platform::Answer::Yes)
            return false;
    }
    QString fileName;
    if (destination == TicketDestination::File) {
        fileName = platform.saveFileName(ticketFileDialog());
        if (fileName.isEmpty())
            return false;
    } else if (const std::optional<Message> refusal = checkTicketListFits(count, pageLayout(page))) {
        platform.inform(refusal->text, refusal->title);
        return false;
    }

    std::optional<WaitCursor> wait;
    if (!comparison)
        wait.emplace(platform);
    if (destination == TicketDestination::File) {
        generateIntoFile(state, page, fileName, platform);
        return false;
    }
    generateIntoList(state, page);
    return true;
}

} // namespace

std::vector<Message> checkTicketRequest(const SystemsPage &page)
{
    std::vector<Message> shown = checkSelectionNumbers(page.boxes, !page.reducedTab, page.generator);
    if (shown.empty() && !page.reducedTab && !checkGeneratorSelection(page.boxes, page.generator))
        shown.push_back(messages::wrongGeneratorSelection());
    return shown;
}

void generateTickets(GameState &state, const SystemsPage &page, TicketSink &sink)
{
    if (page.reducedTab) {
        readSelection(page.boxes, 0, state.selection);
        generateFromSystem(page.systemNumber, sink);
    } else {
        readSelection(page.boxes, page.generator.bases.baseCount, state.selection);
        generateCombinations(page.generator, sink);
    }
}

Platform::FileDialog ticketFileDialog()
{
    Platform::FileDialog dialog;
    dialog.title = QStringLiteral("Indiquer le nom du fichier à enregistrer");
    dialog.filter = QStringLiteral("Fichier texte (*.txt)|*.txt");
    dialog.defaultExtension = QStringLiteral("txt");
    dialog.pathMustExist = true;
    dialog.confirmOverwrite = false;
    return dialog;
}

std::uint64_t ticketMemoryBudget()
{
#if defined(Q_OS_UNIX) && defined(_SC_PHYS_PAGES)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return std::uint64_t(pages) * std::uint64_t(pageSize) / 2;
#endif
    return std::uint64_t(2) << 30;
}

std::optional<Message> checkTicketListFits(std::uint64_t count, const TicketLayout &layout)
{
    const std::uint64_t bytes = count * std::uint64_t(std::max(layout.lettersPerTicket(), 1));
    if (count <= std::uint64_t(std::numeric_limits<std::int32_t>::max()) && bytes <= ticketMemoryBudget())
        return std::nullopt;
    return Message { QStringLiteral("Votre sélection génère %1 tickets : c'est trop pour les garder en mémoire.\r"
                                    "Utilisez \"Générer un fichier\" pour les écrire dans un fichier texte.")
                         .arg(count),
                     QStringLiteral("Opération impossible") };
}

bool prepareTickets(GameState &state, const SystemsPage &page, TicketDestination destination, Platform &platform)
{
    return runRequest(state, page, destination, false, platform);
}

bool prepareComparison(GameState &state, const SystemsPage &page, Platform &platform)
{
    return runRequest(state, page, TicketDestination::List, true, platform);
}

} // namespace mvx
