#pragma once

#include "model/print_surface.h"
#include "model/work_progress.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace mvx {

// Everything a window or a request asks of the outside world goes through this interface:
// the application installs the desktop implementation once, tests install a scripted one.
class Platform
{
public:
    enum class Buttons
    {
        Ok,
        YesNo,
        OkCancel
    };
    enum class Icon
    {
        None,
        Information,
        Warning,
        Question
    };
    enum class Answer
    {
        Ok,
        Cancel,
        Yes,
        No
    };

    struct FileDialog
    {
        QString title;
        QString filter; // "description|pattern", as file dialogs of the program list them
        QString defaultExtension; // without the dot
        QString proposedName;
        bool pathMustExist = true;
        bool fileMustExist = false;
        bool confirmOverwrite = false;
    };

    virtual ~Platform() = default;

    virtual Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) = 0;
    virtual void beep() = 0;
    // The chosen file name, or an empty text when the dialog was cancelled.
    virtual QString saveFileName(const FileDialog &dialog) = 0;
    virtual QString openFileName(const FileDialog &dialog) = 0;
    // Tells that the file named in a save dialog was written: only then does its folder become
    // the one the next dialog of its kind opens in, so a folder that takes no file is not
    // offered again.
    virtual void fileSaved(const QString &fileName) { (void)fileName; }
    virtual void setWaitCursor(bool waiting) = 0;
    // The folder of the running program, ending with a separator.
    virtual QString programFolder() = 0;
    // Opens a file or an address with the desktop's default application.
    virtual bool openDocument(const QString &pathOrUrl) = 0;
    // Hands a web address or a file path to the user's web browser. False when the desktop has
    // no browser for it; nothing is ever shown.
    virtual bool openInBrowser(const QString &addressOrPath) = 0;
    virtual bool startProgram(const QString &path) = 0;
    // The default printer, or, on a machine without one, a PDF file the user names. Null when
    // the user gave no file name or nothing can print; a refusal has then been shown, as a
    // failure of the print of `document` ("de la synthèse", "des bulletins") when a printer
    // exists but does not answer.
    virtual std::unique_ptr<PrintSurface> openPrinter(const QString &document) = 0;

    // Long work: runs `work`, which tells `progress` how far it got and looks there for a stop
    // request between pieces. From the first moment the rest of the program takes no input
    // while its windows keep painting; once the work has lasted about half a second a progress
    // dialog with "Annuler" shows `label` and how far it got. "Annuler" asks the work to stop
    // and waits for it. An exception thrown by the work comes out of this call. The work must
    // not touch windows: it may run on another thread. Here it simply runs.
    virtual void runLongWork(const QString &label, WorkProgress &progress, const std::function<void()> &work)
    {
        (void)label;
        (void)progress;
        work();
    }

    // A choice among `items` (at least one), the one at `proposed` offered first: the index
    // chosen, or -1 when the user cancelled. Without a window to ask in, the proposed item.
    virtual int chooseItem(const QString &text, const QString &title, const QStringList &items, int proposed)
    {
        (void)text;
        (void)title;
        (void)items;
        return proposed;
    }

    // An information box with an OK button, the way every refusal of the program is shown.
    void inform(const QString &text, const QString &title) { message(text, title, Buttons::Ok, Icon::None); }
};

// Shows the wait cursor for as long as it lives.
class WaitCursor
{
public:
    explicit WaitCursor(Platform &platform)
        : platform_(platform)
    {
        platform_.setWaitCursor(true);
    }
    ~WaitCursor() { platform_.setWaitCursor(false); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    Platform &platform_;
};

} // namespace mvx
