#include "model/mount_sandbox.h"
#include "print/print_failure.h"
#include "support/recording_print_surface.h"
#include "support/scripted_platform.h"
#include "support/test_data.h"
#include "synth/synthesis_output.h"
#include "ui/qt_print_surface.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

using mvx::QtPrintSurface;
using mvx::testing::MountSandbox;
using mvx::testing::PdfWord;
using mvx::testing::readBytes;
using mvx::testing::readPdfWords;
using mvx::testing::ScriptedPlatform;

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
            QVERIFY(!QFile::exists(file)); // written aside until it is finished
            QVERIFY(surface->finish());
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

    // A PDF that cannot be written is never a print done: the message says what failed and
    // names the file. On a full disk the earlier file stays as it was and no temporary file is
    // left; in a folder that takes no file, nothing is made.
    void aPdfThatCannotBeWrittenIsSaidAndNamed()
    {
        const std::vector<mvx::SynthesisRow> rows(20, { "1", "CHEVAL 2", "5", "41,67" });
        const mvx::PrintPicture chart;
        auto printInto = [&](const QString &file) {
            ScriptedPlatform platform;
            platform.printerFactory = [&] { return QtPrintSurface::toPdf(file, 600); };
            mvx::printSynthesis(rows, chart, platform);
            return platform.messageTexts();
        };
        const QString refused = QStringLiteral("/proc/synthese.pdf");
        QCOMPARE(printInto(refused),
            QStringList { mvx::printFailureText(QString::fromUtf8("de la synthèse"),
                QString::fromUtf8("le fichier « %1 »").arg(refused),
                QString::fromUtf8("Le fichier ne peut pas être créé dans ce dossier")) });

        if (const QString why = MountSandbox::unavailableReason(); !why.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no full disk can be made here: ") + why));
        QTemporaryDir dir;
        const QString disk = dir.filePath(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(disk));
        MountSandbox sandbox;
        if (!sandbox.mountTmpfs(disk, QStringLiteral("mode=0755,size=8k")))
            QSKIP(qPrintable(QStringLiteral("no full disk can be made here: ") + sandbox.lastError()));
        const QString file = disk + QStringLiteral("/synthese.pdf");
        QFile earlier(file);
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
        earlier.close();
        QCOMPARE(printInto(file),
            QStringList { mvx::printFailureText(QString::fromUtf8("de la synthèse"),
                QString::fromUtf8("le fichier « %1 »").arg(file), QStringLiteral("Le disque est plein")) });
        QCOMPARE(readBytes(file), QByteArray("earlier"));
        QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("synthese.pdf") });
    }
};

QTEST_MAIN(QtPrintSurfaceTest)
#include "qt_print_surface_test.moc"
