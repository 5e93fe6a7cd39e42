// marovellix-cli: the ticket engine from the command line, for scripts and measurements.
// Each command lives in its own file (tickets_command.cpp, ...) and is listed once below.

#include "cli/command.h"
#include "cli/output.h"

#include "model/escaped_text.h"
#include "model/system_reason.h"

#include <QLocale>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <system_error>

namespace mvx::cli {
extern const Command ticketsCommand, systemsCommand, reduceCommand, holesCommand, compareCommand, synthesisCommand,
    filterCommand, historyCommand;
} // namespace mvx::cli

namespace {

using namespace mvx::cli;

const Command *const kCommands[] = {
    &ticketsCommand,
    &systemsCommand,
    &reduceCommand,
    &holesCommand,
    &compareCommand,
    &synthesisCommand,
    &filterCommand,
    &historyCommand,
};

QByteArray mainHelp()
{
    QByteArray text = "Utilisation : marovellix-cli COMMANDE [OPTION]...\n"
                      "Les tickets de pari depuis la ligne de commande.\n"
                      "\n"
                      "Commandes :\n";
    for (const Command *c : kCommands)
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromLatin1(c->name), -9)
                    .arg(QString::fromUtf8(c->summary))
                    .toUtf8();
    text += "\nOptions :\n"
            "  -h, --help     Affiche cette aide et s'arrête.\n"
            "  -v, --version  Affiche la version et s'arrête.\n"
            "\n« marovellix-cli COMMANDE --help » donne les options d'une commande.\n";
    return text;
}

// Runs the tool; every failure it does not foresee ends here with a message.
int runTool(int argc, char *argv[])
{
    // Numbers are read and written with the full stop, whatever the user's locale, so that
    // scripts do not depend on it.
    QLocale::setDefault(QLocale::c());

    // Decoded so that file names come back byte for byte (fileNameBytes).
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(mvx::decodeBytes(QByteArrayView(argv[i])));
    if (arguments.isEmpty()) {
        std::fputs(mainHelp().constData(), stderr);
        return kExitRefused;
    }
    const QString command = arguments.takeFirst();
    if (command == QLatin1String("-h") || command == QLatin1String("--help"))
        return printToStandardOutput("", mainHelp());
    if (command == QLatin1String("-v") || command == QLatin1String("--version"))
        return printToStandardOutput("", "marovellix-cli " MAROVELLIX_VERSION "\n");
    for (const Command *c : kCommands)
        if (command == QLatin1String(c->name))
            return c->run(arguments);
    printError(QStringLiteral("%1 : commande inconnue %2\nEssayez « %1 --help ».")
                   .arg(QString::fromLatin1(kProgram), quoted(command)));
    return kExitRefused;
}

void printFailure(const QString &what)
{
    printError(QStringLiteral("%1 : %2").arg(QString::fromLatin1(kProgram), what));
}

} // namespace

int main(int argc, char *argv[])
{
    reserveStandardDescriptors();
    // A reader that goes away ends the tool quietly, as it does every Unix tool, even when the
    // shell or program that started it ignores the signal.
    std::signal(SIGPIPE, SIG_DFL);
    try {
        return runTool(argc, argv);
    } catch (const std::bad_alloc &) {
        printFailure(QStringLiteral("mémoire insuffisante, le travail est abandonné"));
    } catch (const std::system_error &e) {
        // A thread that cannot start, a resource the system refuses.
        printFailure(QStringLiteral("le système refuse une ressource nécessaire, le travail est abandonné : %1")
                         .arg(mvx::frenchSystemReason(QString::fromLocal8Bit(std::strerror(e.code().value())))));
    } catch (const std::exception &e) {
        printFailure(QStringLiteral("erreur imprévue, le travail est abandonné : %1")
                         .arg(mvx::escapedText(QByteArrayView(e.what()))));
    } catch (...) {
        printFailure(QStringLiteral("erreur imprévue, le travail est abandonné"));
    }
    return kExitFailure;
}
