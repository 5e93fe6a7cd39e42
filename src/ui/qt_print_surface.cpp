#include "ui/qt_print_surface.h"

#include "ui/cups_queue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace mvx {

namespace {

// How long a question to the print system may wait for its answer.
constexpr int kPrintSystemAnswerMs = 4000;

} // namespace

std::unique_ptr<QtPrintSurface> QtPrintSurface::toPrinter(const QPrinterInfo &printer)
{
    auto device = std::make_unique<QPrinter>(printer, QPrinter::HighResolution);
    return std::unique_ptr<QtPrintSurface>(new QtPrintSurface(std::move(device), false));
}

std::unique_ptr<QtPrintSurface> QtPrintSurface::toPdf(const QString &fileName, int resolution)
{
    auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    device->setOutputFormat(QPrinter::PdfFormat);
    device->setResolution(resolution);
    auto surface = std::unique_ptr<QtPrintSurface>(new QtPrintSurface(std::move(device), true));
    surface->target_ = fileName;
    return surface;
}

QtPrintSurface::QtPrintSurface(std::unique_ptr<QPrinter> printer, bool documentsArePages)
    : printer_(std::move(printer))
    , documentsArePages_(documentsArePages)
{ }

// A surface given up before its end sends nothing: the job is dropped, the PDF not kept.
QtPrintSurface::~QtPrintSurface()
{
    if (!painter_.isActive())
        return;
    if (!documentsArePages_)
        printer_->abort();
    painter_.end();
    if (documentsArePages_)
        removePart();
}

bool QtPrintSurface::openPart()
{
    const QFileInfo target(target_);
    // A device or a pipe is written as it is: a rename would put a plain file in its place.
    if (target.exists() && !target.isFile()) {
        part_ = target_;
    } else {
        QTemporaryFile part(
            target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX.pdf"));
        part.setAutoRemove(false);
        if (!part.open()) {
            reason_ = QStringLiteral("Le fichier ne peut pas être créé dans ce dossier");
            return false;
        }
        // A temporary file is private to its owner; the PDF takes the earlier file's permissions
        // or those of a new document.
        part.setPermissions(target.exists()
                ? QFile::permissions(target_)
                : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        part_ = part.fileName();
    }
    printer_->setOutputFileName(part_);
    return true;
}

void QtPrintSurface::removePart()
{
    if (!part_.isEmpty() && part_ != target_)
        QFile::remove(part_);
    part_.clear();
}

void QtPrintSurface::setDocumentTitle(const QString &title)
{
    title_ = title;
    // The documents of a PDF file are its pages: the file takes the first title.
    if (!painter_.isActive())
        printer_->setDocName(title);
}

bool QtPrintSurface::noAnswer()
{
    silent_ = true;
    reason_
        = jobsSent_ > 0 ? QStringLiteral("L'imprimante ne répond plus") : QStringLiteral("L'imprimante ne répond pas");
    return false;
}

bool QtPrintSurface::queueAccepting()
{
    const cups::QueueState queue = cups::queueState(printer_->printerName(), kPrintSystemAnswerMs);
    switch (queue.answer) {
    case cups::Answer::Answered:
        if (!queue.accepting) {
            reason_ = QStringLiteral("L'imprimante refuse les travaux");
            return false;
        }
        lastJobId_ = queue.lastJobId;
        return true;
    case cups::Answer::Refused:
        reason_ = QStringLiteral("L'imprimante a refusé le document");
        return false;
    case cups::Answer::Absent:
    case cups::Answer::Silent:
        break;
    }
    return noAnswer();
}

bool QtPrintSurface::jobCreated()
{
    const cups::JobSearch job = cups::findJob(printer_->printerName(), lastJobId_, title_, kPrintSystemAnswerMs);
    switch (job.answer) {
    case cups::Answer::Answered:
        if (job.found) {
            ++jobsSent_;
            return true;
        }
        break;
    case cups::Answer::Refused:
        break;
    case cups::Answer::Absent:
    case cups::Answer::Silent:
        return noAnswer();
    }
    reason_ = QStringLiteral("L'imprimante a refusé le travail");
    return false;
}

bool QtPrintSurface::beginDocument()
{
    reason_.clear();
    silent_ = false;
    drawnInDocument_ = false;
    if (!documentsArePages_ && !queueAccepting())
        return false;
    if (documentsArePages_ && painter_.isActive()) {
        pagePending_ = true;
        return true;
    }
    if (documentsArePages_ && !openPart())
        return false;
    if (!painter_.begin(printer_.get())) {
        if (documentsArePages_) {
            reason_ = QStringLiteral("Le fichier ne peut pas être créé");
            removePart();
        } else {
            reason_ = QStringLiteral("L'imprimante a refusé le document");
        }
        return false;
    }
    painter_.setFont(font_);
    painter_.setPen(Qt::black);
    return true;
}

bool QtPrintSurface::endDocument()
{
    const bool sent = documentsArePages_ ? painter_.isActive() : painter_.end();
    if (sent && printer_->printerState() != QPrinter::Error)
        return documentsArePages_ || jobCreated();
    reason_ = documentsArePages_ ? fileNotWrittenReason() : QStringLiteral("L'imprimante a signalé une erreur");
    return false;
}

void QtPrintSurface::abortDocument()
{
    if (documentsArePages_) {
        pagePending_ = false;
        spoiled_ = spoiled_ || drawnInDocument_;
        return;
    }
    if (painter_.isActive()) {
        printer_->abort();
        painter_.end();
    }
}

namespace {

// Whole when its data reached the disk and it ends with the PDF trailer.
bool pdfComplete(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return false;
#if defined(Q_OS_UNIX)
    // Some file systems report a full disk only when the data reach it.
    if (::fsync(file.handle()) != 0 && errno != EINVAL)
        return false;
#endif
    // The trailer gives where the cross-reference table starts: a file that lost bytes on the way
    // has no table there, though small writes at its end may still have found room.
    if (!file.seek(std::max<qint64>(0, file.size() - 64)))
        return false;
    const QByteArray tail = file.read(64);
    const qsizetype start = tail.lastIndexOf("startxref");
    if (start < 0 || !tail.mid(start).contains("%%EOF"))
        return false;
    bool ok = false;
    const qint64 table = tail.mid(start + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    return ok && table >= 0 && table < file.size() && file.seek(table) && file.read(4) == "xref";
}

} // namespace

QString QtPrintSurface::fileNotWrittenReason() const
{
    const QStorageInfo disk(QFileInfo(target_).absolutePath());
    if (disk.isValid() && disk.bytesAvailable() < 64 * 1024)
        return QStringLiteral("Le disque est plein");
    return QStringLiteral("Le fichier n'a pas pu être écrit en entier");
}

bool QtPrintSurface::finish()
{
    if (!documentsArePages_ || !painter_.isActive())
        return true;
    const bool ended = painter_.end();
    if (spoiled_) {
        removePart();
        return true;
    }
    // A device written in place cannot be read back.
    const bool device = part_ == target_;
    if (!ended || printer_->printerState() == QPrinter::Error || (!device && !pdfComplete(part_))) {
        reason_ = fileNotWrittenReason();
        removePart();
        return false;
    }
    // rename() replaces an earlier file in one step.
    if (!device && std::rename(QFile::encodeName(part_).constData(), QFile::encodeName(target_).constData()) != 0) {
        reason_ = QStringLiteral("Le fichier ne peut pas prendre la place de l'ancien");
        removePart();
        return false;
    }
    part_.clear();
    if (onSaved_)
        onSaved_();
    return true;
}

QString QtPrintSurface::destination() const
{
    if (documentsArePages_)
        return QStringLiteral("le fichier « %1 »").arg(QDir::toNativeSeparators(target_));
    const QString name = printer_->printerName();
    return name.isEmpty() ? QStringLiteral("l'imprimante") : QStringLiteral("l'imprimante « %1 »").arg(name);
}

bool QtPrintSurface::startPendingPage()
{
    if (!pagePending_)
        return true;
    pagePending_ = false;
    return printer_->newPage();
}

bool QtPrintSurface::newPage()
{
    return startPendingPage() && printer_->newPage();
}

int QtPrintSurface::pageWidth() const
{
    return printer_->width();
}

int QtPrintSurface::pageHeight() const
{
    return printer_->height();
}

int QtPrintSurface::resolutionX() const
{
    return printer_->logicalDpiX();
}

int QtPrintSurface::resolutionY() const
{
    return printer_->logicalDpiY();
}

int QtPrintSurface::offsetX() const
{
    return qRound(printer_->pageRect(QPrinter::DevicePixel).left() - printer_->paperRect(QPrinter::DevicePixel).left());
}

int QtPrintSurface::offsetY() const
{
    return qRound(printer_->pageRect(QPrinter::DevicePixel).top() - printer_->paperRect(QPrinter::DevicePixel).top());
}

void QtPrintSurface::setFont(const QString &family, int pointSize, bool bold)
{
    font_ = QFont(family, pointSize, bold ? QFont::Bold : QFont::Normal);
    // A face the machine lacks falls to one of the same kind ("Courier" to a fixed pitch).
    if (family.contains(QLatin1String("Courier"), Qt::CaseInsensitive)) {
        font_.setStyleHint(QFont::TypeWriter);
        // The hint alone picks the desktop's monospace face; Liberation Mono keeps Courier's metrics.
        font_.setFamilies({ family, QStringLiteral("Liberation Mono") });
    } else if (family.contains(QLatin1String("Times"), Qt::CaseInsensitive)) {
        font_.setStyleHint(QFont::Serif);
    }
    if (painter_.isActive())
        painter_.setFont(font_);
}

int QtPrintSurface::textWidth(const QString &text) const
{
    return QFontMetrics(font_, printer_.get()).horizontalAdvance(text);
}

int QtPrintSurface::textHeight(const QString &) const
{
    return QFontMetrics(font_, printer_.get()).height();
}

void QtPrintSurface::drawText(int x, int y, const QString &text)
{
    startPendingPage();
    drawnInDocument_ = true;
    painter_.drawText(QPoint(x, y + QFontMetrics(font_, printer_.get()).ascent()), text);
}

void QtPrintSurface::drawPicture(int left, int top, int right, int bottom, const PrintPicture &picture)
{
    startPendingPage();
    drawnInDocument_ = true;
    if (const auto *painted = dynamic_cast<const PaintedPicture *>(&picture)) {
        painter_.save();
        painted->paint(painter_, QRectF(left, top, right - left, bottom - top));
        painter_.restore();
    }
}

} // namespace mvx
