#pragma once

#include "model/platform.h"
#include "support/recording_print_surface.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace mvx::testing {

// A platform that records what the program asked and answers from queues. A question with no
// scripted answer gets the safe answer (No, Cancel, an empty file name), so a forgotten
// answer never blocks a test.
class ScriptedPlatform : public Platform
{
public:
    struct Asked
    {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };

    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    // Answers from `choices` (an index, -1 to cancel); without one, the proposed item.
    int chooseItem(const QString &text, const QString &title, const QStringList &items, int proposed) override
    {
        asksToChoose.push_back(Choice { text, title, items });
        if (choices.empty())
            return proposed;
        const int chosen = choices.front();
        choices.pop_front();
        return chosen;
    }
    void beep() override { ++beeps; }
    QString saveFileName(const FileDialog &dialog) override;
    QString openFileName(const FileDialog &dialog) override;
    void fileSaved(const QString &fileName) override { savedFiles.append(fileName); }
    void setWaitCursor(bool waiting) override;
    QString programFolder() override { return folder; }
    bool openDocument(const QString &pathOrUrl) override;
    bool openInBrowser(const QString &addressOrPath) override;
    bool startProgram(const QString &path) override;
    // A recording surface on `printer`, or what printerFactory makes (a real PDF, say);
    // null when printerAvailable is false, as when the user declines to name a PDF file.
    std::unique_ptr<PrintSurface> openPrinter(const QString &document) override;
    // Long work runs at once, on the calling thread. With stopLongWorkAt, "Annuler" takes effect
    // once the work has reported that much done (0: before it starts).
    void runLongWork(const QString &label, WorkProgress &progress, const std::function<void()> &work) override;

    struct Choice
    {
        QString text;
        QString title;
        QStringList items;
    };

    // Scripted answers, taken in order.
    std::deque<Answer> answers;
    std::deque<int> choices;
    std::deque<QString> fileNames;
    QString folder;
    bool documentsOpen = true;
    bool browserFound = true;
    bool programsStart = true;
    bool printerAvailable = true;
    std::function<std::unique_ptr<PrintSurface>()> printerFactory;
    std::optional<std::uint64_t> stopLongWorkAt;

    // What was asked.
    std::vector<Asked> messages;
    std::vector<Choice> asksToChoose;
    std::vector<FileDialog> fileDialogs;
    QStringList opened;
    QStringList browsed;
    QStringList started;
    int beeps = 0;
    PrintDevice printer;
    int printersOpened = 0;
    int waitCursorDepth = 0;
    int waitCursorShown = 0;
    QStringList longWorks; // the label of each
    QStringList savedFiles; // told written after a save dialog

    QStringList messageTexts() const;
};

} // namespace mvx::testing
