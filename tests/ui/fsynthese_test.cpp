#include "support/scripted_platform.h"
#include "support/test_data.h"
#include "ui/Unit1.h"
#include "ui/application.h"
#include "ui/common_widgets.h"
#include "ui/qt_print_surface.h"

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace mvx;
using mvx::testing::PdfWord;
using mvx::testing::readBytes;
using mvx::testing::readPdfWords;
using mvx::testing::ScriptedPlatform;

namespace {

struct PdfPage
{
    int width = 0;
    int offsetX = 0;
};

const PdfWord *findWord(const std::vector<PdfWord> &words, const QString &text)
{
    for (const PdfWord &w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

} // namespace

class FsyntheseTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
    void seeThePrintAndTheExportFromTheMainWindow();

private:
    // Clicks "Voir la Synthese" and runs `inside` while the synthesis window is open.
    void openSynthesis(Application &app, const std::function<void(QDialog &)> &inside)
    {
        QString opened;
        QTimer::singleShot(0, this, [&] {
            auto *window = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!window)
                return;
            opened = window->objectName();
            inside(*window);
            if (window->isVisible())
                window->close();
        });
        QTest::mouseClick(button(app.mainWindow(), "bvoirsynthese"), Qt::LeftButton);
        QCOMPARE(opened, QStringLiteral("fsynthese"));
    }
    static QPushButton *button(QWidget &window, const char *name)
    {
        for (QPushButton *b : window.findChildren<QPushButton *>(QLatin1String(name)))
            if (b->window() == &window)
                return b;
        return nullptr;
    }
    static QString cell(QTableView *grid, int row, int column)
    {
        return grid->model()->index(row, column).data().toString();
    }
};

void FsyntheseTest::seeThePrintAndTheExportFromTheMainWindow()
{
    QTemporaryDir dir;
    ScriptedPlatform platform;
    platform.folder = dir.path() + QLatin1Char('/');
    Application app(platform);
    app.show();
    GameState &state = app.state();
    auto type = [&](const QString &box, const QString &text) {
        auto *count = app.mainWindow().findChild<QComboBox *>(box);
        count->setFocus();
        count->lineEdit()->selectAll();
        QTest::keyClicks(count, text);
    };
    type(QStringLiteral("cnbchevauxprono"), QStringLiteral("3"));
    QCOMPARE(state.horsesPerForecast, 3);
    state.pointsByPosition = { 3, 2, 1 };
    state.forecasts[0] = { 5, 2, 9 };
    state.forecasts[1] = { 2, 5, 1 };

    const QString exported = dir.filePath(QStringLiteral("synthese.txt"));
    const QString pdf = dir.filePath(QStringLiteral("synthese.pdf"));
    platform.fileNames = { exported };
    PdfPage page;
    platform.printerFactory = [&] {
        auto surface = QtPrintSurface::toPdf(pdf, 600);
        page = { surface->pageWidth(), surface->offsetX() };
        return std::unique_ptr<PrintSurface>(std::move(surface));
    };

    openSynthesis(app, [&](QDialog &window) {
        auto *grid = window.findChild<QTableView *>(QStringLiteral("grilleresultat"));
        QCOMPARE(grid->model()->rowCount(), 21);
        QVERIFY(grid->isRowHidden(0));
        QCOMPARE(grid->horizontalHeader()->height(), 24);
        QCOMPARE(grid->rowHeight(1), 24);
        const QList<int> widths { 40, 80, 50, 70 };
        for (int c = 0; c < 4; ++c)
            QCOMPARE(grid->columnWidth(c), widths[c]);
        QCOMPARE(cell(grid, 0, 0) + cell(grid, 0, 1) + cell(grid, 0, 2) + cell(grid, 0, 3),
            QStringLiteral("POSCHEVAUXPOINTS%"));
        QCOMPARE(cell(grid, 4, 0) + cell(grid, 4, 1) + cell(grid, 4, 2) + cell(grid, 4, 3),
            QStringLiteral("4CHEVAL 918,33"));
        // Rounded as a punter reads it; the full share is the tip, and the export keeps it.
        QCOMPARE(cell(grid, 1, 3), QStringLiteral("41,67"));
        QCOMPARE(grid->model()->index(1, 3).data(Qt::ToolTipRole).toString(), QStringLiteral("41,6666679382324"));
        QCOMPARE(cell(grid, 20, 3), QStringLiteral("0,00"));
        auto *cells = qobject_cast<ui::GridCellDelegate *>(grid->itemDelegate());
        QVERIFY(cells && cells->boldColumns() == QSet<int> { 3 });

        QChart *chart = window.findChild<QChartView *>(QStringLiteral("grapheresult"))->chart();
        QCOMPARE(chart->title(), QStringLiteral("RESULTATS SYNTHESE"));
        QVERIFY(!chart->legend()->isVisible());
        auto *series = qobject_cast<QBarSeries *>(chart->series().value(0));
        QVERIFY(series && series->isLabelsVisible());
        QCOMPARE(series->count(), 1);
        QBarSet *bars = series->barSets().first();
        QCOMPARE(bars->color(), QColor(0, 0, 255));
        QCOMPARE(bars->count(), 20);
        // In horse-number order: horse 1, third in the ranking, comes first.
        QCOMPARE(QList<qreal>({ bars->at(0), bars->at(1), bars->at(4), bars->at(8), bars->at(19) }),
            QList<qreal>({ 1, 5, 5, 1, 0 }));

        QTest::mouseClick(button(window, "bexport"), Qt::LeftButton);
        QTest::mouseClick(button(window, "bimprime"), Qt::LeftButton);
        QTest::mouseClick(button(window, "bquit"), Qt::LeftButton);
        QVERIFY(!window.isVisible());
    });

    const QByteArray file = readBytes(exported);
    QVERIFY(file.startsWith("POS;CHEVAUX;PTS;%\r\n1;CHEVAL 2;5;41,6666679382324;\r\n"));
    QVERIFY(file.endsWith("\r\n20;CHEVAL 20;0;0;\r\n"));
    QCOMPARE(platform.printersOpened, 1);
    QVERIFY(platform.messages.empty());

    // The page as a reader sees it: the title centred, the columns at 0, 3, 23 and 26 widths of
    // "W", and the chart, centred too, below the last row.
    const std::vector<PdfWord> words = readPdfWords(pdf);
    const PdfWord *title = findWord(words, QStringLiteral("SYNTHESE"));
    const PdfWord *pos = findWord(words, QStringLiteral("POS."));
    const PdfWord *horses = findWord(words, QStringLiteral("CHEVAUX"));
    const PdfWord *pts = findWord(words, QStringLiteral("PTS"));
    const PdfWord *share = findWord(words, QStringLiteral("41,67"));
    const PdfWord *chartTitle = findWord(words, QStringLiteral("RESULTATS"));
    QVERIFY(title && pos && horses && pts && share && chartTitle);
    const double centre = (page.offsetX + page.width / 2.0) * 72 / 600;
    QVERIFY2(qAbs((title->xMin + title->xMax) / 2 - centre) < 2, qPrintable(QString::number(title->xMin)));
    QVERIFY(qAbs(pos->xMin - (page.offsetX + 10) * 72.0 / 600) < 1);
    const double w = (horses->xMin - pos->xMin) / 3;
    QVERIFY(w > 4 && w < 12); // a 10-point "W" in points
    QVERIFY(qAbs(pts->xMin - (pos->xMin + 23 * w)) < 1);
    QVERIFY(qAbs(share->xMin - (pos->xMin + 26 * w)) < 1);
    double lastRow = 0;
    for (const PdfWord &word : words)
        if (word.text == QLatin1String("CHEVAL"))
            lastRow = std::max(lastRow, word.yMax);
    QVERIFY(chartTitle->yMin > lastRow);
    const auto chartTitleEnd = std::find_if(words.begin(), words.end(),
        [&](const PdfWord &word) { return word.text == QLatin1String("SYNTHESE") && word.yMin > lastRow; });
    QVERIFY(chartTitleEnd != words.end());
    QVERIFY(qAbs((chartTitle->xMin + chartTitleEnd->xMax) / 2 - centre) < 10);

    // Forty-nine runners: the window opens on the new ranking, every row reachable.
    type(QStringLiteral("cnbchevaux"), QStringLiteral("49"));
    QCOMPARE(state.horseCount, 49);
    openSynthesis(app, [&](QDialog &window) {
        auto *grid = window.findChild<QTableView *>(QStringLiteral("grilleresultat"));
        QCOMPARE(grid->model()->rowCount(), 50);
        QCOMPARE(cell(grid, 49, 1), QStringLiteral("CHEVAL 49"));
        grid->scrollToBottom();
        QVERIFY(grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(49, 3))));
        QChart *chart = window.findChild<QChartView *>(QStringLiteral("grapheresult"))->chart();
        QCOMPARE(qobject_cast<QBarSeries *>(chart->series().value(0))->barSets().first()->count(), 49);
    });
}

QTEST_MAIN(FsyntheseTest)
#include "fsynthese_test.moc"
