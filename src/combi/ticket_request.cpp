#include "combi/ticket_request.h"

#include "combi/catalogue.h"
#include "combi/game_cost.h"
#include "combi/ticket_file.h"
#include "model/work_progress.h"

#include <limits>


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
    if (page.ownTab)
        return tableLayout(page.ownSystem.request.perTicket);
    return page.reducedTab ? systemLayout(page.systemNumber) : generatorLayout(page.generator);
}

// Tables of rows (a catalogue system's, an own system's) are never confirmed.
bool fromTable(const SystemsPage &page)
{
    return page.reducedTab || page.ownTab;
}

std::shared_ptr<const SystemsPage> conditionedRequest(const SystemsPage &page)
{
    return page.conditions.isEmpty() ? nullptr : std::make_shared<const SystemsPage>(page);
}

// Generates into memory as long work and replaces the selection and the ticket list only once
// every ticket is made; the old list goes then. False when stopped.
bool generateIntoList(GameState &state, const SystemsPage &page, std::uint64_t count, Platform &platform)
{
    Selection selection;
    TicketList list;
    WorkProgress progress(count);
    platform.runLongWork(QStringLiteral("Génération de %1 tickets...").arg(count), progress, [&] {
        MemoryTicketSink sink(&progress);
        generateTickets(selection, page, sink, &progress);
        list = sink.takeList();
    });
    if (std::uint64_t(list.count()) != count)
        return false;
    state.selection = selection;
    state.tickets = std::move(list);
    state.systemBases = page.ownTab ? page.ownSystem.request.bases
        : page.reducedTab           ? reducedSystem(page.systemNumber).baseCount
                                    : 0;
    state.conditionedRequest = conditionedRequest(page);
    return true;
}

// Writes the tickets to the chosen file as long work; reports a file that cannot be created
// or written. The file is whole or as it was before: a stop or a failure leaves the earlier
// file, the selection and the ticket list untouched.
void generateIntoFile(GameState &state, const SystemsPage &page, std::uint64_t count, const QString &fileName,
                      Platform &platform)
{
    WholeFile file(fileName);
    const auto report = [&](const QString &reason) {
        const Message m = messages::ticketFileFailed(fileName, reason);
        platform.inform(m.text, m.title);
    };
    if (!file.open())
        return report(file.errorString());
    Selection selection;
    WorkProgress progress(count);
    bool written = false;
    bool stopped = false;
    TicketLayout layout;
    std::int64_t lines = 0;
    platform.runLongWork(QStringLiteral("Écriture de %1 tickets dans le fichier...").arg(count), progress, [&] {
        TicketFileSink sink(selection, file.device(), &progress);
        generateTickets(selection, page, sink, &progress);
        written = sink.finish();
        stopped = sink.stopped();
        layout = sink.layout();
        lines = sink.linesWritten();
    });
    if (stopped)
        return;
    if (!written || !file.commit())
        return report(file.errorString());
    state.selection = selection;
    state.tickets = TicketList::countedOnly(layout, lines);
    state.conditionedRequest = conditionedRequest(page);
    platform.fileSaved(fileName);
}

// The common path of every request: checks, the memory check for a list, the count question
// when asked for, the file name for a file, then the generation.
bool runRequest(GameState &state, const SystemsPage &page, TicketDestination destination, bool comparison,
                Platform &platform)
{
    // A reduced system is never confirmed; the generator is, except before a comparison.
    const bool askCount = !comparison && !fromTable(page);
    if (!showAll(checkTicketRequest(page), platform))
        return false;
    if (!page.ownTab && page.reducedTab && !validSystem(page.systemNumber))
        return false;

    const std::uint64_t count = requestTicketCount(page);
    // A list that cannot fit is refused before the user is asked to confirm its size.
    if (destination != TicketDestination::File) {
        if (const std::optional<Message> refusal
            = checkTicketListFits(count, pageLayout(page), state.tickets.bytes(), currentMemoryLimits())) {
            platform.inform(refusal->text, refusal->title);
            return false;
        }
    }
    if (askCount) {
        const QString cost = frenchCostLine(state.stakes, pageLayout(page).horsesPerTicket, std::int64_t(count));
        const Message question = page.conditions.isEmpty()
            ? confirmTicketCountMessage(count, cost)
            : confirmConditionedCountMessage(count, unconditionedTicketCount(page), cost);
        if (platform.message(question.text, question.title, Platform::Buttons::YesNo, Platform::Icon::Question)
            != Platform::Answer::Yes)
            return false;
    }
    QString fileName;
    if (destination == TicketDestination::File) {
        fileName = platform.saveFileName(ticketFileDialog());
        if (fileName.isEmpty())
            return false;
    }

    std::optional<WaitCursor> wait;
    if (!comparison)
        wait.emplace(platform);
    try {
        if (destination == TicketDestination::File) {
            generateIntoFile(state, page, count, fileName, platform);
            return false;
        }
        return generateIntoList(state, page, count, platform);
    } catch (const std::bad_alloc &) {
        // Whatever was made is gone with the stack; the earlier list is still in place.
        wait.reset();
        const Message m = messages::notEnoughMemory(count);
        platform.inform(m.text, m.title);
        return false;
    }
}

} // namespace

std::vector<Message> checkTicketRequest(const SystemsPage &page)
{
    std::vector<Message> shown;
    if (page.ownTab) {
        shown = checkOwnSystemRequest(page.ownSystem, page.boxes);
    } else {
        shown = checkSelectionNumbers(page.boxes, !page.reducedTab, page.generator);
        // A reduced system places its horses by box, as the generator does: its first boxes must
        // be as many different horses as the system takes.
        const bool placed = page.reducedTab ? !validSystem(page.systemNumber)
                || firstBoxesHoldDifferentHorses(page.boxes, reducedSystem(page.systemNumber).horseCount)
                                            : checkGeneratorSelection(page.boxes, page.generator);
        if (shown.empty() && !placed)
            shown.push_back(messages::wrongGeneratorSelection());
    }
    if (!shown.empty() || page.conditions.isEmpty()
        || (!page.ownTab && page.reducedTab && !validSystem(page.systemNumber)))
        return shown;
    if (const std::optional<Message> wrong = checkConditions(page.conditions, pageLayout(page).horsesPerTicket))
        shown.push_back(*wrong);
    else if (requestTicketCount(page) == 0)
        shown.push_back(messages::noTicketMeetsConditions());
    return shown;
}

int requestHorsesPerTicket(const SystemsPage &page)
{
    if (!page.ownTab && page.reducedTab && !validSystem(page.systemNumber))
        return 0;
    return pageLayout(page).horsesPerTicket;
}

bool guaranteeLost(const GameState &state)
{
    return state.conditionedRequest && (state.conditionedRequest->reducedTab || state.conditionedRequest->ownTab);
}

namespace messages {
QString guaranteeNotKept()
{
    return QStringLiteral("Garantie non assurée avec les conditions");
}
} // namespace messages

std::uint64_t unconditionedTicketCount(SystemsPage page)
{
    page.conditions = {};
    return requestTicketCount(page);
}

std::uint64_t requestTicketCount(const SystemsPage &page)
{
    Selection selection;
    if (page.ownTab) {
        const int perTicket = page.ownSystem.request.perTicket;
        if (page.conditions.isEmpty())
            return std::uint64_t(page.ownSystem.rows.size());
        readSelection(page.boxes, 0, selection);
        return countConditionedTickets(page.ownSystem.rows, perTicket, selection, page.conditions);
    }
    if (page.reducedTab && !validSystem(page.systemNumber))
        return 0;
    if (page.conditions.isEmpty())
        return page.reducedTab ? std::uint64_t(reducedSystem(page.systemNumber).ticketCount)
                               : countTickets(page.generator);
    if (page.reducedTab) {
        readSelection(page.boxes, 0, selection);
        return countConditionedTickets(page.systemNumber, selection, page.conditions);
    }
    readSelection(page.boxes, page.generator.bases.baseCount, selection);
    return countConditionedTickets(page.generator, selection, page.conditions);
}

void generateTickets(Selection &selection, const SystemsPage &page, TicketSink &sink, WorkProgress *progress)
{
    if (page.ownTab) {
        // The bases are positions 1..B of every row: the selection is read as for a catalogue system.
        readSelection(page.boxes, 0, selection);
        generateFromTable(
            page.ownSystem.rows, page.ownSystem.request.perTicket, sink, selection, page.conditions, progress);
    } else if (page.reducedTab) {
        readSelection(page.boxes, 0, selection);
        generateFromSystem(page.systemNumber, sink, selection, page.conditions, progress);
    } else {
        readSelection(page.boxes, page.generator.bases.baseCount, selection);
        generateCombinations(page.generator, sink, selection, page.conditions, progress);
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

std::optional<Message> checkTicketListFits(std::uint64_t count, const TicketLayout &layout, std::uint64_t held,
                                           const MemoryLimits &limits)
{
    const std::uint64_t bytes = count * std::uint64_t(std::max(layout.lettersPerTicket(), 1));
    if (count <= std::uint64_t(std::numeric_limits<std::int32_t>::max()) && bytes <= memoryRoom(limits, held))
        return std::nullopt;
    return Message { QStringLiteral("Votre sélection génère %1 tickets : c'est trop pour les garder en mémoire.\r"
                                    "Utilisez \"Générer un fichier\" pour les écrire dans un fichier texte.")
                         .arg(count),
                     QStringLiteral("Opération impossible") };
}

std::optional<Message> checkTicketListFits(std::uint64_t count, const TicketLayout &layout)
{
    return checkTicketListFits(count, layout, 0, currentMemoryLimits());
}

namespace messages {
Message notEnoughMemory(std::uint64_t count)
{
    return { QStringLiteral("Il n'y a pas assez de mémoire pour générer %1 tickets.").arg(count),
             QStringLiteral("Opération impossible") };
}
} // namespace messages

bool prepareTickets(GameState &state, const SystemsPage &page, TicketDestination destination, Platform &platform)
{
    return runRequest(state, page, destination, false, platform);
}

bool prepareComparison(GameState &state, const SystemsPage &page, Platform &platform)
{
    return runRequest(state, page, TicketDestination::List, true, platform);
}

} // namespace mvx
