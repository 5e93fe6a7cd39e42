// marovellix-cli: the ticket engine from the command line, for scripts and measurements.

#include "combi/catalogue.h"
#include "combi/integer_text.h"
#include "combi/ticket_file.h"
#include "combi/ticket_request.h"

#include <QFile>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1; // the output could not be written
constexpr int kExitRefused = 2; // bad arguments, or a selection the program refuses

const char *const kProgram = "marovellix-cli";

void printErr(const QString &text)
{
    // Messages use CR as line break, as the message boxes do; a terminal wants LF.
    QString t = text;
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fputs(t.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}

int usageError(const std::string &what, const char *command)
{
    std::fprintf(stderr, "%s %s: %s\nTry '%s %s --help'.\n", kProgram, command, what.c_str(), kProgram, command);
    return kExitRefused;
}

const char *const kMainHelp = R"(Usage: marovellix-cli COMMAND [OPTION]...
Betting tickets from the command line.

Commands:
  tickets   write the tickets of a selection, one line per ticket ("7,3,12," CR LF)
  systems   list the reduced systems

Run 'marovellix-cli COMMAND --help' for the options of a command.
)";

const char *const kTicketsHelp = R"(Usage: marovellix-cli tickets --system N [OPTION]... HORSE...
  or:  marovellix-cli tickets --combine N --per-ticket K [OPTION]... HORSE...
Write the tickets of a selection in the ticket text file format: for each ticket
its horse numbers, each followed by a comma, and CR LF.

HORSE... are the selection boxes 1 to 20 in order (an empty argument is an empty
box). With --system the bases come first in the system's own way; with the
generator the first B horses are the bases.

  -s, --system N         use reduced system N (1..53, see 'systems')
  -n, --combine N        generator: horses to combine, bases included (1..20)
  -k, --per-ticket K     generator: horses per ticket (1..8)
  -b, --bases B          generator: base horses (0..3, default 0)
  -p, --base-positions P generator: ticket positions of the bases, comma separated
                         (default 1,2,3)
  -c, --complete         generator: arrangements (every order) instead of combinations
  -o, --output FILE      write to FILE instead of standard output
  -h, --help             show this help and exit
  --                     end of the options: every later argument is a box

Exit status: 0 when the tickets were written, 1 when the output could not be
written, 2 for a bad argument or a refused selection (nothing is written).
)";

const char *const kSystemsHelp = R"(Usage: marovellix-cli systems
List the reduced systems, one per line, tab separated: number, horses per ticket,
horses, bases, tickets, description.

  -h, --help   show this help and exit
)";

bool parseNumber(const std::string &text, int low, int high, int &value)
{
    const std::optional<std::int32_t> n = mvx::parseInteger(QString::fromStdString(text));
    if (!n || *n < low || *n > high)
        return false;
    value = *n;
    return true;
}

int runSystems(const std::vector<std::string> &args)
{
    for (const std::string &a : args) {
        if (a == "-h" || a == "--help") {
            std::fputs(kSystemsHelp, stdout);
            return kExitOk;
        }
        return usageError("unexpected argument '" + a + "'", "systems");
    }
    for (int s = 1; s <= mvx::kSystemCount; ++s) {
        const mvx::ReducedSystem &r = mvx::reducedSystem(s);
        std::printf("%d\t%d\t%d\t%d\t%d\t%s\n", r.number, r.horsesPerTicket, r.horseCount, r.baseCount,
                    r.ticketCount, r.description().toLocal8Bit().constData());
    }
    return kExitOk;
}

int runTickets(const std::vector<std::string> &args)
{
    mvx::SystemsPage page;
    page.reducedTab = false;
    bool generator = false;
    bool system = false;
    bool perTicketGiven = false;
    std::string output;
    std::vector<std::string> horses;

    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (optionsEnded) {
            horses.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = a;
        std::string value;
        bool hasInlineValue = false;
        if (a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
            name = a.substr(0, a.find('='));
            value = a.substr(a.find('=') + 1);
            hasInlineValue = true;
        }
        auto needValue = [&](std::string &into) {
            if (hasInlineValue) {
                into = value;
                return true;
            }
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        if (name == "-h" || name == "--help") {
            std::fputs(kTicketsHelp, stdout);
            return kExitOk;
        }
        if (name == "-c" || name == "--complete") {
            page.generator.reduced = false;
            generator = true;
            continue;
        }
        static const std::map<std::string, std::string> longNames = {
            { "-s", "--system" }, { "-n", "--combine" }, { "-k", "--per-ticket" },
            { "-b", "--bases" },  { "-p", "--base-positions" }, { "-o", "--output" },
        };
        if (const auto it = longNames.find(name); it != longNames.end())
            name = it->second;
        if (name == "--system" || name == "--combine" || name == "--per-ticket" || name == "--bases"
            || name == "--base-positions" || name == "--output") {
            std::string v;
            if (!needValue(v))
                return usageError("option '" + name + "' needs a value", "tickets");
            if (name == "--system") {
                if (!parseNumber(v, 1, mvx::kSystemCount, page.systemNumber))
                    return usageError("invalid system number '" + v + "' (1 to 53)", "tickets");
                system = true;
            } else if (name == "--combine") {
                if (!parseNumber(v, 1, 20, page.generator.horsesToCombine))
                    return usageError("invalid number of horses to combine '" + v + "' (1 to 20)", "tickets");
                generator = true;
            } else if (name == "--per-ticket") {
                if (!parseNumber(v, 1, 8, page.generator.horsesPerTicket))
                    return usageError("invalid number of horses per ticket '" + v + "' (1 to 8)", "tickets");
                generator = perTicketGiven = true;
            } else if (name == "--bases") {
                if (!parseNumber(v, 0, 3, page.generator.bases.baseCount))
                    return usageError("invalid number of bases '" + v + "' (0 to 3)", "tickets");
                generator = true;
            } else if (name == "--base-positions") {
                std::size_t start = 0;
                for (std::size_t b = 0; b < 3; ++b) {
                    const std::size_t comma = v.find(',', start);
                    const std::string part = v.substr(start, comma == std::string::npos ? comma : comma - start);
                    if (!parseNumber(part, 1, 5, page.generator.bases.positions[b]))
                        return usageError("invalid base positions '" + v + "' (1 to 5, comma separated)", "tickets");
                    if (comma == std::string::npos)
                        break;
                    start = comma + 1;
                    if (b == 2)
                        return usageError("invalid base positions '" + v + "' (at most three)", "tickets");
                }
                generator = true;
            } else {
                output = v;
            }
            continue;
        }
        if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9'))
            return usageError("unknown option '" + a + "'", "tickets");
        horses.push_back(a);
    }

    if (system == generator)
        return usageError("give either --system or the generator options (--combine and --per-ticket)", "tickets");
    if (generator && !perTicketGiven)
        return usageError("the generator needs --per-ticket", "tickets");
    if (horses.size() > std::size_t(mvx::kMaxHorses))
        return usageError("at most 20 horses", "tickets");
    page.reducedTab = system;
    for (std::size_t i = 0; i < horses.size(); ++i)
        page.boxes[i] = QString::fromLocal8Bit(horses[i].c_str());

    const std::vector<mvx::Message> refused = mvx::checkTicketRequest(page);
    if (!refused.empty()) {
        for (const mvx::Message &m : refused)
            printErr(m.title + QStringLiteral(" : ") + m.text);
        return kExitRefused;
    }

    QFile out;
    const bool toStdout = output.empty() || output == "-";
    const bool opened = toStdout ? out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered)
                                 : (out.setFileName(QString::fromLocal8Bit(output.c_str())),
                                    out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered));
    const QString shownName = toStdout ? QStringLiteral("(sortie standard)") : out.fileName();
    if (!opened) {
        const mvx::Message m = mvx::messages::ticketFileFailed(shownName, out.errorString());
        printErr(m.text);
        return kExitFailure;
    }
    mvx::GameState state;
    mvx::TicketFileSink sink(state.selection, out);
    mvx::generateTickets(state, page, sink);
    if (!sink.finish()) {
        const mvx::Message m = mvx::messages::ticketFileFailed(shownName, out.errorString());
        printErr(m.text);
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

int main(int argc, char *argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kMainHelp, stderr);
        return kExitRefused;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "-h" || command == "--help") {
        std::fputs(kMainHelp, stdout);
        return kExitOk;
    }
    if (command == "tickets")
        return runTickets(args);
    if (command == "systems")
        return runSystems(args);
    std::fprintf(stderr, "%s: unknown command '%s'\nTry '%s --help'.\n", kProgram, command.c_str(), kProgram);
    return kExitRefused;
}
