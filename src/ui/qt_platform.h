#pragma once

#include "model/platform.h"

#include <QHash>
#include <QString>

class QCoreApplication;

namespace mvx {

// The desktop side of Platform: Qt message boxes, file dialogs, cursor, beep and the shell.
// Dialogs open over the window that is active when they are asked for.
//
// A file dialog starts in the folder where a file of its kind (its default extension) was last
// opened, or saved with success, since the program started; the user's documents folder the
// first time. A save dialog
// whose folder must exist refuses a name in a missing folder with a warning and opens again.
class QtPlatform : public Platform
{
public:
    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    int chooseItem(const QString &text, const QString &title, const QStringList &items, int proposed) override;
    void beep() override;
    QString saveFileName(const FileDialog &dialog) override;
    QString openFileName(const FileDialog &dialog) override;
    void fileSaved(const QString &fileName) override;
    void setWaitCursor(bool waiting) override;
    QString programFolder() override;
    bool openDocument(const QString &pathOrUrl) override;
    bool openInBrowser(const QString &addressOrPath) override;
    bool startProgram(const QString &path) override;
    std::unique_ptr<PrintSurface> openPrinter(const QString &document) override;
    // On a thread of its own, with the progress dialog of ui/long_work.h over the active window.
    void runLongWork(const QString &label, WorkProgress &progress, const std::function<void()> &work) override;

private:
    QString runFileDialog(const FileDialog &request, bool save);

    QHash<QString, QString> lastFolders_; // kind -> folder
    QHash<QString, QString> pendingSaves_; // a name chosen in a save dialog -> its kind
};

// Loads Qt's French translation, so that Qt's own texts (message box buttons, file dialogs, the
// context menu of text boxes) read French like the rest of the program, whatever the system's
// language. False when the translation is not installed.
bool installQtFrenchTranslation(QCoreApplication &application);

// The filter of a file dialog, "description|pattern" pairs separated by "|", in Qt's
// "description (pattern)" form, pairs joined by ";;". Patterns listed with ";" get blanks.
QString qtNameFilters(const QString &filter);

} // namespace mvx
