#include "support/recording_print_surface.h"

#include <QProcess>
#include <QRegularExpression>

#include <cmath>

namespace mvx::testing {

namespace {

PrintCall call(PrintCall::Kind kind, int x = 0, int y = 0, int right = 0, int bottom = 0, const QString &text = {})
{
    return { kind, x, y, right, bottom, text };
}

} // namespace

QStringList PrintDevice::lines() const
{
    QStringList out;
    for (const PrintCall &c : calls) {
        switch (c.kind) {
        case PrintCall::Kind::BeginDocument:
            out.append(QStringLiteral("begin"));
            break;
        case PrintCall::Kind::EndDocument:
            out.append(QStringLiteral("end"));
            break;
        case PrintCall::Kind::AbortDocument:
            out.append(QStringLiteral("abort"));
            break;
        case PrintCall::Kind::NewPage:
            out.append(QStringLiteral("page"));
            break;
        case PrintCall::Kind::SetFont:
            out.append(
                QStringLiteral("font %1 %2%3").arg(c.text).arg(c.x).arg(c.y ? QStringLiteral(" bold") : QString()));
            break;
        case PrintCall::Kind::DrawText:
            out.append(QStringLiteral("text %1,%2 %3").arg(c.x).arg(c.y).arg(c.text));
            break;
        case PrintCall::Kind::DrawPicture:
            out.append(QStringLiteral("picture %1,%2 %3,%4").arg(c.x).arg(c.y).arg(c.right).arg(c.bottom));
            break;
        }
    }
    return out;
}

QStringList PrintDevice::texts() const
{
    QStringList out;
    for (const PrintCall &c : calls)
        if (c.kind == PrintCall::Kind::DrawText)
            out.append(QStringLiteral("%1,%2 %3").arg(c.x).arg(c.y).arg(c.text));
    return out;
}

int PrintDevice::count(PrintCall::Kind kind) const
{
    int n = 0;
    for (const PrintCall &c : calls)
        n += c.kind == kind;
    return n;
}

bool RecordingPrintSurface::beginDocument()
{
    ++device_.documentsBegun;
    if (device_.failingDocument == device_.documentsBegun)
        return false;
    device_.calls.push_back(call(PrintCall::Kind::BeginDocument));
    device_.titles.append(title_);
    return true;
}

bool RecordingPrintSurface::endDocument()
{
    device_.calls.push_back(call(PrintCall::Kind::EndDocument));
    return device_.failingEnd != device_.documentsBegun;
}

bool RecordingPrintSurface::finish()
{
    ++device_.finishes;
    return !device_.failingFinish;
}

void RecordingPrintSurface::abortDocument()
{
    device_.calls.push_back(call(PrintCall::Kind::AbortDocument));
}

bool RecordingPrintSurface::newPage()
{
    device_.calls.push_back(call(PrintCall::Kind::NewPage));
    return true;
}

void RecordingPrintSurface::setFont(const QString &family, int pointSize, bool bold)
{
    pointSize_ = pointSize;
    device_.calls.push_back(call(PrintCall::Kind::SetFont, pointSize, bold ? 1 : 0, 0, 0, family));
}

int RecordingPrintSurface::charWidth(int pointSize, int resolution)
{
    return static_cast<int>(std::lround(pointSize * resolution / 72.0 * 0.6));
}

int RecordingPrintSurface::lineHeight(int pointSize, int resolution)
{
    return static_cast<int>(std::lround(pointSize * resolution / 72.0 * 1.15));
}

int RecordingPrintSurface::textWidth(const QString &text) const
{
    return static_cast<int>(text.size()) * charWidth(pointSize_, device_.resolutionX);
}

int RecordingPrintSurface::textHeight(const QString &) const
{
    return lineHeight(pointSize_, device_.resolutionY);
}

void RecordingPrintSurface::drawText(int x, int y, const QString &text)
{
    device_.calls.push_back(call(PrintCall::Kind::DrawText, x, y, 0, 0, text));
}

void RecordingPrintSurface::drawPicture(int left, int top, int right, int bottom, const PrintPicture &)
{
    device_.calls.push_back(call(PrintCall::Kind::DrawPicture, left, top, right, bottom));
}

std::vector<PdfWord> readPdfWords(const QString &pdfFile)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdfFile, QStringLiteral("-") });
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());

    static const QRegularExpression tag(QStringLiteral(
        R"re(<page\b|<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re"));
    std::vector<PdfWord> words;
    int page = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&quot;"), QLatin1String("\""))
            .replace(QLatin1String("&apos;"), QLatin1String("'"))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
        words.push_back({ text, page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
            m.captured(4).toDouble() });
    }
    return words;
}

} // namespace mvx::testing
