#include "ui/application.h"
#include "ui/display_check.h"
#include "ui/program_icon.h"
#include "ui/program_options.h"
#include "ui/qt_platform.h"

#include <QApplication>
#include <QFont>
#include <QLocale>

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = mvx::answerInformationOptions(argc, argv))
        return *status;
    // Qt itself would abort with an English message and no way out.
    if (const std::optional<int> status = mvx::refuseWithoutDisplay(argc, argv))
        return *status;
    std::optional<mvx::DisplayStartGuard> displayStart(std::in_place, argc, argv);
    QApplication app(argc, argv);
    displayStart.reset();
    QApplication::setApplicationName(QStringLiteral("MAROVELLIX+"));
    // Lets the desktop match the windows with the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("marovellix"));
    // The windows are laid out for this face; without the substitution it falls to DejaVu Sans.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("System"), QStringLiteral("Liberation Sans"));
    QApplication::setWindowIcon(mvx::ui::programIcon());
    // Before the first window: Qt's own buttons and dialogs speak French like the program, and
    // Qt's dates, numbers and file types are French too whatever LANG says.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    mvx::installQtFrenchTranslation(app);

    mvx::QtPlatform platform;
    mvx::Application application(platform);
    application.show();
    return app.exec();
}
