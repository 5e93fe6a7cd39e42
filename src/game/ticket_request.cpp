#include "game/ticket_request.h"

#include "combi/game_cost.h"
#include "combi/ticket_file.h"
#include "game/budget_note.h"
#include "game/list_making.h"
#include "model/work_progress.h"

namespace mvx {

namespace {

bool showAll(const std::vector<Message> &shown, Platform &platform)
{
    for (const Message &m : shown)
        platform.inform(m.text, m.title);
    return shown.empty();
}

std::shared_ptr<const TicketRecipe> conditionedRequest(const TicketRecipe &recipe)
{
    return recipe.conditions.isEmpty() ? nullptr : std::make_shared<const TicketRecipe>(recipe);
}

// The list in hand is played as the recipe's bet from now on.
void keepBet(GameState &state, const TicketRecipe &recipe)
{
    if (const std::optional<Bet> bet = recipeBet(recipe))
        state.bet = *bet;
}

// Generates into memory as long work and replaces the selection and the ticket list only once
// every ticket is made; the old list goes then. False when stopped.
bool generateIntoList(GameState &state, const TicketRecipe &recipe, std::uint64_t count, Platform &platform)
{
    Selection selection;
    TicketList list;
    WorkProgress progress(count);
    platform.runLongWork(QStringLiteral("Génération de %1 tickets...").arg(count), progress, [&] {
        MemoryTicketSink sink(&progress);
        generateTickets(selection, recipe, sink, &progress);
        list = sink.takeList();
    });
    if (std::uint64_t(list.count()) != count)
        return false;
    state.selection = selection;
    state.tickets = std::move(list);
    keepBet(state, recipe);
    state.systemBases = recipeSystemBases(recipe);
    state.conditionedRequest = conditionedRequest(recipe);
    state.listMaking = listMakingOf(recipe);
    return true;
}

// Writes the tickets to the chosen file as long work; reports a file that cannot be created
// or written. The file is whole or as it was before: a stop or a failure leaves the earlier
// file, the selection and the ticket list untouched.
void generateIntoFile(
    GameState &state, const TicketRecipe &recipe, std::uint64_t count, const QString &fileName, Platform &platform)
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
        generateTickets(selection, recipe, sink, &progress);
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
    keepBet(state, recipe);
    state.conditionedRequest = conditionedRequest(recipe);
    state.listMaking = listMakingOf(recipe);
    platform.fileSaved(fileName);
}

// The common path of every request: checks, the memory check for a list, the count question
// when asked for, the file name for a file, then the generation.
bool runRequest(
    GameState &state, const TicketRecipe &recipe, TicketDestination destination, bool comparison, Platform &platform)
{
    // A reduced system is never confirmed; the generator is, except before a comparison.
    const bool askCount = !comparison && !recipe.fromTable();
    if (!showAll(checkTicketRequest(recipe), platform))
        return false;
    if (!recipeNamesValidSystem(recipe))
        return false;

    const std::uint64_t count = requestTicketCount(recipe);
    // A list that cannot fit is refused before the user is asked to confirm its size.
    if (destination != TicketDestination::File) {
        if (const std::optional<Message> refusal
            = checkTicketListFits(count, recipeLayout(recipe), state.tickets.bytes(), currentMemoryLimits())) {
            platform.inform(refusal->text, refusal->title);
            return false;
        }
    }
    if (askCount) {
        const QString cost = costLineWithBudget(state, recipeBet(recipe), std::int64_t(count), QLatin1Char('\r'));
        const Message question = recipe.conditions.isEmpty()
            ? confirmTicketCountMessage(count, cost)
            : confirmConditionedCountMessage(count, unconditionedTicketCount(recipe), cost);
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
            generateIntoFile(state, recipe, count, fileName, platform);
            return false;
        }
        return generateIntoList(state, recipe, count, platform);
    } catch (const std::bad_alloc &) {
        // Whatever was made is gone with the stack; the earlier list is still in place.
        wait.reset();
        const Message m = messages::notEnoughMemory(count);
        platform.inform(m.text, m.title);
        return false;
    }
}

} // namespace

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

bool prepareTickets(GameState &state, const TicketRecipe &recipe, TicketDestination destination, Platform &platform)
{
    return runRequest(state, recipe, destination, false, platform);
}

bool prepareComparison(GameState &state, const TicketRecipe &recipe, Platform &platform)
{
    return runRequest(state, recipe, TicketDestination::List, true, platform);
}

} // namespace mvx
