// tickets: the ticket text file of a selection, by reduced system or by the generator.

#include "cli/bet_option.h"
#include "cli/command.h"
#include "cli/condition_options.h"
#include "cli/cost_options.h"
#include "cli/output.h"

#include "combi/bet_formulas.h"
#include "combi/catalogue.h"
#include "combi/ticket_file.h"
#include "combi/ticket_recipe.h"

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "tickets",
    "Utilisation : marovellix-cli tickets --system N [OPTION]... CHEVAL...\n"
    "         ou : marovellix-cli tickets --combine N --per-ticket K [OPTION]... CHEVAL...\n"
    "         ou : marovellix-cli tickets --bet PARI --formula FORMULE [OPTION]... CHEVAL...\n",
    "Écrit les tickets d'une sélection au format du fichier de tickets : pour chaque\n"
    "ticket les numéros de ses chevaux, chacun suivi d'une virgule, et CR LF.\n"
    "\n"
    "CHEVAL... sont les cases de sélection 1 à 20 dans l'ordre (un argument vide est une\n"
    "case vide ; après \"--\" chaque argument est une case). Avec --system les bases\n"
    "viennent d'abord, à la manière du système ; avec le générateur les B premiers chevaux\n"
    "sont les bases.\n"
    "\n"
    "Avec --bet, les tickets sont ceux du pari : un pari qui compte l'ordre est joué dans\n"
    "tous les ordres, un pari sans ordre en combinaisons, et des tickets d'une autre taille\n"
    "sont refusés. Avec --formula, la formule du pari : « combinee » (tous les tickets du\n"
    "pari avec les chevaux donnés), « champ-partiel » (les B premiers chevaux, --bases B,\n"
    "avec les autres chevaux donnés) ou « champ-total » (les chevaux donnés sont les bases,\n"
    "avec tous les autres partants 1 à N de --runners N).\n",
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
    const QCommandLineOption formulaOption(
        "formula", "La formule du pari (avec --bet) : combinee, champ-partiel ou champ-total.", "FORMULE");
    const QCommandLineOption runners("runners", "Champ total : le nombre de partants de la course (1..20).", "N");
    CostOptions cost;
    ConditionOptions conditions;
    BetOption bet;

    QCommandLineParser parser;
    parser.addOptions({ system, combine, perTicket, bases, basePositions, complete, output, formulaOption, runners });
    bet.addTo(parser);
    cost.addTo(parser);
    conditions.addTo(parser);
    parser.addPositionalArgument(
        QStringLiteral("CHEVAL"), QStringLiteral("Les cases de sélection, dans l'ordre."), QStringLiteral("CHEVAL..."));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;

    if (const std::optional<int> status = bet.read(parser, kHelp.name))
        return *status;
    TicketRecipe recipe;
    recipe.bet = bet.named();
    const QStringList horses = parser.positionalArguments();
    if (horses.size() > kMaxHorses)
        return usageError(kHelp.name, QStringLiteral("20 chevaux au plus"));
    for (qsizetype i = 0; i < horses.size(); ++i)
        recipe.boxes[std::size_t(i)] = horses[i];
    if (parser.isSet(formulaOption)) {
        if (!bet.named())
            return usageError(kHelp.name, QStringLiteral("une formule se joue avec un pari (--bet)"));
        if (parser.isSet(system) || parser.isSet(combine) || parser.isSet(perTicket) || parser.isSet(complete))
            return usageError(kHelp.name,
                QStringLiteral("--formula fait elle-même les tickets : sans --system, --combine, --per-ticket ni "
                               "--complete"));
        BetFormula formula;
        formula.bet = *bet.named();
        const QString name = parser.value(formulaOption);
        if (name == QLatin1String("combinee"))
            formula.kind = BetFormula::Kind::Combined;
        else if (name == QLatin1String("champ-partiel"))
            formula.kind = BetFormula::Kind::PartialField;
        else if (name == QLatin1String("champ-total"))
            formula.kind = BetFormula::Kind::TotalField;
        else
            return usageError(kHelp.name,
                QStringLiteral("formule inconnue %1 (combinee, champ-partiel ou champ-total)").arg(quoted(name)));
        if (parser.isSet(runners) && formula.kind != BetFormula::Kind::TotalField)
            return usageError(kHelp.name, QStringLiteral("--runners ne sert qu'au champ total"));
        if (parser.isSet(bases) && formula.kind != BetFormula::Kind::PartialField)
            return usageError(kHelp.name,
                QStringLiteral("--bases ne sert qu'au champ partiel (au champ total, les chevaux donnés sont les "
                               "bases)"));
        const int given = int(horses.size());
        if (formula.kind == BetFormula::Kind::TotalField) {
            const std::optional<int> n = parseNumber(parser.value(runners), 1, kMaxHorses);
            if (!n)
                return usageError(kHelp.name, QStringLiteral("un champ total a besoin de --runners N (1 à 20)"));
            std::vector<int> baseHorses;
            for (const QString &base : horses) {
                const std::optional<int> horse = parseNumber(base, 1, *n);
                if (!horse)
                    return usageError(kHelp.name,
                        QStringLiteral("base incorrecte %1 : les bases d'un champ total sont des partants (1 à %2)")
                            .arg(quoted(base))
                            .arg(*n));
                baseHorses.push_back(*horse);
            }
            formula.runners = *n;
            formula.bases = given;
            // The associates are every other runner, after the bases.
            int box = given;
            for (int h = 1; h <= *n && box < kMaxHorses; ++h)
                if (std::find(baseHorses.begin(), baseHorses.end(), h) == baseHorses.end())
                    recipe.boxes[std::size_t(box++)] = QString::number(h);
        } else if (formula.kind == BetFormula::Kind::PartialField) {
            const std::optional<int> b = parseNumber(parser.value(bases), 1, 3);
            if (!b)
                return usageError(kHelp.name, QStringLiteral("un champ partiel a besoin de --bases B (1 à 3)"));
            formula.bases = *b;
            formula.chosen = given - *b;
        } else {
            formula.chosen = given;
        }
        if (const std::optional<Message> refused = checkBetFormula(formula))
            return refuseInput(kHelp.name, refused->text);
        recipe.source = TicketSource::Generator;
        recipe.generator = formulaGenerator(formula);
        if (parser.isSet(basePositions)
            && !readBasePositions(parser.value(basePositions), recipe.generator.bases.positions))
            return usageError(kHelp.name,
                QStringLiteral("positions des bases incorrectes %1").arg(quoted(parser.value(basePositions))));
    }
    if (parser.isSet(runners) && !parser.isSet(formulaOption))
        return usageError(kHelp.name, QStringLiteral("--runners ne sert qu'au champ total (--formula champ-total)"));
    const bool catalogue = parser.isSet(system);
    if (!parser.isSet(formulaOption))
        recipe.source = catalogue ? TicketSource::CatalogueSystem : TicketSource::Generator;
    const bool generator = parser.isSet(combine) || parser.isSet(perTicket) || parser.isSet(bases)
        || parser.isSet(basePositions) || parser.isSet(complete);
    if (!parser.isSet(formulaOption) && catalogue == generator)
        return usageError(kHelp.name,
            QStringLiteral("donnez soit --system, soit les options du générateur (--combine et --per-ticket)"));
    if (parser.isSet(formulaOption)) {
        // The formula made the generator's settings above.
    } else if (catalogue) {
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
    if (const std::optional<int> status = bet.checkTickets(kHelp.name, horsesPerTicket))
        return *status;
    if (const std::optional<int> status = cost.read(parser, kHelp.name, horsesPerTicket, bet.named()))
        return *status;
    if (const std::optional<int> status = conditions.read(parser, kHelp.name))
        return *status;
    recipe.conditions = conditions.conditions();

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
