#pragma once

#include "model/game_state.h"
#include "model/platform.h"
#include "synth/synthesis.h"
#include "ui/qt_print_surface.h"

#include <QDialog>

#include <vector>

class QChart;
class QChartView;
class QTableView;

namespace mvx {

class SynthesisGridModel;

// The bar chart of the synthesis on paper: a chart of its own, laid out as on screen and
// scaled into the page rectangle.
class SynthesisChartPicture : public PaintedPicture
{
public:
    explicit SynthesisChartPicture(std::vector<int> pointsByHorse)
        : pointsByHorse_(std::move(pointsByHorse))
    { }
    void paint(QPainter &painter, const QRectF &target) const override;

private:
    std::vector<int> pointsByHorse_;
};

// Sets up a chart as the synthesis shows it: title, no legend, one blue bar series with its
// values marked, the horse numbers along the bottom.
void setUpSynthesisChart(QChart *chart);
// Replaces the bars: one per horse, in horse-number order, labelled with the horse's number.
void showSynthesisBars(QChart *chart, const std::vector<int> &pointsByHorse);

// The synthesis window: the ranking as a grid (rank, horse, points, share) and the points per
// horse as a bar chart, rebuilt from the ranking each time the window opens; it prints them on
// one page and exports the grid as a text file.
class Tfsynthese : public QDialog
{
    Q_OBJECT

public:
    Tfsynthese(GameState &state, Platform &platform, QWidget *parent = nullptr);
    ~Tfsynthese() override;

    // The texts of the grid's data rows, best rank first.
    const std::vector<SynthesisRow> &gridRows() const;

Q_SIGNALS:
    // "Utiliser ce classement": the ranked horses, best first, for the selection boxes.
    void rankingChosen(const std::vector<int> &horses);

public Q_SLOTS:
    void FormActivate();
    void butiliserClick();
    void bimprimeClick();
    void bexportClick();
    void bquitClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void prepareSynthesisGrid();
    void fillSynthesisView();

    GameState &state_;
    Platform &platform_;
    SynthesisGridModel *model_ = nullptr;
    QTableView *grilleresultat_ = nullptr;
    QChartView *grapheresult_ = nullptr;
    std::vector<int> bars_;
    QString exportName_;
};

} // namespace mvx
