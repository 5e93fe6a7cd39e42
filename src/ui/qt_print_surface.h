#pragma once

#include "model/print_surface.h"

#include <QFont>
#include <QPainter>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QPrinterInfo;
class QRectF;

namespace mvx {

// A picture the Qt print surface can paint into a page rectangle.
class PaintedPicture : public PrintPicture
{
public:
    virtual void paint(QPainter &painter, const QRectF &target) const = 0;
};

// The print surface on a QPrinter. On a printer each document is its own job, and the print
// system is asked, with a short wait, whether the queue takes jobs before a document is begun
// and whether the job exists once it is sent: a refused job or a server that no longer
// answers is a failure, not a silent loss. Into a PDF
// file the documents follow one another, each from a new page. The PDF is written under a
// hidden temporary name beside the file and put in its place by finish() once it was checked
// whole, so a failure (a full disk, a folder that takes no file) or a stop leaves any earlier
// file as it was and no temporary file.
class QtPrintSurface : public PrintSurface
{
public:
    static std::unique_ptr<QtPrintSurface> toPrinter(const QPrinterInfo &printer);
    static std::unique_ptr<QtPrintSurface> toPdf(const QString &fileName, int resolution = 1200);
    ~QtPrintSurface() override;

    bool beginDocument() override;
    bool endDocument() override;
    void abortDocument() override;
    bool newPage() override;
    bool finish() override;
    QString destination() const override;
    QString failureReason() const override { return reason_; }
    bool deviceSilent() const override { return silent_; }
    void setDocumentTitle(const QString &title) override;

    // Called by finish() once a PDF file is in place, on the thread that finished it.
    void setOnSaved(std::function<void()> onSaved) { onSaved_ = std::move(onSaved); }

    int pageWidth() const override;
    int pageHeight() const override;
    int resolutionX() const override;
    int resolutionY() const override;
    int offsetX() const override;
    int offsetY() const override;

    void setFont(const QString &family, int pointSize, bool bold) override;
    int textWidth(const QString &text) const override;
    int textHeight(const QString &text) const override;
    void drawText(int x, int y, const QString &text) override;
    void drawPicture(int left, int top, int right, int bottom, const PrintPicture &picture) override;

    QPrinter &printer() { return *printer_; }

private:
    QtPrintSurface(std::unique_ptr<QPrinter> printer, bool documentsArePages);
    // In a file, a document after the first starts its page when something is drawn on it,
    // so that a document dropped before any drawing leaves no blank page.
    bool startPendingPage();
    // The PDF's temporary file, created beside the file asked for.
    bool openPart();
    void removePart();
    QString fileNotWrittenReason() const;
    // On a printer: whether its queue takes jobs, asked of the print system before a document is
    // begun, since a document begun there always becomes a job.
    bool queueAccepting();
    // On a printer: whether the document just ended became a job of the queue.
    bool jobCreated();
    bool noAnswer();

    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    QFont font_;
    bool documentsArePages_;
    bool pagePending_ = false;
    // A document of the file was dropped after something was drawn on it: pages cannot be
    // taken back, so the file is not kept.
    bool drawnInDocument_ = false;
    bool spoiled_ = false;
    QString target_; // the PDF file asked for
    QString part_; // the file being written
    QString reason_;
    bool silent_ = false;
    QString title_;
    int lastJobId_ = 0; // the queue's last job of this user before the document
    int jobsSent_ = 0;
    std::function<void()> onSaved_;
};

} // namespace mvx
