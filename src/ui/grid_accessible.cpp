#include "ui/grid_accessible.h"

#include "ui/ticket_grid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QTableView>

#include <map>
#include <utility>

namespace mvx::ui {

namespace {

class GridTable;

// One cell of the grid, at its row of the whole grid (1-based, as the grid counts) and column.
class GridCell : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    GridCell(GridTable *table, std::int64_t row, int column)
        : table_(table)
        , row_(row)
        , column_(column)
    { }

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this) : nullptr;
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return int(row_ - 1); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override;

private:
    GridTable *table_;
    std::int64_t row_;
    int column_;
};

// The table view of a ticket grid. Qt's own table would count only the rows the view holds.
class GridTable : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit GridTable(QTableView *view)
        : QAccessibleWidget(view, QAccessible::Table)
    { }
    ~GridTable() override { forgetCells(); }

    TicketGrid *grid() const { return qobject_cast<TicketGrid *>(widget()->parentWidget()); }
    QTableView *view() const { return static_cast<QTableView *>(widget()); }
    const GridContent *content() const { return grid() ? grid()->content() : nullptr; }

    // The cell's accessible object, made once and kept while the content stays.
    QAccessibleInterface *cell(std::int64_t row, int column) const
    {
        const GridContent *shown = content();
        if (!shown || row < 1 || row > shown->rowCount() || column < 0 || column >= shown->columnCount())
            return nullptr;
        if (shown != cellsOf_ || cells_.size() > 512)
            const_cast<GridTable *>(this)->forgetCells();
        cellsOf_ = shown;
        auto &id = cells_[{ row, column }];
        if (id == 0)
            id = QAccessible::registerAccessibleInterface(new GridCell(const_cast<GridTable *>(this), row, column));
        return QAccessible::accessibleInterface(id);
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface *>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }

    // Children as Qt's table view numbers them (a row and a column for its headers first), so
    // that the view's own focus events name the right cell.
    int childCount() const override
    {
        const int columns = view()->model() ? view()->model()->columnCount() : 0;
        const int rows = view()->model() ? view()->model()->rowCount() : 0;
        return (rows + 1) * (columns + 1);
    }
    QAccessibleInterface *child(int index) const override
    {
        const int columns = view()->model() ? view()->model()->columnCount() : 0;
        const int row = index / (columns + 1) - 1; // the view's row; 0 is the heading row
        const int column = index % (columns + 1) - 1;
        if (!grid() || row < 1 || column < 0)
            return nullptr;
        return cell(grid()->firstShownRow() + row - 1, column);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const QAccessibleTableCellInterface *c = const_cast<QAccessibleInterface *>(child)->tableCellInterface();
        if (!c || !grid())
            return -1;
        const std::int64_t shown = c->rowIndex() + 1 - grid()->firstShownRow() + 1;
        const int columns = view()->model() ? view()->model()->columnCount() : 0;
        if (shown < 1 || shown >= view()->model()->rowCount())
            return -1;
        return int(shown + 1) * (columns + 1) + c->columnIndex() + 1;
    }
    QAccessibleInterface *focusChild() const override
    {
        return grid() && view()->hasFocus() ? cell(grid()->currentRow(), grid()->currentColumn()) : nullptr;
    }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override { return cell(std::int64_t(row) + 1, column); }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface *> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override
    {
        return view()->model() ? view()->model()->headerData(column, Qt::Horizontal).toString() : QString();
    }
    int columnCount() const override { return content() ? content()->columnCount() : 0; }
    QString rowDescription(int) const override { return {}; }
    // Beyond what an int holds the count stops there; the cells are still reached by the keys.
    int rowCount() const override
    {
        return content() ? int(std::min<std::int64_t>(content()->rowCount(), std::numeric_limits<int>::max())) : 0;
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override { }

private:
    void forgetCells()
    {
        for (const auto &[key, id] : cells_)
            QAccessible::deleteAccessibleInterface(id);
        cells_.clear();
    }

    mutable const GridContent *cellsOf_ = nullptr;
    mutable std::map<std::pair<std::int64_t, int>, QAccessible::Id> cells_;
};

bool GridCell::isValid() const
{
    return table_ && table_->content() && row_ <= table_->content()->rowCount();
}

QAccessibleInterface *GridCell::parent() const
{
    return table_;
}

QAccessibleInterface *GridCell::table() const
{
    return table_;
}

QString GridCell::text(QAccessible::Text t) const
{
    const GridContent *content = table_->content();
    if (!content || (t != QAccessible::Name && t != QAccessible::Value))
        return {};
    return content->cell(row_, column_);
}

QRect GridCell::rect() const
{
    TicketGrid *grid = table_->grid();
    if (!grid)
        return {};
    const std::int64_t shown = row_ - grid->firstShownRow() + 1;
    QAbstractItemModel *model = table_->view()->model();
    if (!model || shown < 1 || shown >= model->rowCount())
        return {};
    const QRect inView = table_->view()->visualRect(model->index(int(shown), column_));
    return QRect(table_->view()->viewport()->mapToGlobal(inView.topLeft()), inView.size());
}

QAccessible::State GridCell::state() const
{
    QAccessible::State s;
    s.focusable = true;
    s.readOnly = true;
    TicketGrid *grid = table_->grid();
    if (grid && grid->currentRow() == row_ && grid->currentColumn() == column_ && table_->view()->hasFocus())
        s.focused = true;
    if (rect().isEmpty())
        s.invisible = true;
    return s;
}

QAccessibleInterface *gridFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QTableView") && object && object->isWidgetType()
        && qobject_cast<TicketGrid *>(static_cast<QWidget *>(object)->parentWidget()))
        return new GridTable(static_cast<QTableView *>(object));
    return nullptr;
}

} // namespace

void installTicketGridAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(gridFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void announceCurrentCell(TicketGrid *grid)
{
    if (!QAccessible::isActive() || !grid->table()->hasFocus())
        return;
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(grid->table());
    QAccessibleTableInterface *table = face ? face->tableInterface() : nullptr;
    if (!table)
        return;
    QAccessibleInterface *cell = table->cellAt(int(grid->currentRow() - 1), grid->currentColumn());
    if (!cell)
        return;
    QAccessibleEvent event(cell, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

} // namespace mvx::ui
