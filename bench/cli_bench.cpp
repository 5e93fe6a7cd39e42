// marovellix-cli writing the 1,860,480 tickets of 20 horses, 5 per ticket, every order, against
// a short Python script writing the same bytes with itertools (quinte_permutations.py), both
// started as processes and writing to a file in the same folder.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ratio_reporter.h"

#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

// Runs a program to its end; its exit status.
int run(const QStringList &arguments)
{
    std::vector<QByteArray> bytes;
    for (const QString &a : arguments)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QStringList cliArguments(const QString &output)
{
    QStringList args { QStringLiteral(MAROVELLIX_CLI), "tickets", "-n", "20", "-k", "5", "--complete", "-o", output };
    for (int h = 1; h <= 20; ++h)
        args.append(QString::number(h));
    return args;
}

QStringList pythonArguments(const QString &output)
{
    return { QStringLiteral("python3"), QStringLiteral(MAROVELLIX_BENCH_DIR "/quinte_permutations.py"), output };
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void measure(benchmark::State &state, QStringList (*arguments)(const QString &))
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tickets.txt"));
    const QStringList args = arguments(path);
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        if (run(args) != 0)
            state.SkipWithError("the program failed");
    }
    state.counters["bytes"] = double(QFile(path).size());
}

void CliTickets(benchmark::State &state)
{
    measure(state, cliArguments);
}
BENCHMARK(CliTickets)->Unit(benchmark::kMillisecond)->Repetitions(7)->UseRealTime()->Iterations(3);

void PythonItertools(benchmark::State &state)
{
    measure(state, pythonArguments);
}
BENCHMARK(PythonItertools)->Unit(benchmark::kMillisecond)->Repetitions(7)->UseRealTime()->Iterations(1);

// Both sides must write the same bytes, or the ratio compares nothing.
bool sameBytes()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("cli.txt"));
    const QString b = dir.filePath(QStringLiteral("python.txt"));
    return run(cliArguments(a)) == 0 && run(pythonArguments(b)) == 0 && contents(a) == contents(b)
        && !contents(a).isEmpty();
}

const bool checked = [] {
    if (!sameBytes()) {
        std::fprintf(stderr, "cli_bench: marovellix-cli and the Python script do not write the same bytes\n");
        std::exit(1);
    }
    return true;
}();

} // namespace

RATIO_BENCHMARK_MAIN({ "CliTickets", "PythonItertools" })
