#include "cli/command.h"

#include "combi/integer_text.h"
#include "model/escaped_text.h"
#include "model/system_reason.h"

#include "cli/output.h"

#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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

// The parser's own error texts are English; the two that remain once unknown options are
// handled, in French.
QString parseErrorText(const QString &text)
{
    static const QRegularExpression missing(QStringLiteral("^Missing value after '(.*)'\\.$"));
    static const QRegularExpression unexpected(QStringLiteral("^Unexpected value after '(.*)'\\.$"));
    if (const QRegularExpressionMatch m = missing.match(text); m.hasMatch())
        return QStringLiteral("valeur manquante après %1").arg(quoted(m.captured(1)));
    if (const QRegularExpressionMatch m = unexpected.match(text); m.hasMatch())
        return QStringLiteral("valeur inattendue après %1").arg(quoted(m.captured(1)));
    return escapedText(text);
}

QString helpText(const QCommandLineParser &parser, const CommandHelp &help)
{
    // The parser's own text begins with a usage line naming the executable; the command's
    // usage lines and description stand in its place. Its headings are English.
    QString generated = parser.helpText();
    const qsizetype options = generated.indexOf(QLatin1String("Options:"));
    generated.replace(QLatin1String("\nOptions:\n"), QLatin1String("\nOptions :\n"));
    generated.replace(QLatin1String("\nArguments:\n"), QLatin1String("\nArguments :\n"));
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
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Affiche cette aide et s'arrête."));
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
            help.name, QStringLiteral("option inconnue %1").arg(quoted(typedOption(arguments, unknown.front()))));
    return usageError(help.name, parseErrorText(parser.errorText()));
}

void printError(const QString &text)
{
    QString t;
    t.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\r' || u == '\n')
            t += QLatin1Char('\n');
        else if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            t += escapedText(QStringView(&c, 1));
        else
            t += c;
    }
    std::fputs(t.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
}

QString quoted(const QString &input)
{
    return QStringLiteral("« %1 »").arg(escapedText(input));
}

int usageError(const char *command, const QString &what)
{
    const QString who = QString::fromLatin1(kProgram) + QLatin1Char(' ') + QString::fromLatin1(command);
    printError(QStringLiteral("%1 : %2\nEssayez « %1 --help ».").arg(who, what));
    return kExitRefused;
}

int refuseInput(const char *command, const QString &what)
{
    printError(QStringLiteral("%1 %2 : %3").arg(QString::fromLatin1(kProgram), QString::fromLatin1(command), what));
    return kExitRefused;
}

QByteArray fileNameBytes(const QString &argument)
{
    return encodeBytes(argument);
}

std::optional<int> openInput(QFile &in, QString &name, const QStringList &files, const char *command, const char *kind)
{
    if (files.size() > 1)
        return usageError(command, QStringLiteral("un seul fichier %1 au plus").arg(QString::fromUtf8(kind)));
    const bool fromStandardInput = files.isEmpty() || files.front() == QLatin1String("-");
    name = fromStandardInput ? QStringLiteral("(entrée standard)") : escapedText(files.front());
    const int fd
        = fromStandardInput ? STDIN_FILENO : ::open(fileNameBytes(files.front()).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const QString reason = frenchSystemReason(QString::fromLocal8Bit(std::strerror(errno)));
        printError(QStringLiteral("Impossible de lire le fichier %1 : %2").arg(name, reason));
        return kExitFailure;
    }
    if (in.open(
            fd, QIODevice::ReadOnly, fromStandardInput ? QFileDevice::DontCloseHandle : QFileDevice::AutoCloseHandle))
        return std::nullopt;
    printError(QStringLiteral("Impossible de lire le fichier %1 : %2").arg(name, frenchSystemReason(in.errorString())));
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
