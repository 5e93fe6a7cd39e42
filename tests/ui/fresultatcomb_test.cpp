#include "arrival/ticket_list_print.h"
#include "combi/catalogue.h"
#include "support/recording_print_surface.h"
#include "support/scripted_platform.h"
#include "support/test_data.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/common_widgets.h"
#include "ui/long_work.h"
#include "ui/qt_print_surface.h"
#include "ui/systems_page.h"
#include "ui/ticket_grid.h"
#include "ui/uresultatcomb.h"

#include <QAccessible>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using mvx::Tfresultatcomb;
using mvx::testing::ScriptedPlatform;
using mvx::ui::TicketGrid;

namespace {

// The texts of the grid rows on screen, the heading row first, cells joined by blanks.
QStringList shownRows(const TicketGrid *grid)
{
    QStringList rows;
    const QAbstractItemModel *model = grid->table()->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        rows << cells.join(QLatin1Char(' '));
    }
    return rows;
}

// The colour painted in the middle of the cell of the on-screen row `row`, column `column`.
QColor paintedColour(TicketGrid *grid, int row, int column)
{
    QTableView *table = grid->table();
    const QImage image = table->viewport()->grab().toImage();
    const QRect cell = table->visualRect(table->model()->index(row, column));
    return image.pixelColor(cell.left() + 2, cell.bottom() - 2); // below the text
}

} // namespace

class FresultatcombTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }

    // "Voir les tickets " generates the selected system and opens the list on its tickets.
    void listOpensFromTheMainWindow()
    {
        QTemporaryDir folder;
        ScriptedPlatform platform;
        platform.folder = folder.path() + QLatin1Char('/');
        mvx::Application app(platform);
        app.show();
        mvx::TicketRecipe page = app.mainWindow().systemsPage().recipe();
        page.source = mvx::TicketSource::CatalogueSystem;
        page.systemNumber = 8; // quinté, 10 horses in 51 tickets
        const QStringList horses { "7", "3", "12", "1", "9", "14", "2", "5", "11", "16" };
        for (int i = 0; i < horses.size(); ++i)
            page.boxes[std::size_t(i)] = horses[i];
        app.mainWindow().systemsPage().applyRecipe(page);

        auto *list = app.mainWindow().findChild<Tfresultatcomb *>(QStringLiteral("fresultatcomb"));
        QVERIFY(list);
        QStringList first;
        QStringList last;
        QString count;
        bool modal = false;
        QTimer::singleShot(0, list, [&] {
            modal = list->isModal() && list->isVisible();
            auto *grid = list->findChild<TicketGrid *>(QStringLiteral("grillecomb"));
            count = list->findChild<QLabel *>(QStringLiteral("lnbtickets"))->text();
            first = shownRows(grid);
            QTest::keyClick(grid->table(), Qt::Key_End);
            last = shownRows(grid);
            QTest::mouseClick(list->findChild<QPushButton *>(QStringLiteral("bquit")), Qt::LeftButton);
        });
        QTest::mouseClick(app.mainWindow().findChild<QPushButton *>(QStringLiteral("bvoirtick")), Qt::LeftButton);

        QVERIFY(modal);
        QCOMPARE(count, QStringLiteral("51"));
        QCOMPARE(first.value(0), QStringLiteral("TICKET 1er 2eme 3eme 4eme 5eme"));
        // The first row of system 8's table, read through the selection.
        QStringList ticket { QStringLiteral("1") };
        for (std::uint8_t entry : mvx::reducedSystem(8).row(1))
            ticket << horses[entry - 1];
        QCOMPARE(first.value(1), ticket.join(QLatin1Char(' ')));
        QVERIFY(last.last().startsWith(QStringLiteral("51 ")));
        QCOMPARE(platform.waitCursorDepth, 0);
    }

    // The longest list the program keeps (20 horses, 7 per ticket, every order) opens at once
    // and its last ticket is reached and painted, rows still alternating by their number.
    void longestListReachesItsLastTicket()
    {
        mvx::GameState state;
        state.tickets = mvx::TicketList::countedOnly(mvx::TicketLayout { 7, 0, { 1, 2, 3 } }, 390'700'800);
        ScriptedPlatform platform;
        Tfresultatcomb window(state, platform);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *grid = window.findChild<TicketGrid *>(QStringLiteral("grillecomb"));
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lnbtickets"))->text(), QStringLiteral("390700800"));
        QCOMPARE(shownRows(grid).value(0), QStringLiteral("TICKET 1er 2eme 3eme 4eme 5eme 6eme 7eme"));
        QVERIFY(grid->table()->model()->rowCount() < 20);

        const int whole = grid->wholeRowsShown();
        QVERIFY(whole >= 9);
        grid->table()->setFocus();
        QTest::keyClick(grid->table(), Qt::Key_End);
        QCOMPARE(grid->firstShownRow(), 390'700'800 - whole + 1);
        QStringList rows = shownRows(grid);
        QCOMPARE(rows.value(whole), QStringLiteral("390700800 0 0 0 0 0 0 0"));
        QCOMPARE(paintedColour(grid, whole, 3), QColor(225, 255, 244)); // an even row
        QCOMPARE(paintedColour(grid, whole - 1, 3), QColor(255, 255, 255));
        QCOMPARE(paintedColour(grid, whole, 0), QColor(199, 185, 200)); // the number column

        // The keys move the current cell, drawn framed, and the rows follow it; the heading row
        // stays.
        QCOMPARE(grid->currentRow(), 390'700'800);
        QCOMPARE(grid->table()->currentIndex().row(), whole);
        QTest::keyClick(grid->table(), Qt::Key_Right);
        QCOMPARE(grid->currentColumn(), 1);
        const QColor frame = grid->table()->palette().color(QPalette::Highlight);
        const QRect cell = grid->table()->visualRect(grid->table()->currentIndex());
        QCOMPARE(grid->table()->viewport()->grab().toImage().pixelColor(cell.left() + 1, cell.center().y()), frame);
        QTest::keyClick(grid->table(), Qt::Key_PageUp);
        QCOMPARE(grid->firstShownRow(), 390'700'800 - 2 * whole + 1);
        QCOMPARE(grid->currentRow(), 390'700'800 - whole);
        for (int up = 0; up < whole; ++up) // to the top row shown, then one above it
            QTest::keyClick(grid->table(), Qt::Key_Up);
        QCOMPARE(grid->currentRow(), 390'700'800 - 2 * whole);
        QCOMPARE(grid->firstShownRow(), 390'700'800 - 2 * whole);
        QCOMPARE(grid->table()->currentIndex().row(), 1);

        // A screen reader is told the whole grid: every row, and the current cell where it is.
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(grid->table());
        QVERIFY(face && face->tableInterface());
        QCOMPARE(face->tableInterface()->rowCount(), 390'700'800);
        QCOMPARE(face->tableInterface()->columnDescription(2), QStringLiteral("2eme"));
        QAccessibleInterface *current = face->focusChild();
        QVERIFY(current && current->tableCellInterface());
        QCOMPARE(current->tableCellInterface()->rowIndex(), 390'700'800 - 2 * whole - 1);
        QCOMPARE(current->tableCellInterface()->columnIndex(), 1);
        QCOMPARE(current->text(QAccessible::Name), shownRows(grid).value(1).split(QLatin1Char(' ')).value(1));
        QCOMPARE(paintedColour(grid, 1, 3), QColor(225, 255, 244)); // the colour goes with the row number
        grid->scrollToRow(1);
        QCOMPARE(grid->firstShownRow(), 1);
        QCOMPARE(shownRows(grid).value(0), QStringLiteral("TICKET 1er 2eme 3eme 4eme 5eme 6eme 7eme"));
        QCOMPARE(paintedColour(grid, 1, 3), QColor(255, 255, 255));
    }

    // The printed list of a couplé generation, in a real PDF: the title once, the horses of
    // each ticket on its line at the left margin, no ticket number.
    void printedListReadBackFromPdf()
    {
        mvx::GameState state;
        state.selection.otherHorses[1] = 3;
        state.selection.otherHorses[2] = 17;
        state.selection.otherHorses[3] = 8;
        state.tickets = mvx::TicketList::stored(mvx::TicketLayout { 2, 0, { 1, 2, 3 } }, 3);
        for (const char *letters : { "AB", "AC", "BC" })
            state.tickets.append(letters);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("liste.pdf"));
        int offsetX = 0;
        ScriptedPlatform platform;
        platform.printerFactory = [&] {
            auto surface = mvx::QtPrintSurface::toPdf(pdf, 600);
            offsetX = surface->offsetX();
            return surface;
        };
        {
            Tfresultatcomb window(state, platform);
            window.show();
            QCOMPARE(window.findChild<TicketGrid *>(QStringLiteral("grillecomb"))->table()->model()->columnCount(), 3);
            QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("bimprime")), Qt::LeftButton);
        }
        QVERIFY(platform.messages.empty());
        const std::vector<mvx::testing::PdfWord> words = mvx::testing::readPdfWords(pdf);
        QStringList texts;
        for (const mvx::testing::PdfWord &w : words)
            texts << w.text;
        QCOMPARE(texts, QStringList({ "LISTE", "DES", "TICKETS", "3", "17", "3", "8", "17", "8" }));
        QCOMPARE(words.back().page, 1);
        // Each line starts 10 dots into the printable area; lines go down the page.
        QVERIFY(qAbs(words[3].xMin - (10 + offsetX) * 72.0 / 600) < 1.5);
        QVERIFY(words[5].yMin > words[3].yMax);
        QVERIFY(words[3].yMin > words[0].yMax);
    }

    // A long list prints on the thread of the long work, into a real PDF: whole when it runs to
    // its end, and when it is stopped, no file and no temporary file at all, nothing said.
    void longPrintRunsOnTheWorkThreadAndStopsCleanly()
    {
        struct ThreadedPlatform : ScriptedPlatform
        {
            void runLongWork(
                const QString &label, mvx::WorkProgress &progress, const std::function<void()> &work) override
            {
                longWorks.append(label);
                if (stopLongWorkAt)
                    progress.requestStopAt(*stopLongWorkAt);
                mvx::ui::runWithProgress(nullptr, label, progress, work, 0);
            }
        };
        mvx::GameState state;
        for (int h = 1; h <= 5; ++h)
            state.selection.otherHorses[std::size_t(h)] = h + 10;
        const std::int64_t count = 6000;
        state.tickets = mvx::TicketList::stored(mvx::TicketLayout { 5, 0, { 1, 2, 3 } }, count);
        for (std::int64_t t = 0; t < count; ++t)
            state.tickets.append("ABCDE");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("liste.pdf"));
        QByteArray printed;
        for (const bool stop : { false, true }) {
            ThreadedPlatform platform;
            platform.answers = { mvx::Platform::Answer::Yes }; // the page count question
            if (stop)
                platform.stopLongWorkAt = 1000;
            platform.printerFactory = [&] { return mvx::QtPrintSurface::toPdf(pdf, 300); };
            const mvx::PrintOutcome outcome = mvx::printTicketList(state.tickets, state.selection, platform);
            QCOMPARE(platform.longWorks.size(), 1);
            QCOMPARE(platform.messages.size(), std::size_t(1)); // the question only
            // Stopped, the file printed before stays as it was, with nothing beside it.
            QCOMPARE(
                QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("liste.pdf") });
            if (stop) {
                QCOMPARE(outcome, mvx::PrintOutcome::Stopped);
                QCOMPARE(mvx::testing::readBytes(pdf), printed);
                continue;
            }
            printed = mvx::testing::readBytes(pdf);
            QCOMPARE(outcome, mvx::PrintOutcome::Printed);
            const std::vector<mvx::testing::PdfWord> words = mvx::testing::readPdfWords(pdf);
            QCOMPARE(int(words.size()), 3 + 5 * int(count));
            QVERIFY(words.back().page > 100);
            QCOMPARE(words.back().text, QStringLiteral("15"));
        }
    }
};

QTEST_MAIN(FresultatcombTest)
#include "fresultatcomb_test.moc"
