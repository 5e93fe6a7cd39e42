#include "ui/Usynthese.h"

#include "synth/synthesis_output.h"
#include "ui/common_widgets.h"
#include "ui/keyboard_access.h"

#include <QAbstractTableModel>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QKeySequence>
#include <QLabel>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableView>
#include <QValueAxis>

#include <algorithm>

namespace mvx {

// The grid's texts: row 0 the headings, then one row per ranked horse.
class SynthesisGridModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<SynthesisRow> rows)
    {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    const std::vector<SynthesisRow> &rows() const { return rows_; }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()) + 1; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 4; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        // The share shows rounded to two decimals; its full value is the tip.
        const bool share = index.column() == 3 && index.row() > 0;
        const bool tip = role == Qt::ToolTipRole && share;
        if ((role != Qt::DisplayRole && !tip) || !index.isValid())
            return {};
        static const SynthesisRow headings { QStringLiteral("POS"), QStringLiteral("CHEVAUX"), QStringLiteral("POINTS"),
            QStringLiteral("%") };
        const SynthesisRow &row = index.row() == 0 ? headings : rows_[std::size_t(index.row() - 1)];
        const QString &text = row[std::size_t(index.column())];
        if (share && role == Qt::DisplayRole && !text.isEmpty())
            return roundedShareText(text, QLocale());
        return text;
    }
    // The column headings a screen reader speaks are those of row 0.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole))
            return data(index(0, section), Qt::DisplayRole);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    std::vector<SynthesisRow> rows_;
};

namespace {

constexpr int kRowHeight = 24;
const QColor kBarColour(0, 0, 255);

QBarSeries *barSeries(QChart *chart)
{
    const auto series = chart->series();
    return series.isEmpty() ? nullptr : qobject_cast<QBarSeries *>(series.first());
}

template <typename Axis> Axis *chartAxis(QChart *chart, Qt::Orientation orientation)
{
    const auto axes = chart->axes(orientation);
    return axes.isEmpty() ? nullptr : qobject_cast<Axis *>(axes.first());
}

QFont pixelFont(int pixels, bool bold = false)
{
    // Pixel sizes, so that the chart keeps its proportions when it is scaled onto paper.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The horse numbers under the bars. The chart's own category labels turn into an ellipsis as
// soon as a number is wider than its bar less a fixed padding, which 49 runners always are;
// these stand centred under their bar, on end when there are more than 20.
class HorseNumbers : public QObject
{
public:
    explicit HorseNumbers(QChart *chart)
        : QObject(chart)
        , chart_(chart)
    {
        setObjectName(QStringLiteral("horseNumbers"));
        connect(chart, &QChart::plotAreaChanged, this, &HorseNumbers::place);
    }

    void show(int count, const QBrush &brush)
    {
        qDeleteAll(items_);
        items_.clear();
        const QFont font = pixelFont(count > 20 ? 8 : 9);
        for (int h = 1; h <= count; ++h) {
            auto *item = new QGraphicsSimpleTextItem(QString::number(h), chart_);
            item->setFont(font);
            item->setBrush(brush);
            items_.push_back(item);
        }
        // Room under the plot area for the numbers.
        const QFontMetrics metrics(font);
        const int room = count > 20 ? metrics.horizontalAdvance(QStringLiteral("49")) : metrics.height();
        chart_->setMargins(QMargins(2, 2, 6, room + 6));
        place();
    }

private:
    void place()
    {
        const QRectF area = chart_->plotArea();
        const qsizetype count = items_.size();
        for (qsizetype i = 0; i < count; ++i) {
            QGraphicsSimpleTextItem *item = items_[i];
            const QRectF box = item->boundingRect();
            const qreal centre = area.left() + area.width() * (qreal(i) + 0.5) / qreal(count);
            if (count > 20) {
                // Turned a quarter to the left about its top-left corner: it reads upwards and
                // ends just under the axis.
                item->setRotation(-90);
                item->setPos(centre - box.height() / 2, area.bottom() + 4 + box.width());
            } else {
                item->setRotation(0);
                item->setPos(centre - box.width() / 2, area.bottom() + 4);
            }
        }
    }

    QChart *chart_;
    QList<QGraphicsSimpleTextItem *> items_;
};

// A podium under a horseshoe, beside the window's title. The grid covers the picture's last
// rows, so it is drawn above them.
QPixmap podiumPixmap()
{
    QPixmap pixmap(89, 97);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath shoe;
    shoe.moveTo(31, 40);
    shoe.cubicTo(20, 6, 69, 6, 58, 40);
    painter.setPen(QPen(QColor(120, 120, 130), 7, Qt::SolidLine, Qt::FlatCap));
    painter.drawPath(shoe);
    painter.setPen(QPen(QColor(235, 235, 240), 1.5));
    for (const QPointF &nail :
        { QPointF(28, 30), QPointF(32, 19), QPointF(44.5, 14), QPointF(57, 19), QPointF(61, 30) })
        painter.drawPoint(nail);

    struct Step
    {
        QRectF rect;
        QColor colour;
        const char *rank;
    };
    const Step steps[] { { { 31, 46, 27, 36 }, QColor(212, 175, 55), "1" },
        { { 4, 56, 27, 26 }, QColor(170, 170, 180), "2" }, { { 58, 62, 27, 20 }, QColor(176, 110, 60), "3" } };
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    for (const Step &step : steps) {
        painter.setPen(QPen(step.colour.darker(150), 1));
        painter.setBrush(step.colour);
        painter.drawRect(step.rect);
        painter.setPen(Qt::white);
        painter.drawText(step.rect, Qt::AlignCenter, QString::fromLatin1(step.rank));
    }
    return pixmap;
}

} // namespace

void setUpSynthesisChart(QChart *chart)
{
    chart->setTitle(QStringLiteral("RESULTATS SYNTHESE"));
    chart->setTitleFont(pixelFont(13, true));
    chart->legend()->hide();
    chart->setPlotAreaBackgroundVisible(false);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(2, 2, 6, 2));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundRoundness(0);

    auto *series = new QBarSeries(chart);
    series->setObjectName(QStringLiteral("Series1"));
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setBarWidth(0.7);
    chart->addSeries(series);

    auto *horses = new QBarCategoryAxis(chart);
    horses->setLabelsVisible(false);
    horses->setGridLineVisible(false);
    new HorseNumbers(chart);
    chart->addAxis(horses, Qt::AlignBottom);
    series->attachAxis(horses);
    auto *points = new QValueAxis(chart);
    points->setLabelsFont(pixelFont(10));
    points->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(points, Qt::AlignLeft);
    series->attachAxis(points);
}

void showSynthesisBars(QChart *chart, const std::vector<int> &pointsByHorse)
{
    QBarSeries *series = barSeries(chart);
    auto *horses = chartAxis<QBarCategoryAxis>(chart, Qt::Horizontal);
    auto *points = chartAxis<QValueAxis>(chart, Qt::Vertical);
    if (!series || !horses || !points)
        return;
    series->clear();
    horses->clear();

    auto *bars = new QBarSet(QStringLiteral("Histogramme"));
    bars->setColor(kBarColour);
    bars->setBorderColor(kBarColour.darker(150));
    bars->setLabelColor(Qt::black);
    bars->setLabelFont(pixelFont(pointsByHorse.size() > 20 ? 8 : 10));
    QStringList numbers;
    for (std::size_t h = 0; h < pointsByHorse.size(); ++h) {
        bars->append(pointsByHorse[h]);
        numbers.append(QString::number(h + 1));
    }
    series->append(bars);
    horses->append(numbers);

    // Beyond 20 horses the marks stand on end so that they stay apart.
    const int angle = pointsByHorse.size() > 20 ? -90 : 0;
    series->setLabelsAngle(angle);
    if (auto *numbers = dynamic_cast<HorseNumbers *>(chart->findChild<QObject *>(QStringLiteral("horseNumbers"))))
        numbers->show(int(pointsByHorse.size()), horses->labelsBrush());

    // Whole numbers on the axis, with room above the highest bar for its mark.
    const int highest = pointsByHorse.empty() ? 0 : *std::max_element(pointsByHorse.begin(), pointsByHorse.end());
    const int lowest = pointsByHorse.empty() ? 0 : *std::min_element(pointsByHorse.begin(), pointsByHorse.end());
    const int top = std::max(4, highest + std::max(1, highest / 5));
    points->setRange(std::min(0, lowest), top);
    points->setTickCount(std::min(top - std::min(0, lowest), 5) + 1);
    points->applyNiceNumbers();
}

void SynthesisChartPicture::paint(QPainter &painter, const QRectF &target) const
{
    QGraphicsScene scene;
    auto *chart = new QChart;
    scene.addItem(chart);
    setUpSynthesisChart(chart);
    showSynthesisBars(chart, pointsByHorse_);

    // Laid out at the size the rectangle has on a 96 dpi screen, then scaled onto the page.
    const QPaintDevice *device = painter.device();
    const qreal scaleX = device && device->logicalDpiX() > 0 ? 96.0 / device->logicalDpiX() : 1.0;
    const qreal scaleY = device && device->logicalDpiY() > 0 ? 96.0 / device->logicalDpiY() : 1.0;
    const QRectF layout(
        0, 0, std::max<qreal>(1, target.width() * scaleX), std::max<qreal>(1, target.height() * scaleY));
    chart->setGeometry(layout);
    scene.setSceneRect(layout);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, target, layout, Qt::IgnoreAspectRatio);
}

Tfsynthese::Tfsynthese(GameState &state, Platform &platform, QWidget *parent)
    : QDialog(parent, ui::kFixedDialogFlags)
    , state_(state)
    , platform_(platform)
{
    ui::setUpWindow(this, QStringLiteral("fsynthese"), QSize(690, 412));
    setWindowTitle(QStringLiteral("Synthese des pronos"));

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(8, 0, 89, 97);
    image->setPixmap(podiumPixmap());

    QLabel *title = ui::makeLabel(this, QStringLiteral("Label1"), QString(), 128, 16);
    title->setFont(ui::headingFont());
    title->setText(QStringLiteral("SYNTHESE DES PRONOSTICS"));
    title->adjustSize();

    model_ = new SynthesisGridModel(this);
    grilleresultat_ = new QTableView(this);
    grilleresultat_->setObjectName(QStringLiteral("grilleresultat"));
    grilleresultat_->setGeometry(8, 85, 265, 265);
    auto *cells = new ui::GridCellDelegate(1, 0);
    cells->setBoldColumns({ 3 });
    ui::setUpGrid(grilleresultat_, cells, kRowHeight, { 40, 80, 50, 70 });
    grilleresultat_->setModel(model_);
    ui::keepGridOutOfTabChain(grilleresultat_);
    grilleresultat_->setAccessibleName(QStringLiteral("Synthèse des pronostics"));

    auto *chart = new QChart;
    setUpSynthesisChart(chart);
    grapheresult_ = new QChartView(chart, this);
    grapheresult_->setObjectName(QStringLiteral("grapheresult"));
    grapheresult_->setGeometry(280, 87, 385, 265);
    grapheresult_->setRenderHint(QPainter::Antialiasing);
    // The chart shows what the grid holds, and takes no key: it is no Tab stop.
    grapheresult_->setFocusPolicy(Qt::NoFocus);
    grapheresult_->setAccessibleName(QStringLiteral("Histogramme"));

    QPushButton *print = ui::makeButton(
        this, QStringLiteral("bimprime"), QStringLiteral("Imprimer la synthese"), QRect(49, 362, 142, 40));
    QPushButton *exportButton
        = ui::makeButton(this, QStringLiteral("bexport"), QStringLiteral("Exporter"), QRect(210, 362, 142, 40));
    exportButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    QPushButton *back
        = ui::makeButton(this, QStringLiteral("bquit"), QStringLiteral("Retour"), QRect(529, 357, 138, 52));
    back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    back->setToolTip(QStringLiteral("Fermer la fenetre"));

    QPushButton *use = ui::makeButton(
        this, QStringLiteral("butiliser"), QStringLiteral("Utiliser ce classement"), QRect(362, 362, 158, 40));
    use->setToolTip(QStringLiteral("Mettre les chevaux du classement dans la sélection des systèmes"));
    connect(use, &QPushButton::clicked, this, &Tfsynthese::butiliserClick);
    connect(print, &QPushButton::clicked, this, &Tfsynthese::bimprimeClick);
    connect(exportButton, &QPushButton::clicked, this, &Tfsynthese::bexportClick);
    connect(back, &QPushButton::clicked, this, &Tfsynthese::bquitClick);
    ui::escapePresses(this, back);
    ui::addButtonShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_P), print);
}

Tfsynthese::~Tfsynthese() = default;

const std::vector<SynthesisRow> &Tfsynthese::gridRows() const
{
    return model_->rows();
}

void Tfsynthese::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    ui::centreOnScreen(this);
    FormActivate();
}

void Tfsynthese::FormActivate()
{
    prepareSynthesisGrid();
    fillSynthesisView();
}

// The rows of the ranked horses, numbered, with nothing else in them yet.
void Tfsynthese::prepareSynthesisGrid()
{
    std::vector<SynthesisRow> rows(std::size_t(synthesisHorseCount(state_)));
    for (std::size_t r = 0; r < rows.size(); ++r)
        rows[r][0] = QString::number(r + 1);
    model_->setRows(std::move(rows));
    grilleresultat_->scrollToTop();
}

void Tfsynthese::fillSynthesisView()
{
    model_->setRows(synthesisRows(state_, QLocale()));
    bars_ = pointsInHorseOrder(state_);
    showSynthesisBars(grapheresult_->chart(), bars_);
}

void Tfsynthese::bimprimeClick()
{
    printSynthesis(roundedShareRows(model_->rows(), QLocale()), SynthesisChartPicture(bars_), platform_);
}

void Tfsynthese::bexportClick()
{
    exportSynthesis(model_->rows(), exportName_, platform_);
}

void Tfsynthese::butiliserClick()
{
    std::vector<int> horses;
    for (int r = 0; r < synthesisHorseCount(state_); ++r)
        horses.push_back(state_.synthesis[std::size_t(r)].horse);
    accept();
    Q_EMIT rankingChosen(horses);
}

void Tfsynthese::bquitClick()
{
    accept();
}

} // namespace mvx
