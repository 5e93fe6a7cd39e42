#pragma once

#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QSet>
#include <QStyledItemDelegate>
#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

class QComboBox;
class QFrame;
class QGroupBox;
class QPushButton;
class QTableView;

namespace mvx::ui {

// The colours every window of the program gives its gradient background.
inline const QColor kWindowStartColour(241, 255, 223);
inline const QColor kWindowEndColour(235, 254, 171);

// ---------------------------------------------------------------------------------------------
// Gradient background

struct GradientBand
{
    int top = 0; // first row of the band
    int bottom = 0; // first row below the band (top == bottom for an empty band)
    QColor colour;
};

// a * b / c in 64 bits, rounded to the nearest integer, halves away from zero.
int mulDivRounded(std::int64_t a, std::int64_t b, std::int64_t c);

// The 256 horizontal bands that paint a gradient of the given height, from `start` at the top
// to `end` at the bottom.
std::vector<GradientBand> gradientBands(int height, const QColor &start, const QColor &end);

// A background that fills its parent, follows its size and stays below its siblings.
class TDegradeClass : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor StartColor READ startColor WRITE setStartColor)
    Q_PROPERTY(QColor EndColor READ endColor WRITE setEndColor)

public:
    explicit TDegradeClass(QWidget *parent);

    QColor startColor() const { return start_; }
    QColor endColor() const { return end_; }
    void setStartColor(const QColor &colour);
    void setEndColor(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QColor start_ { 0, 0, 255 };
    QColor end_ { 255, 0, 0 };
};

// Gives a window the program's gradient background and returns it.
TDegradeClass *addWindowBackground(QWidget *window);

// The font every window of the program is laid out for ("MS Sans Serif" 8 pt, 11 pixels high).
QFont windowFont();

// The title bar of the program's dialogs: a caption, the system menu and the close box, no
// resizing.
inline constexpr Qt::WindowFlags kFixedDialogFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
    | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Names a window, fixes its client area and gives it its font and the gradient background.
void setUpWindow(QWidget *window, const QString &objectName, QSize clientSize, const QFont &font = windowFont());

// A window laid out at a fixed size that the screen cannot hold (a larger scale or a small
// screen) shows its controls in a scroll area as large as the screen allows, each time it is
// shown; Tab scrolls the focused control into view. On a screen that holds it nothing changes.
// setUpWindow does it for every window.
void scrollWhenLargerThanScreen(QWidget *window);

// The heading at the top of a window: "Times New Roman" bold, 32 pixels high.
QFont headingFont();

// Puts a window in the middle of the screen it is on.
void centreOnScreen(QWidget *window);

// ---------------------------------------------------------------------------------------------
// Numbered boxes: the direct children of a group that carry a number in their "tag" property
// (1..20); every other child has tag 0. The operations below write the boxes as the program,
// not as the user: the boxes' signals are blocked while they are written.

void setTag(QWidget *widget, int tag);
int tagOf(const QWidget *widget);

// Clears the list and adds "1".."n", selecting the first; n <= 0 leaves the list and text empty.
// Shows a number in a box the way the program writes it: the list item when it has one. The
// box's signals stay silent.
void showBoxText(QComboBox *box, const QString &text);
void fillNumberList(QComboBox *box, int n);
// fillNumberList with n on every box of the group with a tag above 0.
void fillTaggedNumberLists(QWidget *group, int n);
// Children with a tag above 0 are enabled when their tag is at most n.
void enableByTag(QWidget *group, int n);
// Children with a tag of 0 or more are visible when their tag is at most n.
void showByTag(QWidget *group, int n);
// Children with a tag above 0 are red when their tag is at most n, white otherwise.
void colourByTag(QWidget *group, int n);
// The box tagged `tag` gets the list "1".."n" and shows item `selection` (the text of that
// number); a selection of 0 or less, or beyond the list, leaves its text empty.
void fillNumberListAt(QWidget *group, int tag, int n, int selection);
// The child tagged `tag` shows the decimal text of `value`.
void setTaggedText(QWidget *group, int tag, int value);

// ---------------------------------------------------------------------------------------------
// Number boxes

// Lets only the digits "0".."9" and backspace through to the box; every other typed character
// is discarded, and pasted or composed text holding anything but digits is refused.
void installDigitFilter(QComboBox *box);

// An editable combo box for a number: at most `maxLength` characters, no inline completion,
// nothing added to the list on Enter, the digit filter installed, the wheel taken only with the
// focus. Its size is left to the caller.
QComboBox *makeNumberBox(QWidget *parent, const QString &objectName, int tag, int maxLength);

// The widget takes the mouse wheel only while it has the keyboard focus, so that scrolling over a
// window never changes a box the pointer passes; a click or Tab gives it the focus.
void takeWheelOnlyWithFocus(QWidget *widget);

// ---------------------------------------------------------------------------------------------
// Building windows: every control carries its name as objectName and stands at its rectangle.

// The columns of a row of ten numbered boxes (c1..c10, c11..c20), and of the numbers above them.
inline constexpr std::array<int, 10> kNumberRowBoxLeft { 16, 79, 142, 205, 268, 332, 395, 458, 521, 573 };
inline constexpr std::array<int, 10> kNumberRowLabelLeft { 35, 95, 158, 220, 286, 349, 413, 475, 536, 587 };

// A label sized to its caption, its top-left corner at (x, y).
QLabel *makeLabel(QWidget *parent, const QString &objectName, const QString &caption, int x, int y);
QPushButton *makeButton(QWidget *parent, const QString &objectName, const QString &caption, const QRect &rect);
// A group box whose frame runs through the middle of its title, as the window layouts expect:
// the controls placed at the group's top edge stand below the frame line, not across it.
QGroupBox *makeGroup(QWidget *parent, const QString &objectName, const QString &title, const QRect &rect);
// Gives an existing group box the frame of makeGroup.
void useGroupFrame(QGroupBox *group);
// A raised panel.
QFrame *makePanel(QWidget *parent, const QString &objectName, const QRect &rect);
// A combo box the user picks from but cannot type into; it takes the wheel only with the focus.
QComboBox *makePickList(QWidget *parent, const QString &objectName, const QRect &rect);

// ---------------------------------------------------------------------------------------------
// Result text

// A result the punter reads (winnings, a balance, the tickets a system makes, the month's
// budget): read-only text that Tab reaches, framed while it has the focus. A screen reader
// hears it as its caption and its text, "Résultats : Gains 12,40 €", and hears it again each
// time the text changes.
class ResultText : public QLabel
{
    Q_OBJECT

public:
    ResultText(const QString &caption, QWidget *parent);

    QString caption() const { return caption_; }
    // Shows `text` (plain text, lines apart on lines of their own) and tells the screen reader.
    // Hides QLabel::setText on purpose: the text is always set through this.
    void setText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void announce();

    QString caption_;
};

// ---------------------------------------------------------------------------------------------
// Grid cells

// The row a cell stands in within the whole grid, for a model that shows only the rows on
// screen of a longer grid (row 0 is the heading row). The delegate colours rows by it.
inline constexpr int kGridRowRole = Qt::UserRole + 1;

// Paints the cells of the program's grids: data rows alternate white (odd) and RGB(225,255,244)
// (even), fixed cells RGB(199,185,200), text in black 2 pixels right of and below the cell's
// top-left corner. Rows and columns count from 0; a selected cell gets no other colour.
class GridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit GridCellDelegate(int fixedRows = 1, int fixedColumns = 0, QObject *parent = nullptr);

    void setBoldColumns(const QSet<int> &columns) { boldColumns_ = columns; }
    QSet<int> boldColumns() const { return boldColumns_; }

    // The fill of a cell, or an invalid colour when the grid's own background stays (row 0 when
    // it is not a fixed row).
    QColor cellFill(int row, int column) const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int fixedRows_;
    int fixedColumns_;
    QSet<int> boldColumns_;
};

// The heading row of a grid whose model holds its headings in row 0: the grid's delegate
// paints it and it stays in view while the data rows scroll under it. It hides the grid's own
// row 0 and sets the column widths, again after every reset of the model.
class GridHeading : public QHeaderView
{
    Q_OBJECT

public:
    GridHeading(QTableView *grid, int rowHeight, const std::vector<int> &columnWidths);

    void setModel(QAbstractItemModel *model) override;
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    void shapeGrid();

    QTableView *grid_;
    int rowHeight_;
    std::vector<int> columnWidths_;
};

// Makes a table view look and behave as the program's grids: rows `rowHeight` high, the given
// column widths, no row numbers, cells painted by `delegate` (which the grid takes), the
// model's row 0 as a heading that stays, nothing editable.
void setUpGrid(QTableView *grid, GridCellDelegate *delegate, int rowHeight, const std::vector<int> &columnWidths);

} // namespace mvx::ui
