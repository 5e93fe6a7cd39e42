#include "ui/common_widgets.h"

#include "ui/focus_look.h"
#include "ui/font_follow.h"
#include "ui/keyboard_access.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOption>
#include <QTableView>

#include <algorithm>
#include <functional>

namespace mvx::ui {

namespace {

const char *const kTagProperty = "tag";
const char *const kDigitFilterProperty = "mvxDigitFilter";

// Calls `action` for every direct child widget of `group`, in child order, with its tag.
void forEachTagged(QWidget *group, const std::function<void(QWidget *, int)> &action)
{
    if (!group)
        return;
    for (QObject *child : group->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child))
            action(widget, tagOf(widget));
    }
}

void fillItems(QComboBox *box, int n)
{
    box->clear();
    if (n > 0) {
        QStringList items;
        items.reserve(n);
        for (int i = 1; i <= n; ++i)
            items << QString::number(i);
        box->addItems(items);
    }
}

void setBoxText(QComboBox *box, const QString &text)
{
    if (box->isEditable())
        box->setEditText(text);
}

bool onlyDigits(const QString &text)
{
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// The key-press hook of the number boxes.
class DigitFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            return !keyAllowed(*static_cast<QKeyEvent *>(event));
        case QEvent::InputMethod:
            return !onlyDigits(static_cast<QInputMethodEvent *>(event)->commitString());
        default:
            return false;
        }
    }

private:
    static bool keyAllowed(const QKeyEvent &key)
    {
        switch (key.key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Tab: // focus moves are not typing
        case Qt::Key_Backtab:
            return true;
        default:
            break;
        }
        // Shortcuts (copy, paste, undo) go through; what they insert still meets the validator.
        if (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
            return true;
        // Arrows, Home and End type nothing; Delete ("\x7f"), Enter and Escape type a control
        // character: they edit, or go on to the window (its default button, closing it).
        const QString text = key.text();
        if (text.isEmpty() || !text[0].isPrint())
            return true;
        return text.size() == 1 && onlyDigits(text);
    }
};

// Swallows the wheel over a widget that does not have the focus.
class WheelGuard : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return event->type() == QEvent::Wheel && !static_cast<QWidget *>(watched)->hasFocus();
    }
};

// Group boxes drawn as the window layouts were made for: the frame's top line through the middle
// of the title, which stands a little in from the left edge with the line broken behind it.
// Fusion would draw the whole title above the frame, pushing the line onto the controls placed
// near the group's top. Everything else is left to the application's style.
class GroupFrameStyle : public QProxyStyle
{
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
        const QWidget *widget) const override
    {
        const QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
        if (control != CC_GroupBox)
            return rect;
        switch (part) {
        case SC_GroupBoxLabel:
        case SC_GroupBoxCheckBox: {
            // A title as wide as its group keeps all of its width.
            const QRect title
                = QProxyStyle::subControlRect(CC_GroupBox, option, SC_GroupBoxLabel, widget)
                      .united(QProxyStyle::subControlRect(CC_GroupBox, option, SC_GroupBoxCheckBox, widget));
            const bool rightToLeft = option->direction == Qt::RightToLeft;
            const int room = rightToLeft ? title.left() - option->rect.left() : option->rect.right() - title.right();
            const int indent = std::clamp(room, 0, 8);
            return rect.translated(rightToLeft ? -indent : indent, 0);
        }
        case SC_GroupBoxFrame:
            return option->rect.adjusted(0, option->fontMetrics.height() / 2, 0, 0);
        default:
            return rect;
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
        const QWidget *widget) const override
    {
        const auto *group = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
        if (control != CC_GroupBox || !group || !(group->subControls & SC_GroupBoxFrame)) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        painter->save();
        if (!group->text.isEmpty()) {
            const QRect title = subControlRect(CC_GroupBox, group, SC_GroupBoxLabel, widget).adjusted(-2, 0, 2, 0);
            painter->setClipRegion(QRegion(group->rect) - title);
        }
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(group->palette.color(QPalette::Window).darker(125));
        painter->setBrush(QColor(0, 0, 0, 8));
        const QRectF frame = subControlRect(CC_GroupBox, group, SC_GroupBoxFrame, widget);
        painter->drawRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        painter->restore();

        QStyleOptionGroupBox rest = *group;
        rest.subControls &= ~SC_GroupBoxFrame;
        QProxyStyle::drawComplexControl(control, &rest, painter, widget);
    }
};

QStyle *groupFrameStyle()
{
    static QPointer<GroupFrameStyle> style;
    if (!style) {
        style = new GroupFrameStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

} // namespace

// ---------------------------------------------------------------------------------------------

int mulDivRounded(std::int64_t a, std::int64_t b, std::int64_t c)
{
    const std::int64_t product = a * b;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = product < 0 ? -product : product;
    const std::int64_t divisor = c < 0 ? -c : c;
    const std::int64_t quotient = (magnitude + divisor / 2) / divisor;
    return int(negative ? -quotient : quotient);
}

std::vector<GradientBand> gradientBands(int height, const QColor &start, const QColor &end)
{
    const int r0 = start.red(), g0 = start.green(), b0 = start.blue();
    const int dr = end.red() - r0, dg = end.green() - g0, db = end.blue() - b0;
    std::vector<GradientBand> bands;
    bands.reserve(256);
    for (int i = 0; i < 256; ++i) {
        GradientBand band;
        band.top = mulDivRounded(i, height, 256);
        band.bottom = mulDivRounded(i + 1, height, 256);
        band.colour
            = QColor(r0 + mulDivRounded(i, dr, 255), g0 + mulDivRounded(i, dg, 255), b0 + mulDivRounded(i, db, 255));
        bands.push_back(band);
    }
    return bands;
}

TDegradeClass::TDegradeClass(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TDegradeClass"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (parent) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
        lower();
    }
}

void TDegradeClass::setStartColor(const QColor &colour)
{
    start_ = colour;
    update();
}

void TDegradeClass::setEndColor(const QColor &colour)
{
    end_ = colour;
    update();
}

void TDegradeClass::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (const GradientBand &band : gradientBands(height(), start_, end_)) {
        if (band.bottom > band.top)
            painter.fillRect(0, band.top, width(), band.bottom - band.top, band.colour);
    }
}

bool TDegradeClass::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return false;
}

TDegradeClass *addWindowBackground(QWidget *window)
{
    auto *background = new TDegradeClass(window);
    background->setStartColor(kWindowStartColour);
    background->setEndColor(kWindowEndColour);
    return background;
}

// ---------------------------------------------------------------------------------------------

void setTag(QWidget *widget, int tag)
{
    widget->setProperty(kTagProperty, tag);
}

int tagOf(const QWidget *widget)
{
    return widget->property(kTagProperty).toInt();
}

void showBoxText(QComboBox *box, const QString &text)
{
    const QSignalBlocker blocker(box);
    const int index = box->findText(text, Qt::MatchExactly);
    box->setCurrentIndex(index);
    if (box->isEditable() && box->currentText() != text)
        box->setEditText(text);
}

void fillNumberList(QComboBox *box, int n)
{
    if (!box)
        return;
    const QSignalBlocker blocker(box);
    fillItems(box, n);
    if (n > 0)
        box->setCurrentIndex(0);
    else
        setBoxText(box, QString());
}

void fillTaggedNumberLists(QWidget *group, int n)
{
    forEachTagged(group, [n](QWidget *widget, int tag) {
        if (tag > 0)
            fillNumberList(qobject_cast<QComboBox *>(widget), n);
    });
}

void enableByTag(QWidget *group, int n)
{
    forEachTagged(group, [n](QWidget *widget, int tag) {
        if (tag > 0)
            widget->setEnabled(tag <= n);
    });
}

void showByTag(QWidget *group, int n)
{
    forEachTagged(group, [n](QWidget *widget, int tag) {
        if (tag >= 0)
            widget->setVisible(tag <= n);
    });
}

void colourByTag(QWidget *group, int n)
{
    forEachTagged(group, [n](QWidget *widget, int tag) {
        if (tag <= 0)
            return;
        const QColor colour = tag <= n ? QColor(255, 0, 0) : QColor(255, 255, 255);
        auto paint = [&colour](QWidget *target) {
            QPalette palette = target->palette();
            palette.setColor(QPalette::Base, colour);
            palette.setColor(QPalette::Button, colour);
            target->setPalette(palette);
        };
        paint(widget);
        if (auto *box = qobject_cast<QComboBox *>(widget); box && box->lineEdit())
            paint(box->lineEdit());
    });
}

void fillNumberListAt(QWidget *group, int tag, int n, int selection)
{
    forEachTagged(group, [=](QWidget *widget, int childTag) {
        auto *box = qobject_cast<QComboBox *>(widget);
        if (childTag != tag || !box)
            return;
        const QSignalBlocker blocker(box);
        fillItems(box, n);
        if (selection > 0 && selection <= n) {
            box->setCurrentIndex(selection - 1);
        } else {
            box->setCurrentIndex(-1);
            setBoxText(box, QString());
        }
    });
}

void setTaggedText(QWidget *group, int tag, int value)
{
    const QString text = QString::number(value);
    forEachTagged(group, [&](QWidget *widget, int childTag) {
        if (childTag != tag)
            return;
        const QSignalBlocker blocker(widget);
        if (auto *box = qobject_cast<QComboBox *>(widget)) {
            // The list highlights the number when it holds it; the text is the number either way.
            box->setCurrentIndex(box->findText(text, Qt::MatchExactly));
            setBoxText(box, text);
        } else {
            widget->setProperty("text", text);
        }
    });
}

// ---------------------------------------------------------------------------------------------

void installDigitFilter(QComboBox *box)
{
    if (!box || box->property(kDigitFilterProperty).toBool())
        return;
    box->setProperty(kDigitFilterProperty, true);
    auto *filter = new DigitFilter(box);
    box->installEventFilter(filter);
    if (QLineEdit *edit = box->lineEdit()) {
        edit->installEventFilter(filter);
        box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
    }
}

QComboBox *makeNumberBox(QWidget *parent, const QString &objectName, int tag, int maxLength)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(objectName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->lineEdit()->setMaxLength(maxLength);
    setTag(box, tag);
    installDigitFilter(box);
    takeWheelOnlyWithFocus(box);
    return box;
}

void takeWheelOnlyWithFocus(QWidget *widget)
{
    // The default wheel focus would give the box the focus, and the turn, on the first notch.
    widget->setFocusPolicy(Qt::StrongFocus);
    widget->installEventFilter(new WheelGuard(widget));
}

// ---------------------------------------------------------------------------------------------

QFont windowFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

void setUpWindow(QWidget *window, const QString &objectName, QSize clientSize, const QFont &font)
{
    window->setObjectName(objectName);
    window->setFixedSize(clientSize);
    window->setFont(font);
    addWindowBackground(window);
    pressFocusedButtonOnReturn();
    showFocusClearly();
    installAccessibleNames();
    scrollWhenLargerThanScreen(window);
    // Installed after the screen fit, so that it runs first: the window grows, then it is fitted.
    followApplicationFont(window);
}

namespace {

class ScreenFit : public QObject
{
public:
    explicit ScreenFit(QWidget *window)
        : QObject(window)
        , window_(window)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Show)
            fit();
        return false;
    }

private:
    void fit()
    {
        const QScreen *screen = window_->screen();
        if (!screen)
            return;
        if (!laidOut_.isValid())
            laidOut_ = window_->size();
        // The title bar and the frame, as the window manager draws them: a guess before the
        // first showing, none where there is no window manager.
        QSize frame = window_->frameGeometry().size() - window_->geometry().size();
        if (frame.isEmpty() && QGuiApplication::platformName() != QLatin1String("offscreen"))
            frame = QSize(8, 32);
        const QSize room = screen->availableGeometry().size() - frame;
        QSize fitted = laidOut_.boundedTo(room);
        // A scroll bar along one side takes room from the other: the window gives it that room
        // when the screen has it, rather than scroll a few pixels both ways.
        const int bar = window_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, window_);
        if (fitted.width() < laidOut_.width())
            fitted.setHeight(std::min(room.height(), laidOut_.height() + bar));
        if (fitted.height() < laidOut_.height())
            fitted.setWidth(std::min(room.width(), laidOut_.width() + bar));
        if (!area_ && fitted == laidOut_)
            return;
        if (!area_)
            wrap();
        window_->setFixedSize(fitted);
        area_->setGeometry(window_->rect());
    }

    // Moves the window's controls into a scroll area, keeping their places and their Tab order;
    // the gradient background stays behind it.
    void wrap()
    {
        QList<QWidget *> chain;
        for (QWidget *w = window_->nextInFocusChain(); w && w != window_; w = w->nextInFocusChain())
            chain.append(w);

        area_ = new QScrollArea(window_);
        area_->setObjectName(QStringLiteral("screenFit"));
        area_->setFrameShape(QFrame::NoFrame);
        area_->setFocusPolicy(Qt::NoFocus);
        area_->viewport()->setAutoFillBackground(false);
        auto *inside = new QWidget;
        inside->setFixedSize(laidOut_);
        const QObjectList children = window_->children(); // a copy: the loop empties the list
        for (QObject *child : children) {
            auto *widget = qobject_cast<QWidget *>(child);
            if (!widget || widget == area_ || widget->isWindow() || qobject_cast<TDegradeClass *>(widget))
                continue;
            const bool shown = !widget->isHidden();
            const QRect place = widget->geometry();
            widget->setParent(inside);
            widget->setGeometry(place);
            widget->setVisible(shown);
        }
        area_->setWidget(inside);
        inside->setAutoFillBackground(false);
        area_->show();
        // Whatever moves the focus (Tab, a shortcut, a window's own code), the control comes
        // into view.
        connect(qApp, &QApplication::focusChanged, area_, [area = area_](QWidget *, QWidget *now) {
            if (now && area->widget() && area->widget()->isAncestorOf(now))
                area->ensureWidgetVisible(now, 8, 8);
        });
        for (qsizetype i = 1; i < chain.size(); ++i)
            if (chain[i - 1]->window() == window_ && chain[i]->window() == window_)
                QWidget::setTabOrder(chain[i - 1], chain[i]);
    }

    QWidget *window_;
    QSize laidOut_;
    QScrollArea *area_ = nullptr;
};

} // namespace

void scrollWhenLargerThanScreen(QWidget *window)
{
    new ScreenFit(window);
}

QFont headingFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(32);
    font.setBold(true);
    return font;
}

void centreOnScreen(QWidget *window)
{
    if (const QScreen *screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

ResultText::ResultText(const QString &caption, QWidget *parent)
    : QLabel(parent)
    , caption_(caption)
{
    // Painted as any label (the look stays); the focus and the screen reader are what it adds.
    setAccessibleName(caption_);
    setFocusPolicy(Qt::NoFocus);
}

void ResultText::setText(const QString &text)
{
    if (text == QLabel::text())
        return;
    QLabel::setText(text);
    announce();
}

void ResultText::announce()
{
    // The new name goes to the screen reader as a change of name.
    const QString spoken = QLabel::text().simplified();
    // Nothing to read, no Tab stop.
    setFocusPolicy(spoken.isEmpty() ? Qt::NoFocus : Qt::StrongFocus);
    // A text that begins with its caption ("Coût : 6 tickets...") is not given it twice.
    if (spoken.isEmpty() || spoken.startsWith(caption_))
        setAccessibleName(spoken.isEmpty() ? caption_ : spoken);
    else
        setAccessibleName(QStringLiteral("%1 : %2").arg(caption_, spoken));
}

void ResultText::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // Focused, the text gets the dotted frame a focused button has.
    QPainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(0, 0, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

QLabel *makeLabel(QWidget *parent, const QString &objectName, const QString &caption, int x, int y)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(objectName);
    label->adjustSize();
    label->move(x, y);
    return label;
}

QPushButton *makeButton(QWidget *parent, const QString &objectName, const QString &caption, const QRect &rect)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setGeometry(rect);
    return button;
}

QGroupBox *makeGroup(QWidget *parent, const QString &objectName, const QString &title, const QRect &rect)
{
    auto *group = new QGroupBox(title, parent);
    group->setObjectName(objectName);
    group->setGeometry(rect);
    useGroupFrame(group);
    return group;
}

void useGroupFrame(QGroupBox *group)
{
    group->setStyle(groupFrameStyle());
}

QFrame *makePanel(QWidget *parent, const QString &objectName, const QRect &rect)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(objectName);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(rect);
    return panel;
}

QComboBox *makePickList(QWidget *parent, const QString &objectName, const QRect &rect)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(objectName);
    box->setEditable(false);
    box->setGeometry(rect);
    takeWheelOnlyWithFocus(box);
    return box;
}

GridCellDelegate::GridCellDelegate(int fixedRows, int fixedColumns, QObject *parent)
    : QStyledItemDelegate(parent)
    , fixedRows_(fixedRows)
    , fixedColumns_(fixedColumns)
{ }

QColor GridCellDelegate::cellFill(int row, int column) const
{
    if (row < fixedRows_ || column < fixedColumns_)
        return QColor(199, 185, 200);
    if (row == 0)
        return QColor();
    return row % 2 == 1 ? QColor(255, 255, 255) : QColor(225, 255, 244);
}

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QRect cell = option.rect;
    painter->save();
    const QVariant gridRow = index.data(kGridRowRole);
    const QColor fill = cellFill(gridRow.isValid() ? int(gridRow.toLongLong()) : index.row(), index.column());
    if (fill.isValid())
        painter->fillRect(cell, fill);
    QFont font = option.font;
    if (boldColumns_.contains(index.column()))
        font.setBold(true);
    painter->setFont(font);
    painter->setPen(Qt::black);
    painter->setClipRect(cell);
    painter->drawText(cell.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
        index.data(Qt::DisplayRole).toString());
    // The current cell of the grid that has the focus: a frame the keyboard user follows.
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
        painter->drawRect(QRectF(cell).adjusted(1, 1, -1, -1));
    }
    painter->restore();
}

GridHeading::GridHeading(QTableView *grid, int rowHeight, const std::vector<int> &columnWidths)
    : QHeaderView(Qt::Horizontal, grid)
    , grid_(grid)
    , rowHeight_(scaledToFont(rowHeight))
    , columnWidths_(columnWidths)
{
    for (int &width : columnWidths_)
        width = scaledToFont(width);
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setFixedHeight(rowHeight_);
}

void GridHeading::setModel(QAbstractItemModel *model)
{
    if (this->model())
        disconnect(this->model(), nullptr, this, nullptr);
    QHeaderView::setModel(model);
    if (model) {
        // Connected after the grid's own reset handling, which shows every row again and gives
        // every column the default width.
        connect(model, &QAbstractItemModel::modelReset, this, &GridHeading::shapeGrid);
        shapeGrid();
    }
}

void GridHeading::shapeGrid()
{
    for (std::size_t c = 0; c < columnWidths_.size() && int(c) < count(); ++c)
        resizeSection(int(c), columnWidths_[c]);
    if (grid_->model() && grid_->model()->rowCount() > 0)
        grid_->setRowHidden(0, true);
}

QSize GridHeading::sizeHint() const
{
    return QSize(QHeaderView::sizeHint().width(), rowHeight_);
}

void GridHeading::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!model() || model()->rowCount() == 0)
        return;
    QStyleOptionViewItem option;
    option.initFrom(grid_);
    option.state &= ~QStyle::State_HasFocus; // the heading is never the current cell
    option.rect = rect;
    option.font = grid_->font();
    grid_->itemDelegate()->paint(painter, option, model()->index(0, logicalIndex));

    // The grid's lines, so that the heading cells line up with the cells below.
    if (grid_->showGrid()) {
        const QColor line = QColor::fromRgba(QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, grid_)));
        painter->save();
        painter->setPen(line);
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->restore();
    }
}

void setUpGrid(QTableView *grid, GridCellDelegate *delegate, int rowHeight, const std::vector<int> &columnWidths)
{
    delegate->setParent(grid);
    grid->setItemDelegate(delegate);
    grid->setHorizontalHeader(new GridHeading(grid, rowHeight, columnWidths));
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(scaledToFont(rowHeight));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
}

} // namespace mvx::ui
