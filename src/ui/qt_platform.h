#pragma once

#include "model/platform.h"

#include <QString>

namespace mvx {

// The desktop side of Platform: Qt message boxes, file dialogs, cursor, beep and the shell.
// Dialogs open over the window that is active when they are asked for.
class QtPlatform : public Platform
{
public:
    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    void beep() override;
    QString saveFileName(const FileDialog &dialog) override;
    QString openFileName(const FileDialog &dialog) override;
    void setWaitCursor(bool waiting) override;
    QString programFolder() override;
    bool openDocument(const QString &pathOrUrl) override;
    bool openInBrowser(const QString &addressOrPath) override;
    bool startProgram(const QString &path) override;
    std::unique_ptr<PrintSurface> openPrinter() override;
};

// The filter of a file dialog, "description|pattern" pairs separated by "|", in Qt's
// "description (pattern)" form, pairs joined by ";;". Patterns listed with ";" get blanks.
QString qtNameFilters(const QString &filter);

} // namespace mvx
