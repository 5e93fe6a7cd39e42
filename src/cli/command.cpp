#include "cli/command.h"

#include "combi/integer_text.h"

#include "cli/output.h"

#include <cstdio>
#include <unistd.h>

namespace mvx::cli {

const char *const kProgram = "marovellix-cli";

namespace {

// An unknown option as the user typed it ("--frobnicate", "-x"): the parser names it bare.
QString typedOption(const QStringList &arguments, const QString &name)
{
    for (const QString &a : arguments) {
        if (a == QLatin1String("--"))
            break;
        if (a == QLatin1String("--") + name || a.startsWith(QLatin1String("--") + name + QLatin1Char('=')))
            return QLatin1String("--") + name;
    }
    return QLatin1Char('-') + name;
}

QString helpText(const QCommandLineParser &parser, const CommandHelp &help)
{
    // The parser's own text begins with a usage line naming the executable; the command's
    // usage lines and description stand in its place.
    const QString generated = parser.helpText();
    const qsizetype options = generated.indexOf(QLatin1String("Options:"));
    QString text = QString::fromUtf8(help.usage) + QString::fromUtf8(help.description) + QLatin1Char('\n');
    if (options >= 0)
        text += generated.mid(options);
    if (help.epilogue)
        text += QLatin1Char('\n') + QString::fromUtf8(help.epilogue);
    return text;
}

} // namespace

std::optional<int> parseCommandLine(QCommandLineParser &parser, const QStringList &arguments, const CommandHelp &help)
{
    const QCommandLineOption helpOption(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help and exit."));
    parser.addOption(helpOption);
    // The parser expects the program's name first.
    const bool parsed = parser.parse(QStringList { QString::fromLatin1(kProgram) } + arguments);
    if (parsed && parser.isSet(helpOption))
        return printToStandardOutput(help.name, helpText(parser, help).toUtf8());
    if (parsed)
        return std::nullopt;
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return usageError(
            help.name, QStringLiteral("unknown option '%1'").arg(typedOption(arguments, unknown.front())));
    return usageError(help.name, parser.errorText());
}

void printError(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fputs(t.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}

int usageError(const char *command, const QString &what)
{
    std::fprintf(stderr, "%s %s: %s\nTry '%s %s --help'.\n", kProgram, command, what.toLocal8Bit().constData(),
        kProgram, command);
    return kExitRefused;
}

int refuseInput(const char *command, const QString &what)
{
    printError(QStringLiteral("%1 %2: %3").arg(QString::fromLatin1(kProgram), QString::fromLatin1(command), what));
    return kExitRefused;
}

std::optional<int> openInput(QFile &in, QString &name, const QStringList &files, const char *command, const char *kind)
{
    if (files.size() > 1)
        return usageError(command, QStringLiteral("one %1 file at most").arg(QString::fromLatin1(kind)));
    const bool fromStandardInput = files.isEmpty() || files.front() == QLatin1String("-");
    name = fromStandardInput ? QStringLiteral("(entrée standard)") : files.front();
    if (!fromStandardInput)
        in.setFileName(files.front());
    if (fromStandardInput ? in.open(STDIN_FILENO, QIODevice::ReadOnly) : in.open(QIODevice::ReadOnly))
        return std::nullopt;
    printError(QStringLiteral("Impossible de lire le fichier %1 : %2").arg(name, in.errorString()));
    return kExitFailure;
}

std::optional<int> parseNumber(const QString &text, int low, int high)
{
    const std::optional<std::int32_t> n = parseInteger(text);
    if (!n || *n < low || *n > high)
        return std::nullopt;
    return *n;
}

} // namespace mvx::cli
