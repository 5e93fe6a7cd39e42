#include "ui/display_check.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <vector>

namespace {

// Arguments as main() receives them, the program's name first.
bool missing(std::vector<const char *> arguments, const mvx::DisplayEnvironment &environment)
{
    arguments.insert(arguments.begin(), "marovellix");
    return mvx::graphicalDisplayMissing(int(arguments.size()), const_cast<char **>(arguments.data()), environment);
}

} // namespace

class DisplayCheckTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A newcomer on a machine without a desktop starts the built program: a French message that
    // says what to do and status 1, where Qt alone would abort; --version still answers there,
    // and the ways the scripts and a desktop start it are not refused.
    void startedWithoutDisplay()
    {
        // Nothing of this test's own environment (QT_QPA_PLATFORM=offscreen), not even PATH.
        QProcessEnvironment bare;
        bare.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        QProcess program;
        program.setProcessEnvironment(bare);
        program.start(QStringLiteral(MAROVELLIX_PROGRAM), {});
        QVERIFY(program.waitForFinished(30000));
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QVERIFY2(errors.contains(QStringLiteral("besoin d'un affichage graphique")), qPrintable(errors));
        QVERIFY2(errors.contains(QStringLiteral("xvfb-run -a marovellix")), qPrintable(errors));
        QVERIFY(!errors.contains(QStringLiteral("Reinstalling")));
        QCOMPARE(program.readAllStandardOutput(), QByteArray());

        program.start(QStringLiteral(MAROVELLIX_PROGRAM), { QStringLiteral("--version") });
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().startsWith("marovellix "));

        // A display named but with nothing behind it: the same French message and status, not
        // Qt's English abort (status 134).
        int unused = 97;
        while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(unused)))
            ++unused;
        bare.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(unused));
        program.setProcessEnvironment(bare);
        program.start(QStringLiteral(MAROVELLIX_PROGRAM), {});
        QVERIFY(program.waitForFinished(30000));
        const QString unanswered = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QVERIFY2(unanswered.contains(QStringLiteral("« :%1 » ne répond pas").arg(unused)), qPrintable(unanswered));
        QVERIFY2(unanswered.contains(QStringLiteral("xvfb-run -a marovellix")), qPrintable(unanswered));
        QVERIFY2(!unanswered.contains(QStringLiteral("platform plugin")), qPrintable(unanswered));

        QVERIFY(missing({}, { "xcb", nullptr, "" }));
        QVERIFY(!missing({}, { "offscreen", nullptr, nullptr })); // the test suite
        QVERIFY(!missing({ "-platform", "offscreen" }, { "xcb", nullptr, nullptr }));
        QVERIFY(!missing({}, { nullptr, ":99", nullptr })); // xvfb-run
        QVERIFY(!missing({}, { "wayland;xcb", nullptr, "wayland-0" }));
    }
};

QTEST_GUILESS_MAIN(DisplayCheckTest)
#include "display_check_test.moc"
