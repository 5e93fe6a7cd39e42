#include "support/scripted_platform.h"

namespace mvx::testing {

Platform::Answer ScriptedPlatform::message(const QString &text, const QString &title, Buttons buttons, Icon icon)
{
    messages.push_back({ text, title, buttons, icon });
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
        return Answer::Cancel;
    }
    return Answer::Cancel;
}

QString ScriptedPlatform::saveFileName(const FileDialog &dialog)
{
    fileDialogs.push_back(dialog);
    if (fileNames.empty())
        return {};
    const QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

QString ScriptedPlatform::openFileName(const FileDialog &dialog)
{
    return saveFileName(dialog);
}

void ScriptedPlatform::setWaitCursor(bool waiting)
{
    waitCursorDepth += waiting ? 1 : -1;
    if (waiting)
        ++waitCursorShown;
}

bool ScriptedPlatform::openDocument(const QString &pathOrUrl)
{
    opened.append(pathOrUrl);
    return documentsOpen;
}

bool ScriptedPlatform::openInBrowser(const QString &addressOrPath)
{
    browsed.append(addressOrPath);
    return browserFound;
}

bool ScriptedPlatform::startProgram(const QString &path)
{
    started.append(path);
    return programsStart;
}

std::unique_ptr<PrintSurface> ScriptedPlatform::openPrinter(const QString &)
{
    ++printersOpened;
    if (!printerAvailable)
        return nullptr;
    if (printerFactory)
        return printerFactory();
    return std::make_unique<RecordingPrintSurface>(printer);
}

void ScriptedPlatform::runLongWork(const QString &label, WorkProgress &progress, const std::function<void()> &work)
{
    longWorks.append(label);
    if (stopLongWorkAt)
        progress.requestStopAt(*stopLongWorkAt);
    work();
}

QStringList ScriptedPlatform::messageTexts() const
{
    QStringList texts;
    for (const Asked &a : messages)
        texts.append(a.text);
    return texts;
}

} // namespace mvx::testing
