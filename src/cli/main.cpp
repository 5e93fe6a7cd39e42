// marovellix-cli: the ticket engine from the command line, for scripts and measurements.
// Each command lives in its own file (tickets_command.cpp, ...) and is listed once below.

#include "cli/command.h"
#include "cli/output.h"

#include <QLocale>

#include <cstdio>

namespace mvx::cli {
extern const Command ticketsCommand, systemsCommand, reduceCommand, holesCommand, compareCommand, synthesisCommand,
    filterCommand;
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
};

QByteArray mainHelp()
{
    QByteArray text = "Usage: marovellix-cli COMMAND [OPTION]...\n"
                      "Betting tickets from the command line.\n"
                      "\n"
                      "Commands:\n";
    for (const Command *c : kCommands)
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromLatin1(c->name), -9)
                    .arg(QString::fromUtf8(c->summary))
                    .toUtf8();
    text += "\nRun 'marovellix-cli COMMAND --help' for the options of a command.\n";
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    reserveStandardDescriptors();
    // Numbers are read and written with the full stop, whatever the user's locale, so that
    // scripts do not depend on it.
    QLocale::setDefault(QLocale::c());

    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (arguments.isEmpty()) {
        std::fputs(mainHelp().constData(), stderr);
        return kExitRefused;
    }
    const QString command = arguments.takeFirst();
    if (command == QLatin1String("-h") || command == QLatin1String("--help"))
        return printToStandardOutput("", mainHelp());
    for (const Command *c : kCommands)
        if (command == QLatin1String(c->name))
            return c->run(arguments);
    std::fprintf(
        stderr, "%s: unknown command '%s'\nTry '%s --help'.\n", kProgram, command.toLocal8Bit().constData(), kProgram);
    return kExitRefused;
}
