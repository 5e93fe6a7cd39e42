#pragma once

#include "model/print_surface.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace mvx::testing {

// What a recording print surface was asked, in device units.
struct PrintCall
{
    enum class Kind
    {
        BeginDocument,
        EndDocument,
        AbortDocument,
        NewPage,
        SetFont,
        DrawText,
        DrawPicture
    };
    Kind kind;
    int x = 0; // text: left; picture: left; font: point size
    int y = 0; // text: top; picture: top; font: 1 when bold
    int right = 0; // picture only
    int bottom = 0; // picture only
    QString text; // text drawn, or the font's family
};

// The recorded device: its page and the calls made on it, shared by every surface opened on it.
struct PrintDevice
{
    int pageWidth = 4760; // an A4 sheet at 600 dpi less 10 points of margin all round
    int pageHeight = 6850;
    int resolutionX = 600;
    int resolutionY = 600;
    int offsetX = 83;
    int offsetY = 83;
    // The device refuses the document with this 1-based number (0: never).
    int failingDocument = 0;
    // The device fails the end of the document with this number, or the finish of the output.
    int failingEnd = 0;
    bool failingFinish = false;
    QString failureReason = QStringLiteral("le papier manque");
    // The failures above are the device no longer answering.
    bool failureSilent = false;
    QStringList titles; // the title of each document begun
    int finishes = 0;

    std::vector<PrintCall> calls;
    int documentsBegun = 0;

    // One line per call: "begin", "end", "abort", "page", "font Times New Roman 24",
    // "font Courier 13 bold", "text 10,50 SYNTHESE", "picture 50,300 4710,900".
    QStringList lines() const;
    // The drawn texts only, as "x,y text".
    QStringList texts() const;
    int count(PrintCall::Kind kind) const;
};

// Metrics are simple functions of the font size and the resolution, so tests can compute
// the positions a routine must reach: a character is 0.6 em wide, a line 1.15 em high.
class RecordingPrintSurface : public PrintSurface
{
public:
    explicit RecordingPrintSurface(PrintDevice &device)
        : device_(device)
    { }

    bool beginDocument() override;
    bool endDocument() override;
    void abortDocument() override;
    bool newPage() override;
    bool finish() override;
    QString destination() const override { return QStringLiteral("l'imprimante « Enregistreuse »"); }
    QString failureReason() const override { return device_.failureReason; }
    bool deviceSilent() const override { return device_.failureSilent; }
    void setDocumentTitle(const QString &title) override { title_ = title; }

    int pageWidth() const override { return device_.pageWidth; }
    int pageHeight() const override { return device_.pageHeight; }
    int resolutionX() const override { return device_.resolutionX; }
    int resolutionY() const override { return device_.resolutionY; }
    int offsetX() const override { return device_.offsetX; }
    int offsetY() const override { return device_.offsetY; }

    void setFont(const QString &family, int pointSize, bool bold) override;
    int textWidth(const QString &text) const override;
    int textHeight(const QString &text) const override;
    void drawText(int x, int y, const QString &text) override;
    void drawPicture(int left, int top, int right, int bottom, const PrintPicture &picture) override;

    static int charWidth(int pointSize, int resolution);
    static int lineHeight(int pointSize, int resolution);

private:
    PrintDevice &device_;
    int pointSize_ = 10;
    QString title_;
};

// The words of a PDF file with their boxes in points, as `pdftotext -bbox` reads them.
struct PdfWord
{
    QString text;
    int page = 0; // 1-based
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};
std::vector<PdfWord> readPdfWords(const QString &pdfFile);

} // namespace mvx::testing
