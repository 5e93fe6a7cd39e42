#pragma once

#include "history/race_history.h"
#include "model/platform.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineSeries;
class QPushButton;
class QTableView;

namespace mvx::ui {
class ResultText;
}

namespace mvx {

class HistoryAccess;

// The races listed in the "Mes courses" grid: date, name, bet, tickets, stake, winnings and
// balance, one row per race. The name is the one cell the punter may edit.
class RaceTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        DateColumn,
        NameColumn,
        BetColumn,
        TicketsColumn,
        StakeColumn,
        WonColumn,
        BalanceColumn,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setRaces(std::vector<RaceRecord> races);
    const std::vector<RaceRecord> &races() const { return races_; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A new name is handed to renameRequested; the history, not the model, decides.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    void renameRequested(int row, const QString &name);

private:
    std::vector<RaceRecord> races_;
};

// The cumulative balance of the races, one point per day that has races, oldest first; none
// when a sum does not fit in 64-bit cents.
std::vector<BalancePoint> cumulativeBalance(const std::vector<RaceRecord> &races);

// "Mes courses": the races recorded, filtered by period and bet, their totals, the cumulative
// balance over time, and renaming, deleting and exporting what is shown.
class Tfmescourses : public QDialog
{
    Q_OBJECT

public:
    Tfmescourses(HistoryAccess &history, Platform &platform, QWidget *parent = nullptr);

    const RaceTableModel &model() const { return *model_; }
    // The chart's line: one point per day, x the day's start in milliseconds, y the euros.
    const QLineSeries &balanceSeries() const { return *series_; }
    // The filter the controls give.
    RaceFilter filter() const;
    void listBets(const std::vector<Bet> &played);
    // The history read again under the filter; false when it cannot be used.
    bool reload();
    // Opens only when the history can be used; otherwise the punter has been told why.
    int exec() override;

public Q_SLOTS:
    void bsupprimerClick();
    void brenommerClick();
    void bexportClick();
    void bquitClick();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void periodChanged();
    void renameRace(int row, const QString &name);
    void showTotals(const HistoryTotals &totals);
    void showChart(const std::vector<RaceRecord> &races);

    HistoryAccess &history_;
    Platform &platform_;
    RaceTableModel *model_ = nullptr;
    QComboBox *cperiode_ = nullptr;
    QDateEdit *edebut_ = nullptr;
    QDateEdit *efin_ = nullptr;
    QComboBox *cpari_ = nullptr;
    QTableView *grillecourses_ = nullptr;
    ui::ResultText *ltotaux_ = nullptr;
    QChartView *graphebilan_ = nullptr;
    QChart *chart_ = nullptr;
    QLineSeries *series_ = nullptr;
    QPushButton *brenommer_ = nullptr;
    QPushButton *bsupprimer_ = nullptr;
    QPushButton *bexport_ = nullptr;
    QString exportName_;
};

} // namespace mvx
