#include "support/recording_print_surface.h"
#include "ui/qt_print_surface.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

using mvx::QtPrintSurface;
using mvx::testing::PdfWord;
using mvx::testing::readPdfWords;

class QtPrintSurfaceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Texts land where they were placed, measured from the printable area; each document of a
    // file starts a page, and a dropped document leaves no page behind.
    void pdfDocumentsArePagesAndTextsLandAtTheirPositions()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("out.pdf"));
        int offsetX = 0;
        {
            auto surface = QtPrintSurface::toPdf(file, 600);
            QCOMPARE(surface->resolutionX(), 600);
            offsetX = surface->offsetX();
            QVERIFY(offsetX > 0); // the PDF printer keeps its default margins
            QVERIFY(surface->beginDocument());
            surface->setFont(QStringLiteral("Courier"), 13, true);
            QVERIFY(surface->textHeight(QStringLiteral("X")) > 0);
            surface->drawText(1200, 600, QStringLiteral("ALPHA"));
            QVERIFY(surface->endDocument());
            QVERIFY(surface->beginDocument());
            surface->abortDocument();
            QVERIFY(surface->beginDocument());
            surface->drawText(600, 1200, QStringLiteral("BETA"));
            QVERIFY(surface->endDocument());
        }
        const std::vector<PdfWord> words = readPdfWords(file);
        QCOMPARE(int(words.size()), 2);
        QCOMPARE(words[0].text, QStringLiteral("ALPHA"));
        QCOMPARE(words[0].page, 1);
        QCOMPARE(words[1].text, QStringLiteral("BETA"));
        QCOMPARE(words[1].page, 2);
        // 600 dots are one inch, 72 points; the pen starts at x.
        QVERIFY(qAbs(words[0].xMin - (1200 + offsetX) * 72.0 / 600) < 1.5);
        QVERIFY(qAbs(words[1].xMin - (600 + offsetX) * 72.0 / 600) < 1.5);
    }
};

QTEST_MAIN(QtPrintSurfaceTest)
#include "qt_print_surface_test.moc"
