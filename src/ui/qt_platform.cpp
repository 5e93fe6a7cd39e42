#include "ui/qt_platform.h"

#include "model/program_folder.h"
#include "print/print_failure.h"
#include "ui/cups_queue.h"
#include "ui/long_work.h"
#include "ui/qt_print_surface.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTranslator>
#include <QUrl>

namespace mvx {

namespace {

// How long the print system may take to name its printers.
constexpr int kPrinterLookupMs = 4000;

QWidget *dialogParent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QMessageBox::Icon boxIcon(Platform::Icon icon)
{
    switch (icon) {
    case Platform::Icon::None:
        return QMessageBox::NoIcon;
    case Platform::Icon::Information:
        return QMessageBox::Information;
    case Platform::Icon::Warning:
        return QMessageBox::Warning;
    case Platform::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// Where a file dialog starts before the user has chosen a file of its kind.
QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

QString qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (i + 1 >= parts.size()) {
            if (!description.isEmpty())
                filters.append(description);
            break;
        }
        QString pattern = parts[i + 1].trimmed();
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        pattern = pattern.simplified();
        // The description often names its pattern already; Qt reads the last bracket as the
        // pattern, so it is replaced rather than repeated.
        const int open = description.lastIndexOf(QLatin1Char('('));
        if (description.endsWith(QLatin1Char(')')) && open >= 0)
            description = description.left(open).trimmed();
        filters.append(
            description.isEmpty() ? pattern : description + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

Platform::Answer QtPlatform::message(const QString &text, const QString &title, Buttons buttons, Icon icon)
{
    QMessageBox::StandardButtons shown = QMessageBox::Ok;
    switch (buttons) {
    case Buttons::Ok:
        shown = QMessageBox::Ok;
        break;
    case Buttons::YesNo:
        shown = QMessageBox::Yes | QMessageBox::No;
        break;
    case Buttons::OkCancel:
        shown = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    }
    // The program's messages break their lines with a carriage return, as the message boxes
    // they were written for did; a Qt label only breaks at a line feed.
    QString shownText = text;
    shownText.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(boxIcon(icon), title, shownText, shown, dialogParent());
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        // Escape or the close box: the answer that lets nothing happen.
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

int QtPlatform::chooseItem(const QString &text, const QString &title, const QStringList &items, int proposed)
{
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(title);
    dialog.setLabelText(text);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    if (proposed >= 0 && proposed < items.size())
        dialog.setTextValue(items[proposed]);
    dialog.setAccessibleName(title);
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return int(items.indexOf(dialog.textValue()));
}

void QtPlatform::beep()
{
    QApplication::beep();
}

QString QtPlatform::runFileDialog(const FileDialog &request, bool save)
{
    QFileDialog dialog(dialogParent(), request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (!save && request.fileMustExist)
        dialog.setFileMode(QFileDialog::ExistingFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.filter.isEmpty())
        dialog.setNameFilter(qtNameFilters(request.filter));
    dialog.setDefaultSuffix(request.defaultExtension);
    const QString kind = request.defaultExtension.isEmpty() ? request.filter : request.defaultExtension.toLower();
    dialog.setDirectory(lastFolders_.value(kind, documentsFolder()));
    // A proposed name such as "*.mvx" only repeats the filter.
    if (!request.proposedName.isEmpty() && !request.proposedName.contains(QLatin1Char('*'))
        && !request.proposedName.contains(QLatin1Char('?')))
        dialog.selectFile(request.proposedName);

    // Qt's dialog accepts a name in a folder that does not exist: the user is told, and the
    // same dialog opens again, still in its folder and with the name as typed.
    while (dialog.exec() == QDialog::Accepted) {
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty())
            return {};
        const QString name = chosen.first();
        const QString folder = QFileInfo(name).absolutePath();
        if (request.pathMustExist && !QFileInfo(folder).isDir()) {
            message(QStringLiteral("Le dossier n'existe pas :\r") + QDir::toNativeSeparators(folder),
                save ? QStringLiteral("Fichier non sauvegardé !!") : QStringLiteral("Problème !!"), Buttons::Ok,
                Icon::Warning);
            continue;
        }
        // An opened file proves its folder; a saved one only once it is written (fileSaved).
        if (save)
            pendingSaves_.insert(name, kind);
        else
            lastFolders_.insert(kind, folder);
        return name;
    }
    return {};
}

QString QtPlatform::saveFileName(const FileDialog &dialog)
{
    return runFileDialog(dialog, true);
}

QString QtPlatform::openFileName(const FileDialog &dialog)
{
    return runFileDialog(dialog, false);
}

void QtPlatform::fileSaved(const QString &fileName)
{
    const auto pending = pendingSaves_.constFind(fileName);
    if (pending == pendingSaves_.constEnd())
        return;
    lastFolders_.insert(pending.value(), QFileInfo(fileName).absolutePath());
    pendingSaves_.erase(pending);
}

void QtPlatform::setWaitCursor(bool waiting)
{
    if (waiting)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtPlatform::runLongWork(const QString &label, WorkProgress &progress, const std::function<void()> &work)
{
    ui::runWithProgress(dialogParent(), label, progress, work);
}

QString QtPlatform::programFolder()
{
    return mvx::programFolder();
}

bool QtPlatform::openDocument(const QString &pathOrUrl)
{
    const QFileInfo file(pathOrUrl);
    const QUrl url = file.exists() ? QUrl::fromLocalFile(file.absoluteFilePath()) : QUrl::fromUserInput(pathOrUrl);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool QtPlatform::openInBrowser(const QString &addressOrPath)
{
    // The desktop's handler for web addresses is the browser the user registered with xdg; a
    // local page goes to the handler of HTML files, which is that same browser on a desktop.
    const QFileInfo file(addressOrPath);
    const QUrl url = file.isFile() ? QUrl::fromLocalFile(file.absoluteFilePath()) : QUrl(addressOrPath);
    return url.isValid() && !url.scheme().isEmpty() && QDesktopServices::openUrl(url);
}

bool QtPlatform::startProgram(const QString &path)
{
    return QProcess::startDetached(path, {}, QFileInfo(path).absolutePath());
}

std::unique_ptr<PrintSurface> QtPlatform::openPrinter(const QString &document)
{
    // Qt's own look-up of the printers waits a minute on a print server that hangs: the print
    // system is asked first, off this thread and with a short wait, behind a dialog with
    // "Annuler"; Qt's look-up then meets a server known to answer.
    WorkProgress progress(1);
    cups::Printers found;
    ui::runWithProgress(dialogParent(), QStringLiteral("Recherche de l'imprimante..."), progress,
        [&] { found = cups::listPrinters(kPrinterLookupMs, [&] { return progress.stopRequested(); }); });
    if (progress.stopRequested())
        return nullptr;
    if (found.answer == cups::Answer::Silent) {
        message(
            printFailureText(document, QStringLiteral("l'imprimante"), QStringLiteral("L'imprimante ne répond pas")),
            printFailureTitle(), Buttons::Ok, Icon::Warning);
        return nullptr;
    }

    QPrinterInfo printer;
    if (found.answer == cups::Answer::Answered && !found.names.isEmpty()) {
        printer = QPrinterInfo::defaultPrinter();
        if (printer.isNull()) {
            const QStringList names = QPrinterInfo::availablePrinterNames();
            if (!names.isEmpty())
                printer = QPrinterInfo::printerInfo(names.first());
        }
    }
    if (!printer.isNull())
        return QtPrintSurface::toPrinter(printer);

    // Without a printer, Qt would print into a PDF file with no name and fail: the print goes
    // to a PDF file the user names instead.
    FileDialog dialog;
    dialog.title = QStringLiteral("Aucune imprimante : enregistrer l'impression en PDF");
    dialog.filter = QStringLiteral("Document PDF (*.pdf)|*.pdf");
    dialog.defaultExtension = QStringLiteral("pdf");
    dialog.confirmOverwrite = true;
    const QString name = saveFileName(dialog);
    if (name.isEmpty())
        return nullptr;
    auto surface = QtPrintSurface::toPdf(name);
    // A long print finishes on the thread of the long work, while this thread only waits for it.
    surface->setOnSaved([this, name] { fileSaved(name); });
    return surface;
}

bool installQtFrenchTranslation(QCoreApplication &application)
{
    auto *translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace mvx
