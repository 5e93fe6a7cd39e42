#pragma once

#include "model/game_state.h"
#include "model/ticket_list.h"
#include "ui/font_follow.h"

#include <QAbstractTableModel>
#include <QFrame>

#include <cstdint>
#include <memory>
#include <vector>

class QScrollBar;
class QTableView;

namespace mvx::ui {

// What a grid of tickets shows: a heading row, then numbered rows whose cells are computed
// when they are asked for. Nothing is kept per row.
class GridContent
{
public:
    virtual ~GridContent() = default;
    virtual int columnCount() const = 0;
    virtual int columnWidth(int column) const = 0;
    // Rows below the heading row.
    virtual std::int64_t rowCount() const = 0;
    virtual QString heading(int column) const = 0;
    // The text of a cell of row 1..rowCount().
    virtual QString cell(std::int64_t row, int column) const = 0;
};

// The tickets of a list, one row each: "TICKET" and the ticket number, then a column per
// horse ("1er", "2eme", ...). With category bytes (one per ticket, from a comparison), a last
// column holds the category's label, and an empty list still shows one empty row.
class TicketRows final : public GridContent
{
public:
    TicketRows(
        const TicketList &tickets, const Selection &selection, const std::vector<std::uint8_t> *categories = nullptr);

    int columnCount() const override;
    int columnWidth(int column) const override;
    std::int64_t rowCount() const override;
    QString heading(int column) const override;
    QString cell(std::int64_t row, int column) const override;

private:
    const TicketList &tickets_;
    TicketReader reader_;
    const std::vector<std::uint8_t> *categories_;
    int horses_;
};

// The rows of a grid that are on screen: the heading row as row 0, then the grid rows from
// firstRow() on. A view over it never holds more rows than fit in it, whatever the length of
// the grid; its true row number is under kGridRowRole.
class GridWindowModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void setContent(std::shared_ptr<const GridContent> content);
    const GridContent *content() const { return content_.get(); }
    // Shows `rows` grid rows from `firstRow` (1-based) on, fewer at the end of the grid.
    void setWindow(std::int64_t firstRow, int rows);
    std::int64_t firstRow() const { return firstRow_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The headings of row 0, which a screen reader speaks as the column headers.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    int shownRows(std::int64_t firstRow, int rows) const;

    std::shared_ptr<const GridContent> content_;
    std::int64_t firstRow_ = 1;
    int windowRows_ = 0;
};

// A string grid of any length with a fixed heading row: a table view over the rows on screen
// and a scroll bar counted in rows, so a list of hundreds of millions of tickets scrolls from
// its first to its last row at the cost of the few rows shown. Rows are 24 pixels high; cells
// are painted by the grid delegate of every window.
class TicketGrid : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kRowHeight = 24; // at the layout's font; rowHeight_ follows the font

    explicit TicketGrid(QWidget *parent = nullptr);

    void setContent(std::shared_ptr<const GridContent> content);
    const GridContent *content() const { return model_->content(); }

    // The first grid row shown under the heading row.
    std::int64_t firstShownRow() const { return model_->firstRow(); }
    // Grid rows shown whole.
    int wholeRowsShown() const;
    // Scrolls the least needed to show grid row `row` whole.
    void scrollToRow(std::int64_t row);

    // The current cell, which the arrows move and the grid draws framed while it has the focus:
    // a grid row (1..rows) and a column.
    std::int64_t currentRow() const { return currentRow_; }
    int currentColumn() const { return currentColumn_; }
    // Makes a cell current (clamped to the grid) and scrolls the least needed to show it.
    void setCurrentCell(std::int64_t row, int column);

    QTableView *table() const { return table_; }
    QScrollBar *scrollBar() const { return scrollBar_; }
    GridWindowModel *model() const { return model_; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutRows();
    void showFrom(int scrollValue);
    // Gives the table view the current cell when it is among the rows shown.
    void showCurrentCell();

    QTableView *table_ = nullptr;
    QScrollBar *scrollBar_ = nullptr;
    GridWindowModel *model_ = nullptr;
    int windowRows_ = 1;
    int rowHeight_ = scaledToFont(kRowHeight);
    std::int64_t currentRow_ = 1;
    int currentColumn_ = 0;
};

} // namespace mvx::ui
