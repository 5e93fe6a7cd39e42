// Start-up: from starting the process to the main window painted, against a bare Qt window of
// the same size started by the same program. Both run as child processes of this benchmark
// (`startup_bench --child program` and `--child bare`), on the platform of the environment
// (QT_QPA_PLATFORM=offscreen where there is no display).

#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/qt_platform.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QTimer>
#include <QWidget>

#include "ratio_reporter.h"

#include <cstring>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

// Quits the application once the watched window has painted: the first paint of any of its
// widgets, and then the rest of that paint, which runs before the queued quit.
class QuitOnPaint : public QObject
{
public:
    explicit QuitOnPaint(QWidget *window)
        : window_(window)
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == window_)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *window_;
};

int child(int argc, char **argv, bool program)
{
    QApplication app(argc, argv);
    if (program) {
        // As main.cpp starts the program.
        QApplication::setApplicationName(QStringLiteral("MAROVELLIX+"));
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
        mvx::QtPlatform platform;
        mvx::Application application(platform);
        QuitOnPaint quit(&application.mainWindow());
        application.show();
        return app.exec();
    }
    QWidget window;
    window.resize(704, 523);
    QuitOnPaint quit(&window);
    window.show();
    return app.exec();
}

const char *self = nullptr;

void startChild(benchmark::State &state, const char *which)
{
    char childFlag[] = "--child";
    std::vector<char *> argv { const_cast<char *>(self), childFlag, const_cast<char *>(which), nullptr };
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, self, nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cannot start the child");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("the child did not start");
    }
}

void StartProgram(benchmark::State &state)
{
    startChild(state, "program");
}
BENCHMARK(StartProgram)->Unit(benchmark::kMillisecond)->Repetitions(9)->UseRealTime()->Iterations(3);

void StartBareWindow(benchmark::State &state)
{
    startChild(state, "bare");
}
BENCHMARK(StartBareWindow)->Unit(benchmark::kMillisecond)->Repetitions(9)->UseRealTime()->Iterations(3);

} // namespace

#define main benchmarkMain
RATIO_BENCHMARK_MAIN({ "StartProgram", "StartBareWindow" })
#undef main

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0)
        return child(argc, argv, std::strcmp(argv[2], "program") == 0);
    self = argv[0];
    if (!qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return benchmarkMain(argc, argv);
}
