#pragma once

#include <QCommandLineParser>
#include <QFile>
#include <QString>
#include <QStringList>

#include <optional>

namespace mvx::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1; // the output could not be written
constexpr int kExitRefused = 2; // a bad argument, or a selection the program refuses

extern const char *const kProgram;

// One command of the tool. Each lives in its own file and is listed once in main.cpp.
struct Command
{
    const char *name;
    const char *summary; // one line in the tool's help
    // Runs the command on the arguments that follow its name; returns the exit status.
    int (*run)(const QStringList &arguments);
};

// What --help shows for a command, around the option list the parser writes itself.
struct CommandHelp
{
    const char *name;
    const char *usage; // "Utilisation : ..." lines
    const char *description; // what the command does
    const char *epilogue = nullptr; // after the options: exit status, formats
};

// Adds --help, parses the arguments and answers --help or a parse error. Returns the exit
// status when the command must end here, nothing when it goes on.
std::optional<int> parseCommandLine(QCommandLineParser &parser, const QStringList &arguments, const CommandHelp &help);

// A message on standard error. The program's messages use CR as line break, as the message
// boxes do; a terminal wants LF. Any other control character left in the text is escaped, so
// that nothing quoted from the input can drive the terminal.
void printError(const QString &text);

// Input quoted in a message: between French quotation marks, control bytes and bytes that were
// not UTF-8 escaped ("« r\xe9sultat.txt »").
QString quoted(const QString &input);

// A bad argument: names it, points to --help and gives the status to exit with.
int usageError(const char *command, const QString &what);

// Input the command refuses (a malformed line, a file of mixed tickets): names the command and
// gives the status to exit with.
int refuseInput(const char *command, const QString &what);

// The bytes of a file name given as an argument, as the shell gave them: the tool's arguments
// are decoded so that they come back byte for byte (see decodeBytes), and a name that is not
// UTF-8 still opens its file.
QByteArray fileNameBytes(const QString &argument);

// Opens the command's input: the one FILE among the positional arguments, or standard input
// without one or for "-"; `name` is what messages call it (already escaped). Says why and gives
// the status to exit with when there is more than one file or the file cannot be opened.
// `kind` names the file in the message ("de tickets", "de pronostics").
std::optional<int> openInput(QFile &in, QString &name, const QStringList &files, const char *command, const char *kind);

// Reads a whole number within [low, high], the way the number boxes read them.
std::optional<int> parseNumber(const QString &text, int low, int high);

} // namespace mvx::cli
