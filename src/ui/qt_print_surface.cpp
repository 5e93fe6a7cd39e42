#include "ui/qt_print_surface.h"

#include <QFontMetrics>
#include <QPrinter>
#include <QPrinterInfo>

namespace mvx {

std::unique_ptr<QtPrintSurface> QtPrintSurface::toPrinter(const QPrinterInfo &printer)
{
    auto device = std::make_unique<QPrinter>(printer, QPrinter::HighResolution);
    return std::unique_ptr<QtPrintSurface>(new QtPrintSurface(std::move(device), false));
}

std::unique_ptr<QtPrintSurface> QtPrintSurface::toPdf(const QString &fileName, int resolution)
{
    auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    device->setOutputFormat(QPrinter::PdfFormat);
    device->setOutputFileName(fileName);
    device->setResolution(resolution);
    return std::unique_ptr<QtPrintSurface>(new QtPrintSurface(std::move(device), true));
}

QtPrintSurface::QtPrintSurface(std::unique_ptr<QPrinter> printer, bool documentsArePages)
    : printer_(std::move(printer))
    , documentsArePages_(documentsArePages)
{ }

QtPrintSurface::~QtPrintSurface()
{
    if (painter_.isActive())
        painter_.end();
}

bool QtPrintSurface::beginDocument()
{
    if (documentsArePages_ && painter_.isActive()) {
        pagePending_ = true;
        return true;
    }
    if (!painter_.begin(printer_.get()))
        return false;
    painter_.setFont(font_);
    painter_.setPen(Qt::black);
    return true;
}

bool QtPrintSurface::endDocument()
{
    if (documentsArePages_)
        return painter_.isActive() && printer_->printerState() != QPrinter::Error;
    const bool sent = painter_.end();
    return sent && printer_->printerState() != QPrinter::Error;
}

void QtPrintSurface::abortDocument()
{
    if (documentsArePages_) {
        pagePending_ = false;
        return;
    }
    if (painter_.isActive()) {
        printer_->abort();
        painter_.end();
    }
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
    painter_.drawText(QPoint(x, y + QFontMetrics(font_, printer_.get()).ascent()), text);
}

void QtPrintSurface::drawPicture(int left, int top, int right, int bottom, const PrintPicture &picture)
{
    startPendingPage();
    if (const auto *painted = dynamic_cast<const PaintedPicture *>(&picture)) {
        painter_.save();
        painted->paint(painter_, QRectF(left, top, right - left, bottom - top));
        painter_.restore();
    }
}

} // namespace mvx
