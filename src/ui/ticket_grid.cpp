#include "ui/ticket_grid.h"

#include "arrival/classification.h"
#include "ui/common_widgets.h"
#include "ui/grid_accessible.h"
#include "ui/keyboard_access.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace mvx::ui {

TicketRows::TicketRows(
    const TicketList &tickets, const Selection &selection, const std::vector<std::uint8_t> *categories)
    : tickets_(tickets)
    , reader_(selection, tickets.layout())
    , categories_(categories)
    , horses_(std::max(tickets.horsesPerTicket(), 0))
{ }

int TicketRows::columnCount() const
{
    return horses_ + (categories_ ? 2 : 1);
}

int TicketRows::columnWidth(int column) const
{
    if (column == 0)
        return 60;
    return column <= horses_ ? 40 : 100;
}

std::int64_t TicketRows::rowCount() const
{
    // The result grid keeps one body row even with no ticket.
    return categories_ ? std::max<std::int64_t>(tickets_.count(), 1) : tickets_.count();
}

QString TicketRows::heading(int column) const
{
    if (column == 0)
        return QStringLiteral("TICKET");
    if (column == 1)
        return QStringLiteral("1er");
    if (column <= horses_)
        return QString::number(column) + QStringLiteral("eme");
    return {};
}

QString TicketRows::cell(std::int64_t row, int column) const
{
    if (row < 1 || row > tickets_.count())
        return {};
    if (column == 0)
        return QString::number(row);
    if (column <= horses_)
        return QString::number(reader_.horse(tickets_.ticket(row), column));
    if (categories_ && std::size_t(row) <= categories_->size())
        return gridLabel(WinCategory((*categories_)[std::size_t(row - 1)]));
    return {};
}

// ---------------------------------------------------------------------------------------------

void GridWindowModel::setContent(std::shared_ptr<const GridContent> content)
{
    beginResetModel();
    content_ = std::move(content);
    firstRow_ = 1;
    endResetModel();
}

int GridWindowModel::shownRows(std::int64_t firstRow, int rows) const
{
    if (!content_)
        return 0;
    return int(std::clamp<std::int64_t>(content_->rowCount() - firstRow + 1, 0, rows));
}

void GridWindowModel::setWindow(std::int64_t firstRow, int rows)
{
    firstRow = std::max<std::int64_t>(firstRow, 1);
    rows = std::max(rows, 0);
    const int before = rowCount();
    const int after = content_ ? 1 + shownRows(firstRow, rows) : 0;
    if (after > before)
        beginInsertRows({}, before, after - 1);
    else if (after < before)
        beginRemoveRows({}, after, before - 1);
    firstRow_ = firstRow;
    windowRows_ = rows;
    if (after > before)
        endInsertRows();
    else if (after < before)
        endRemoveRows();
    if (after > 0)
        Q_EMIT dataChanged(index(0, 0), index(after - 1, columnCount() - 1));
}

int GridWindowModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !content_)
        return 0;
    return 1 + shownRows(firstRow_, windowRows_);
}

int GridWindowModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !content_ ? 0 : content_->columnCount();
}

QVariant GridWindowModel::data(const QModelIndex &index, int role) const
{
    if (!content_ || !index.isValid())
        return {};
    const std::int64_t row = index.row() == 0 ? 0 : firstRow_ + index.row() - 1;
    switch (role) {
    case Qt::DisplayRole:
        return row == 0 ? content_->heading(index.column()) : content_->cell(row, index.column());
    case kGridRowRole:
        return qlonglong(row);
    default:
        return {};
    }
}

QVariant GridWindowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (content_ && orientation == Qt::Horizontal && section >= 0 && section < columnCount()
        && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)) {
        // The one column shown without a heading is the category a comparison gives each
        // ticket; a screen reader still says what it holds.
        const QString heading = content_->heading(section);
        return heading.isEmpty() ? QStringLiteral("Catégorie") : heading;
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags GridWindowModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

// ---------------------------------------------------------------------------------------------

TicketGrid::TicketGrid(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    // Before the table exists: Qt keeps the first accessible object it makes for it.
    installTicketGridAccessible();

    model_ = new GridWindowModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("cells"));
    table_->setFrameShape(QFrame::NoFrame);
    table_->setModel(model_);
    table_->setItemDelegate(new GridCellDelegate(1, 1, table_));
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setMinimumSectionSize(1);
    table_->verticalHeader()->setDefaultSectionSize(rowHeight_);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setMinimumSectionSize(1);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setAutoScroll(false);
    table_->setWordWrap(false);
    table_->setFocusPolicy(Qt::StrongFocus);
    keepGridOutOfTabChain(table_);
    table_->installEventFilter(this);
    table_->viewport()->installEventFilter(this);
    // The view holds only the rows on screen and never scrolls them itself; the heading row
    // stays at the top.
    connect(table_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value != 0)
            table_->verticalScrollBar()->setValue(0);
    });

    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setObjectName(QStringLiteral("rows"));
    scrollBar_->setSingleStep(1);
    connect(scrollBar_, &QScrollBar::valueChanged, this, &TicketGrid::showFrom);
    layoutRows();
}

void TicketGrid::setContent(std::shared_ptr<const GridContent> content)
{
    currentRow_ = 1;
    currentColumn_ = 0;
    model_->setContent(std::move(content));
    if (const GridContent *c = model_->content())
        for (int column = 0; column < c->columnCount(); ++column)
            table_->setColumnWidth(column, ui::scaledToFont(c->columnWidth(column)));
    {
        const QSignalBlocker blocker(scrollBar_);
        scrollBar_->setValue(0);
    }
    table_->horizontalScrollBar()->setValue(0);
    layoutRows();
}

int TicketGrid::wholeRowsShown() const
{
    return scrollBar_->pageStep();
}

void TicketGrid::scrollToRow(std::int64_t row)
{
    const std::int64_t first = model_->firstRow();
    const int whole = std::max(wholeRowsShown(), 1);
    if (row < first)
        scrollBar_->setValue(int(std::max<std::int64_t>(row - 1, 0)));
    else if (row >= first + whole)
        scrollBar_->setValue(int(std::min<std::int64_t>(row - whole, scrollBar_->maximum())));
}

void TicketGrid::setCurrentCell(std::int64_t row, int column)
{
    const GridContent *content = model_->content();
    const std::int64_t rows = content ? content->rowCount() : 0;
    const int columns = content ? content->columnCount() : 0;
    currentRow_ = std::clamp<std::int64_t>(row, 1, std::max<std::int64_t>(rows, 1));
    currentColumn_ = std::clamp(column, 0, std::max(columns - 1, 0));
    scrollToRow(currentRow_);
    showCurrentCell();
    announceCurrentCell(this);
}

void TicketGrid::showCurrentCell()
{
    const std::int64_t shown = currentRow_ - model_->firstRow() + 1;
    if (shown >= 1 && shown < model_->rowCount() && currentColumn_ < model_->columnCount()) {
        const QModelIndex cell = model_->index(int(shown), currentColumn_);
        table_->setCurrentIndex(cell);
        table_->scrollTo(cell); // sideways only: the rows never scroll inside the view
    } else
        table_->setCurrentIndex(QModelIndex());
    table_->viewport()->update();
}

void TicketGrid::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    layoutRows();
}

// Places the table and the scroll bar in the frame and sets how many rows the table shows.
// The scroll bars are decided here rather than by the view, which only ever sees a window.
void TicketGrid::layoutRows()
{
    const QRect inside = contentsRect();
    const int barExtent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const GridContent *content = model_->content();
    const std::int64_t rows = content ? content->rowCount() : 0;
    int contentWidth = 0;
    if (content)
        for (int column = 0; column < content->columnCount(); ++column)
            contentWidth += ui::scaledToFont(content->columnWidth(column));

    bool vertical = false;
    bool horizontal = false;
    int height = inside.height();
    for (int pass = 0; pass < 2; ++pass) {
        height = inside.height() - (horizontal ? barExtent : 0);
        const int whole = std::max((height - rowHeight_) / rowHeight_, 0);
        vertical = rows > whole;
        horizontal = contentWidth > inside.width() - (vertical ? barExtent : 0);
    }
    height = inside.height() - (horizontal ? barExtent : 0);
    const int whole = std::max((height - rowHeight_) / rowHeight_, 1);
    // The last row may show only in part.
    windowRows_ = std::max((height - rowHeight_ + rowHeight_ - 1) / rowHeight_, 1);

    table_->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    table_->setGeometry(inside.left(), inside.top(), inside.width() - (vertical ? barExtent : 0), inside.height());
    scrollBar_->setGeometry(inside.right() - barExtent + 1, inside.top(), barExtent, height);
    scrollBar_->setVisible(vertical);

    const int maximum = int(std::clamp<std::int64_t>(rows - whole, 0, std::numeric_limits<int>::max()));
    {
        const QSignalBlocker blocker(scrollBar_);
        scrollBar_->setPageStep(whole);
        scrollBar_->setRange(0, maximum);
    }
    model_->setWindow(std::int64_t(scrollBar_->value()) + 1, windowRows_);
    showCurrentCell();
}

void TicketGrid::showFrom(int scrollValue)
{
    model_->setWindow(std::int64_t(scrollValue) + 1, windowRows_);
    showCurrentCell();
}

bool TicketGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == table_->viewport() && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        // Sideways turns scroll the columns; the rest scroll the rows.
        if (std::abs(wheel->angleDelta().x()) > std::abs(wheel->angleDelta().y()))
            return false;
        QApplication::sendEvent(scrollBar_, event);
        return true;
    }
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // The keys move the current cell; the rows scroll the least needed to keep it in view,
        // a page at a time with the page keys.
        const std::int64_t last = model_->content() ? model_->content()->rowCount() : 1;
        const int page = std::max(wholeRowsShown(), 1);
        switch (key->key()) {
        case Qt::Key_Down:
            setCurrentCell(currentRow_ + 1, currentColumn_);
            return true;
        case Qt::Key_Up:
            setCurrentCell(currentRow_ - 1, currentColumn_);
            return true;
        case Qt::Key_Left:
            setCurrentCell(currentRow_, currentColumn_ - 1);
            return true;
        case Qt::Key_Right:
            setCurrentCell(currentRow_, currentColumn_ + 1);
            return true;
        case Qt::Key_PageDown:
            scrollBar_->triggerAction(QAbstractSlider::SliderPageStepAdd);
            setCurrentCell(currentRow_ + page, currentColumn_);
            return true;
        case Qt::Key_PageUp:
            scrollBar_->triggerAction(QAbstractSlider::SliderPageStepSub);
            setCurrentCell(currentRow_ - page, currentColumn_);
            return true;
        case Qt::Key_Home:
            setCurrentCell(1, currentColumn_);
            return true;
        case Qt::Key_End:
            setCurrentCell(last, currentColumn_);
            return true;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace mvx::ui
