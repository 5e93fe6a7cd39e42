#pragma once

#include "print/print_surface.h"

#include <QFont>
#include <QPainter>
#include <QString>

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

// The print surface on a QPrinter. On a printer each document is its own job; into a PDF
// file the documents follow one another, each from a new page, and the file is complete when
// the surface is destroyed.
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

    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    QFont font_;
    bool documentsArePages_;
    bool pagePending_ = false;
};

} // namespace mvx
