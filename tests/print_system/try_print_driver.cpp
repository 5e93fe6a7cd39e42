// Drives the real print dialog and print routines, with the desktop platform, against the
// private print server scripts/try-print.sh starts: every job is looked up on the server and
// every PDF the virtual printer wrote is read back. The server is named by CUPS_SERVER, the
// queue by TRY_PRINT_QUEUE, the virtual printer's output folder by TRY_PRINT_OUTPUT, and
// TRY_PRINT_SIGNAL_SERVER is a command taking a signal name (STOP, CONT, TERM) for the server.

#include "arrival/ticket_list_print.h"
#include "model/game_state.h"
#include "model/ticket_list.h"
#include "slips/slip_layouts.h"
#include "support/recording_print_surface.h"
#include "synth/synthesis_output.h"
#include "ui/Uimprime.h"
#include "ui/qt_platform.h"
#include "ui/qt_print_surface.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cups/cups.h>

#include <deque>
#include <functional>
#include <memory>

using namespace mvx;
using mvx::testing::PdfWord;
using mvx::testing::readPdfWords;

namespace {

QString env(const char *name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

struct Job
{
    int id;
    QString title;
    ipp_jstate_t state;
};

std::vector<Job> jobsOfQueue()
{
    cups_job_t *jobs = nullptr;
    const int n
        = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, env("TRY_PRINT_QUEUE").toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    std::vector<Job> out;
    for (int i = 0; i < n; ++i)
        out.push_back({ jobs[i].id, QString::fromUtf8(jobs[i].title), jobs[i].state });
    cupsFreeJobs(n, jobs);
    std::sort(out.begin(), out.end(), [](const Job &a, const Job &b) { return a.id < b.id; });
    return out;
}

void signalServer(const char *signal)
{
    QProcess::execute(QStringLiteral("sh"),
        { QStringLiteral("-c"), env("TRY_PRINT_SIGNAL_SERVER") + QLatin1Char(' ') + QLatin1String(signal) });
}

// A dark blob of a rendered page (a mark), by the centre of its box, in millimetres from the
// sheet's top-left corner.
struct Ink
{
    double x, y;
};

// The virtual printer's PDFs hold their text as drawings (no words to read back): the pages are
// rendered and their marks found as blobs of dark pixels. One list per page.
std::vector<std::vector<Ink>> inkOfPages(const QString &pdf)
{
    constexpr int dpi = 150;
    QTemporaryDir dir;
    QProcess::execute(QStringLiteral("pdftoppm"),
        { QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dpi), pdf,
            dir.filePath(QStringLiteral("p")) });
    std::vector<std::vector<Ink>> pages;
    for (const QString &name : QDir(dir.path()).entryList({ QStringLiteral("p-*.pgm") }, QDir::Files, QDir::Name)) {
        const QImage page(dir.filePath(name));
        const int w = page.width(), h = page.height();
        std::vector<char> seen(std::size_t(w) * std::size_t(h), 0);
        auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
        std::vector<Ink> blobs;
        for (int y0 = 0; y0 < h; ++y0)
            for (int x0 = 0; x0 < w; ++x0) {
                if (seen[std::size_t(y0) * w + x0] || !dark(x0, y0))
                    continue;
                int left = x0, right = x0, top = y0, bottom = y0;
                std::vector<QPoint> todo { { x0, y0 } };
                seen[std::size_t(y0) * w + x0] = 1;
                while (!todo.empty()) {
                    const QPoint p = todo.back();
                    todo.pop_back();
                    left = std::min(left, p.x()), right = std::max(right, p.x());
                    top = std::min(top, p.y()), bottom = std::max(bottom, p.y());
                    for (const QPoint &d : { QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1) }) {
                        const QPoint n = p + d;
                        if (n.x() >= 0 && n.y() >= 0 && n.x() < w && n.y() < h && !seen[std::size_t(n.y()) * w + n.x()]
                            && dark(n.x(), n.y())) {
                            seen[std::size_t(n.y()) * w + n.x()] = 1;
                            todo.push_back(n);
                        }
                    }
                }
                blobs.push_back({ (left + right + 1) / 2.0 * 25.4 / dpi, (top + bottom + 1) / 2.0 * 25.4 / dpi });
            }
        pages.push_back(blobs);
    }
    return pages;
}

class Picture : public PaintedPicture
{
public:
    void paint(QPainter &painter, const QRectF &target) const override
    {
        painter.drawRect(target.adjusted(10, 10, -10, -10));
    }
};

} // namespace

class TryPrint : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void slipsAllAtOnce();
    void slipsOneAtATimeWithCancel();
    void listAndSynthesis();
    void aRejectingQueueIsReported();
    void aHungServerIsReportedWithinSeconds();
    void aServerStoppedMidRunIsReported();

private:
    // Answers the message boxes of the desktop platform as they open, from `answers` (then OK),
    // and notes their texts; `beforeAnswer` runs before the answer with the box's number.
    void answerBoxes();
    void makeReference();
    void printSlips(int printMode, int first, int last);
    // The jobs that appeared since init(), once the server has done with them.
    std::vector<Job> newJobs();
    // The PDFs the virtual printer wrote since init(), oldest first.
    QStringList newPdfs(int expected);
    // The marks of a slip the virtual printer wrote, each within 0.5 mm of the same mark of the
    // slip printed into a PDF file, whose marks were read back at their boxes.
    void checkSlipMarks(const QString &pdf, int ticket);

    GameState state;
    QtPlatform platform;
    std::unique_ptr<Tfimprime> dialog;
    std::deque<QMessageBox::StandardButton> answers;
    std::function<void(int)> beforeAnswer;
    QStringList boxes;
    int lastJobBefore = 0;
    QStringList pdfsBefore;
    QTimer watcher;
    QTemporaryDir scratch;
    std::vector<std::vector<Ink>> reference; // the marks of slips 1 to 3 printed into a file
};

void TryPrint::initTestCase()
{
    if (env("TRY_PRINT_QUEUE").isEmpty())
        QSKIP("run by scripts/try-print.sh, which starts the print server");
    for (int h = 1; h <= kMaxHorses; ++h)
        state.selection.otherHorses[std::size_t(h)] = h;
    state.tickets = TicketList::stored({ 5, 0 }, 3);
    for (int t = 1; t <= 3; ++t) {
        std::string letters;
        for (int p = 0; p < 5; ++p)
            letters += char('A' + (t - 1 + 3 * p) % kMaxHorses);
        state.tickets.append(letters);
    }
    connect(&watcher, &QTimer::timeout, this, &TryPrint::answerBoxes);
    watcher.start(50);
    makeReference();
}

void TryPrint::init()
{
    answers.clear();
    beforeAnswer = nullptr;
    boxes.clear();
    const std::vector<Job> jobs = jobsOfQueue();
    lastJobBefore = jobs.empty() ? 0 : jobs.back().id;
    pdfsBefore = QDir(env("TRY_PRINT_OUTPUT")).entryList({ QStringLiteral("*.pdf") }, QDir::Files);
    dialog = std::make_unique<Tfimprime>(state, platform);
}

void TryPrint::answerBoxes()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || box->property("answered").toBool())
        return;
    box->setProperty("answered", true);
    boxes.append(box->text());
    if (beforeAnswer)
        beforeAnswer(int(boxes.size()));
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    QTimer::singleShot(0, box, [box, answer] { box->button(answer)->click(); });
}

void TryPrint::printSlips(int printMode, int first, int last)
{
    dialog->show();
    QTest::mouseClick(
        dialog->findChild<QRadioButton *>(printMode == 1 ? QStringLiteral("bimptsbull") : QStringLiteral("bimpunbull")),
        Qt::LeftButton);
    dialog->findChild<QLineEdit *>(QStringLiteral("Gpremier"))->setText(QString::number(first));
    dialog->findChild<QLineEdit *>(QStringLiteral("gdernier"))->setText(QString::number(last));
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("boutlancer")), Qt::LeftButton);
}

std::vector<Job> TryPrint::newJobs()
{
    std::vector<Job> jobs;
    QElapsedTimer clock;
    clock.start();
    do {
        jobs.clear();
        bool busy = false;
        for (const Job &job : jobsOfQueue()) {
            if (job.id > lastJobBefore)
                jobs.push_back(job);
            busy = busy || (job.id > lastJobBefore && job.state < IPP_JSTATE_STOPPED);
        }
        if (!busy)
            break;
        QTest::qWait(200);
    } while (clock.elapsed() < 60000);
    return jobs;
}

QStringList TryPrint::newPdfs(int expected)
{
    QStringList pdfs;
    QElapsedTimer clock;
    clock.start();
    do {
        QDir out(env("TRY_PRINT_OUTPUT"));
        pdfs.clear();
        for (const QFileInfo &file :
            out.entryInfoList({ QStringLiteral("*.pdf") }, QDir::Files, QDir::Time | QDir::Reversed))
            if (!pdfsBefore.contains(file.fileName()))
                pdfs.append(file.absoluteFilePath());
        if (pdfs.size() >= expected)
            break;
        QTest::qWait(200);
    } while (clock.elapsed() < 60000);
    return pdfs;
}

// The reference: slips 1 to 3 printed into a PDF file, where the words can be read back: every
// mark within half a millimetre of its box.
void TryPrint::makeReference()
{
    const QString file = scratch.filePath(QStringLiteral("reference.pdf"));
    {
        const auto surface = QtPrintSurface::toPdf(file, 600);
        SlipRun run;
        run.lastTicket = 3;
        QCOMPARE(mvx::printSlips(state, run, *surface, platform).slipsSent, 3);
        QVERIFY(surface->finish());
    }
    const std::vector<PdfWord> words = readPdfWords(file);
    QCOMPARE(int(words.size()), 15);
    const double halfMm = 72 / 25.4 / 2;
    for (int t = 1; t <= 3; ++t)
        for (int p = 1; p <= 5; ++p) {
            const int horse = ticketHorse(state.selection, state.tickets.layout(), state.tickets.ticket(t), p);
            const SlipPosition cm = horseMark(slipLayout(1), horse, p, 1);
            const double x = cm.x / 2.54 * 72, y = cm.y / 2.54 * 72;
            QVERIFY(std::any_of(words.begin(), words.end(), [&](const PdfWord &w) {
                return w.page == t && w.text == QStringLiteral("X") && qAbs(w.xMin - x) <= halfMm
                    && qAbs(w.yMin - y) <= halfMm;
            }));
        }
    reference = inkOfPages(file);
    QCOMPARE(int(reference.size()), 3);
}

void TryPrint::checkSlipMarks(const QString &pdf, int ticket)
{
    const std::vector<std::vector<Ink>> pages = inkOfPages(pdf);
    QCOMPARE(int(pages.size()), 1);
    const std::vector<Ink> &expected = reference[std::size_t(ticket - 1)];
    QCOMPARE(pages[0].size(), expected.size());
    double worst = 0;
    for (const Ink &mark : expected) {
        double nearest = 1e9;
        for (const Ink &ink : pages[0])
            nearest = std::min(nearest, std::max(qAbs(ink.x - mark.x), qAbs(ink.y - mark.y)));
        worst = std::max(worst, nearest);
        QVERIFY2(nearest <= 0.5,
            qPrintable(QStringLiteral("%1: no mark within 0.5 mm of %2,%3 mm").arg(pdf).arg(mark.x).arg(mark.y)));
    }
    qInfo("%s: %d marks on 1 page, the farthest %.2f mm from its place", qPrintable(QFileInfo(pdf).fileName()),
        int(expected.size()), worst);
}

// Three slips at once: three jobs with their titles, three one-page PDFs, the marks in place.
void TryPrint::slipsAllAtOnce()
{
    printSlips(1, 1, 3);
    QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('|'))));
    const std::vector<Job> jobs = newJobs();
    QCOMPARE(int(jobs.size()), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(jobs[std::size_t(i)].title, QString::fromUtf8("Marovellix+ — bulletin %1 sur 3").arg(i + 1));
        QCOMPARE(jobs[std::size_t(i)].state, IPP_JSTATE_COMPLETED);
    }
    const QStringList pdfs = newPdfs(3);
    QCOMPARE(pdfs.size(), 3);
    for (int i = 0; i < 3; ++i)
        checkSlipMarks(pdfs[i], i + 1);
}

// One slip at a time, Annuler at the second prompt: two jobs, no blank third slip.
void TryPrint::slipsOneAtATimeWithCancel()
{
    answers = { QMessageBox::Ok, QMessageBox::Cancel };
    printSlips(2, 1, 3);
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[1], QString::fromUtf8("Insérez le prochain bulletin et appuyer sur OK"));
    const std::vector<Job> jobs = newJobs();
    QCOMPARE(int(jobs.size()), 2);
    const QStringList pdfs = newPdfs(2);
    QTest::qWait(2000); // a third PDF would have come by now
    QCOMPARE(newPdfs(2).size(), 2);
    for (int i = 0; i < 2; ++i)
        checkSlipMarks(pdfs[i], i + 1);
}

void TryPrint::listAndSynthesis()
{
    QCOMPARE(printTicketList(state.tickets, state.selection, platform), PrintOutcome::Printed);
    printSynthesis({ { QStringLiteral("1"), QStringLiteral("7"), QStringLiteral("12"), QStringLiteral("50") } },
        Picture(), platform);
    QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('|'))));
    const std::vector<Job> jobs = newJobs();
    QCOMPARE(int(jobs.size()), 2);
    QCOMPARE(jobs[0].title, QString::fromUtf8("Marovellix+ — liste des tickets"));
    QCOMPARE(jobs[1].title, QString::fromUtf8("Marovellix+ — synthèse"));
    const QStringList pdfs = newPdfs(2);
    QCOMPARE(pdfs.size(), 2);
    // One page each, with something on it: no blank page.
    const std::vector<std::vector<Ink>> list = inkOfPages(pdfs[0]);
    const std::vector<std::vector<Ink>> synthesis = inkOfPages(pdfs[1]);
    QCOMPARE(int(list.size()), 1);
    QCOMPARE(int(synthesis.size()), 1);
    QVERIFY(!list[0].empty() && !synthesis[0].empty());
    qInfo("list: 1 page, %d marks of ink; synthesis: 1 page, %d marks of ink", int(list[0].size()),
        int(synthesis[0].size()));
}

// The queue refuses jobs: nothing is sent and every print says so.
void TryPrint::aRejectingQueueIsReported()
{
    const QString queue = env("TRY_PRINT_QUEUE");
    // Refused between the begin and the end of a document: the job that never came is noticed.
    {
        const auto surface = QtPrintSurface::toPrinter(QPrinterInfo::printerInfo(queue));
        surface->setDocumentTitle(QStringLiteral("Marovellix+ — essai"));
        QVERIFY(surface->beginDocument());
        surface->drawText(100, 100, QStringLiteral("X"));
        QCOMPARE(QProcess::execute(QStringLiteral("cupsreject"), { queue }), 0);
        QVERIFY(!surface->endDocument());
        QCOMPARE(surface->failureReason(), QString::fromUtf8("L'imprimante a refusé le travail"));
    }
    printSlips(1, 1, 3);
    printTicketList(state.tickets, state.selection, platform);
    printSynthesis({}, Picture(), platform);
    QProcess::execute(QStringLiteral("cupsaccept"), { queue });
    QCOMPARE(boxes.size(), 3);
    QCOMPARE(boxes[0],
        QString::fromUtf8("L'impression des bulletins a échoué sur l'imprimante « %1 ».\n"
                          "L'imprimante refuse les travaux.\n0 bulletin sur 3 imprimé.")
            .arg(queue));
    QVERIFY2(
        boxes[1].startsWith(QString::fromUtf8("L'impression de la liste des tickets a échoué")), qPrintable(boxes[1]));
    QVERIFY2(boxes[2].startsWith(QString::fromUtf8("L'impression de la synthèse a échoué")), qPrintable(boxes[2]));
    QCOMPARE(int(newJobs().size()), 0);
    qInfo("rejecting queue: %s", qPrintable(QString(boxes[0]).replace(QLatin1Char('\n'), QLatin1String(" | "))));
}

// A server that takes connections and never answers: the window keeps turning and says so.
void TryPrint::aHungServerIsReportedWithinSeconds()
{
    signalServer("STOP");
    QElapsedTimer clock;
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(100);
    clock.start();
    printSlips(1, 1, 3);
    const qint64 ms = clock.elapsed();
    signalServer("CONT");
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0],
        QString::fromUtf8("L'impression des bulletins a échoué sur l'imprimante.\nL'imprimante ne répond pas."));
    // The window's thread went on turning while the print system was asked.
    QVERIFY2(ticks >= int(ms / 100) / 2, qPrintable(QStringLiteral("%1 ticks in %2 ms").arg(ticks).arg(ms)));
    qInfo("hung server: the message came after %lld ms, the window's timer ticked %d times", ms, ticks);
}

// One slip at a time, the server stopped at the first prompt: one slip out, and said.
void TryPrint::aServerStoppedMidRunIsReported()
{
    beforeAnswer = [this](int box) {
        if (box != 1)
            return;
        // The first slip is out before the server goes.
        newPdfs(1);
        signalServer("TERM");
    };
    printSlips(2, 1, 3);
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[1],
        QString::fromUtf8("L'impression des bulletins a échoué sur l'imprimante « %1 ».\n"
                          "1 bulletin sur 3 imprimé : l'imprimante ne répond plus.")
            .arg(env("TRY_PRINT_QUEUE")));
    QCOMPARE(newPdfs(1).size(), 1);
    qInfo("stopped server: %s", qPrintable(QString(boxes[1]).replace(QLatin1Char('\n'), QLatin1String(" | "))));
}

QTEST_MAIN(TryPrint)
#include "try_print_driver.moc"
