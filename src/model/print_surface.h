#pragma once

#include <QString>

namespace mvx {

// Something drawn into a rectangle of a printed page (the synthesis chart). The print surface
// that receives it knows how to paint it; a recording surface only notes its rectangle.
class PrintPicture
{
public:
    virtual ~PrintPicture() = default;
};

// A page-oriented printing device, in device units (dots). Every print routine computes its
// positions and calls these, so a test can record them and the program can send them to a
// printer or a PDF file.
//
// Positions are measured from the top-left corner of the printable area; a text is placed by
// the top-left corner of its box. A surface may hold several documents in turn: on a printer
// each is its own print job, in a file each starts on a new page. Whoever opened the surface
// calls finish() once the last document is ended; begin, draw, end and finish happen on one
// thread, which may be another than the one that opened it.
class PrintSurface
{
public:
    virtual ~PrintSurface() = default;

    // Starts a document; false when the device refuses (the routine then stops).
    virtual bool beginDocument() = 0;
    // Sends the document; false when the device reported a failure.
    virtual bool endDocument() = 0;
    // Drops the document begun last, so that nothing of it comes out.
    virtual void abortDocument() = 0;
    virtual bool newPage() = 0;
    // Completes the output once the last document is ended: a file is written whole and put in
    // place. False when the output did not come out; failureReason() may say why.
    virtual bool finish() { return true; }

    // Where the output goes, as a message names it: "l'imprimante « X »", "le fichier « F »".
    virtual QString destination() const { return QStringLiteral("l'imprimante"); }
    // What went wrong with the last refused document or the finish, when the device said; a
    // sentence in French, or empty.
    virtual QString failureReason() const { return {}; }
    // The last failure was the device no longer answering (a print server that stopped or hangs):
    // failureReason() then says so, and what did come out is all there is.
    virtual bool deviceSilent() const { return false; }
    // The title of the documents begun from now on: the job's name in the print queue.
    virtual void setDocumentTitle(const QString &title) { (void)title; }

    // The printable area.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    // Dots per inch in each direction.
    virtual int resolutionX() const = 0;
    virtual int resolutionY() const = 0;
    // From the sheet's physical top-left corner to the printable area's, in dots.
    virtual int offsetX() const = 0;
    virtual int offsetY() const = 0;

    virtual void setFont(const QString &family, int pointSize, bool bold) = 0;
    virtual int textWidth(const QString &text) const = 0;
    virtual int textHeight(const QString &text) const = 0;
    virtual void drawText(int x, int y, const QString &text) = 0;
    virtual void drawPicture(int left, int top, int right, int bottom, const PrintPicture &picture) = 0;
};

} // namespace mvx
