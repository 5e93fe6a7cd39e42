// tickets: the ticket text file of a selection, by reduced system or by the generator.

#include "cli/command.h"
#include "cli/condition_options.h"
#include "cli/cost_options.h"
#include "cli/output.h"

#include "combi/catalogue.h"
#include "combi/ticket_file.h"
#include "combi/ticket_recipe.h"

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "tickets",
    "Utilisation : marovellix-cli tickets --system N [OPTION]... CHEVAL...\n"
    "         ou : marovellix-cli tickets --combine N --per-ticket K [OPTION]... CHEVAL...\n",
    "Écrit les tickets d'une sélection au format du fichier de tickets : pour chaque\n"
    "ticket les numéros de ses chevaux, chacun suivi d'une virgule, et CR LF.\n"
    "\n"
    "CHEVAL... sont les cases de sélection 1 à 20 dans l'ordre (un argument vide est une\n"
    "case vide ; après \"--\" chaque argument est une case). Avec --system les bases\n"
    "viennent d'abord, à la manière du système ; avec le générateur les B premiers chevaux\n"
    "sont les bases.\n",
    "Code de sortie : 0 quand les tickets sont écrits, 1 quand la sortie ne peut pas être\n"
    "écrite, 2 pour un argument incorrect ou une sélection refusée (rien n'est écrit).\n",
};

// "2,4" into base positions; false for anything else than one to three positions 1..5.
bool readBasePositions(const QString &text, std::array<int, 3> &positions)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() > 3)
        return false;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const std::optional<int> p = parseNumber(parts[i], 1, 5);
        if (!p)
            return false;
        positions[std::size_t(i)] = *p;
    }
    return true;
}

int run(const QStringList &arguments)
{
    const QCommandLineOption system({ "s", "system" }, "Utilise le système réduit N (1..53, voir « systems »).", "N");
    const QCommandLineOption combine(
        { "n", "combine" }, "Générateur : chevaux à combiner, bases comprises (1..20).", "N");
    const QCommandLineOption perTicket({ "k", "per-ticket" }, "Générateur : chevaux par ticket (1..8).", "K");
    const QCommandLineOption bases({ "b", "bases" }, "Générateur : chevaux de base (0..3, 0 par défaut).", "B");
    const QCommandLineOption basePositions({ "p", "base-positions" },
        "Générateur : positions des bases dans le ticket, séparées par des virgules (1,2,3 "
        "par défaut).",
        "P");
    const QCommandLineOption complete(
        { "c", "complete" }, "Générateur : arrangements (tous les ordres) au lieu de combinaisons.");
    const QCommandLineOption output(
        { "o", "output" }, "Écrit dans FICHIER au lieu de la sortie standard (\"-\").", "FICHIER");
    CostOptions cost;
    ConditionOptions conditions;

    QCommandLineParser parser;
    parser.addOptions({ system, combine, perTicket, bases, basePositions, complete, output });
    cost.addTo(parser);
    conditions.addTo(parser);
    parser.addPositionalArgument(
        QStringLiteral("CHEVAL"), QStringLiteral("Les cases de sélection, dans l'ordre."), QStringLiteral("CHEVAL..."));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;

    TicketRecipe recipe;
    const bool catalogue = parser.isSet(system);
    recipe.source = catalogue ? TicketSource::CatalogueSystem : TicketSource::Generator;
    const bool generator = parser.isSet(combine) || parser.isSet(perTicket) || parser.isSet(bases)
        || parser.isSet(basePositions) || parser.isSet(complete);
    if (catalogue == generator)
        return usageError(kHelp.name,
            QStringLiteral("donnez soit --system, soit les options du générateur (--combine et --per-ticket)"));
    if (catalogue) {
        const std::optional<int> n = parseNumber(parser.value(system), 1, kSystemCount);
        if (!n)
            return usageError(kHelp.name,
                QStringLiteral("numéro de système incorrect %1 (1 à 53)").arg(quoted(parser.value(system))));
        recipe.systemNumber = *n;
    } else {
        if (!parser.isSet(combine) || !parser.isSet(perTicket))
            return usageError(kHelp.name, QStringLiteral("le générateur a besoin de --combine et de --per-ticket"));
        const std::optional<int> n = parseNumber(parser.value(combine), 1, kMaxHorses);
        if (!n)
            return usageError(kHelp.name,
                QStringLiteral("nombre de chevaux à combiner incorrect %1 (1 à 20)")
                    .arg(quoted(parser.value(combine))));
        const std::optional<int> k = parseNumber(parser.value(perTicket), 1, 8);
        if (!k)
            return usageError(kHelp.name,
                QStringLiteral("nombre de chevaux par ticket incorrect %1 (1 à 8)")
                    .arg(quoted(parser.value(perTicket))));
        recipe.generator.horsesToCombine = *n;
        recipe.generator.horsesPerTicket = *k;
        if (parser.isSet(bases)) {
            const std::optional<int> b = parseNumber(parser.value(bases), 0, 3);
            if (!b)
                return usageError(kHelp.name,
                    QStringLiteral("nombre de bases incorrect %1 (0 à 3)").arg(quoted(parser.value(bases))));
            recipe.generator.bases.baseCount = *b;
        }
        if (parser.isSet(basePositions)
            && !readBasePositions(parser.value(basePositions), recipe.generator.bases.positions))
            return usageError(kHelp.name,
                QStringLiteral("positions des bases incorrectes %1 (une à trois de 1 à 5, "
                               "séparées par des virgules)")
                    .arg(quoted(parser.value(basePositions))));
        recipe.generator.reduced = !parser.isSet(complete);
    }
    if (parser.isSet(output) && parser.value(output).isEmpty())
        return usageError(kHelp.name, QStringLiteral("l'option « --output » demande un nom de fichier"));
    const int horsesPerTicket = recipeLayout(recipe).horsesPerTicket;
    if (const std::optional<int> status = cost.read(parser, kHelp.name, horsesPerTicket))
        return *status;
    if (const std::optional<int> status = conditions.read(parser, kHelp.name))
        return *status;
    recipe.conditions = conditions.conditions();

    const QStringList horses = parser.positionalArguments();
    if (horses.size() > kMaxHorses)
        return usageError(kHelp.name, QStringLiteral("20 chevaux au plus"));
    for (qsizetype i = 0; i < horses.size(); ++i)
        recipe.boxes[std::size_t(i)] = horses[i];

    const std::vector<Message> refused = checkTicketRequest(recipe);
    if (!refused.empty()) {
        for (const Message &m : refused)
            printError(m.title + QStringLiteral(" : ") + m.text);
        return kExitRefused;
    }

    Output out(kHelp.name);
    out.setFailureMessage(ticketFileFailure);
    // The sink gathers its lines in large blocks itself.
    if (!out.open(parser.value(output), true))
        return kExitFailure;
    GameState state;
    TicketFileSink sink(state.selection, out.device());
    generateTickets(state.selection, recipe, sink);
    const int status = out.finish(sink.finish());
    if (status == kExitOk && cost.wanted())
        cost.print(sink.linesWritten());
    return status;
}

} // namespace

extern const Command ticketsCommand { "tickets",
    "écrit les tickets d'une sélection, une ligne par ticket (\"7,3,12,\" CR LF)", run };

} // namespace mvx::cli
