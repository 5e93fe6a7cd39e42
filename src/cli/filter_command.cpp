// filter: the tickets of a ticket file that meet the conditions, in the ticket file format.

#include "cli/command.h"
#include "cli/condition_options.h"
#include "cli/output.h"

#include "combi/ticket_text.h"

#include <charconv>

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "filter",
    "Utilisation : marovellix-cli filter --group H1,H2,...:MIN-MAX [--group ...] [--sum MIN-MAX] [FICHIER]\n",
    "Lit un fichier de tickets (l'entrée standard sans FICHIER) et écrit ceux qui\n"
    "remplissent toutes les conditions, dans l'ordre du fichier et au format du fichier de\n"
    "tickets (\"7,3,12,\" CR LF). Les tickets ont de 1 à 8 chevaux, tous le même nombre.\n"
    "Le nombre de tickets gardés et écartés va sur la sortie d'erreur.\n",
    "Code de sortie : 0 quand les tickets sont écrits, 1 quand le fichier ne peut pas être\n"
    "lu ou la sortie écrite, 2 pour un argument incorrect, des conditions impossibles ou une\n"
    "ligne qui n'est pas un ticket (rien n'est alors écrit).\n",
};

constexpr qsizetype kBlock = qsizetype(1) << 20;

// Appends a ticket's line as the ticket file has it.
void appendLine(QByteArray &out, std::span<const int> horses)
{
    char text[16];
    for (const int h : horses) {
        const char *end = std::to_chars(text, text + sizeof text, h).ptr;
        out.append(text, end - text);
        out.append(',');
    }
    out.append("\r\n", 2);
}

int run(const QStringList &arguments)
{
    ConditionOptions options;
    QCommandLineParser parser;
    options.addTo(parser);
    parser.addPositionalArgument(QStringLiteral("FICHIER"),
        QStringLiteral("Le fichier de tickets (l'entrée standard sans lui)."), QStringLiteral("[FICHIER]"));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;
    if (const std::optional<int> status = options.read(parser, kHelp.name))
        return *status;
    const TicketConditions &conditions = options.conditions();
    if (const std::optional<Message> wrong = checkConditions(conditions, 0))
        return refuseInput(kHelp.name, wrong->text);

    QFile in;
    QString name;
    if (const std::optional<int> status = openInput(in, name, parser.positionalArguments(), kHelp.name, "de tickets"))
        return *status;

    // The whole input is checked before anything is written: the kept tickets wait in a temporary file.
    HeldOutput held;
    if (!held.open(name))
        return kExitFailure;
    std::int64_t kept = 0;
    std::int64_t dropped = 0;
    std::size_t size = 0;
    QString refused;
    QByteArray lines;
    lines.reserve(kBlock + 256);
    const auto keep = [&](std::span<const int> horses) {
        // The conditions must be possible for the file's ticket size.
        if (size == 0) {
            size = horses.size();
            if (const std::optional<Message> wrong = checkConditions(conditions, int(size))) {
                refused = wrong->text;
                return false;
            }
        }
        if (!conditions.passes(horses)) {
            ++dropped;
            return true;
        }
        ++kept;
        appendLine(lines, horses);
        if (lines.size() < kBlock)
            return true;
        const bool written = held.write(lines);
        lines.clear();
        return written;
    };
    const TicketTextRead read = readTicketText(in, kListedTicketSizes, keep);
    if (read.readFailed) {
        printError(QStringLiteral("%1 : %2").arg(name, read.error));
        return kExitFailure;
    }
    if (!refused.isEmpty())
        return refuseInput(kHelp.name, refused);
    if (!read.ok())
        return refuseInput(kHelp.name, QStringLiteral("%1 : %2").arg(name, read.error));
    held.write(lines);
    if (!held.complete())
        return kExitFailure;
    const int status = held.release(kHelp.name);
    if (status == kExitOk)
        printError(QStringLiteral("%1 tickets gardés, %2 écartés").arg(kept).arg(dropped));
    return status;
}

} // namespace

extern const Command filterCommand { "filter",
    "garde les tickets d'un fichier qui remplissent des conditions (groupes de chevaux, somme)", run };

} // namespace mvx::cli
