#include "ui/font_follow.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFontInfo>
#include <QLayout>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace mvx::ui {

namespace {

// The desktop font size the windows are laid out for.
constexpr double kLayoutPoints = 9.0;

double applicationPoints()
{
    const QFont font = QApplication::font();
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    // A font given in pixels: its size in points at the standard 96 dots per inch, which is what
    // the logical coordinates of the windows are.
    return font.pixelSize() * 72.0 / 96.0;
}

int scaled(int value, double scale)
{
    return int(std::lround(value * scale));
}

// Edges scaled rather than the width, so that controls side by side stay side by side.
QRect scaled(const QRect &rect, double scale)
{
    const int left = scaled(rect.left(), scale);
    const int top = scaled(rect.top(), scale);
    return QRect(
        left, top, scaled(rect.left() + rect.width(), scale) - left, scaled(rect.top() + rect.height(), scale) - top);
}

// Widgets that place their own children (the parts of a list box, a scroll area, a tab widget);
// their children are left to them.
bool placesItsChildren(const QWidget *widget)
{
    return qobject_cast<const QAbstractScrollArea *>(widget) || qobject_cast<const QComboBox *>(widget)
        || qobject_cast<const QAbstractSpinBox *>(widget) || qobject_cast<const QTabWidget *>(widget)
        || qobject_cast<const QTabBar *>(widget) || qobject_cast<const QStackedWidget *>(widget)
        || qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QToolButton *>(widget)
        || widget->layout() != nullptr;
}

void scaleFont(QWidget *widget, double scale)
{
    if (!widget->testAttribute(Qt::WA_SetFont))
        return;
    QFont font = widget->font();
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, scaled(font.pixelSize(), scale)));
    else if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    widget->setFont(font);
}

void scaleLimits(QWidget *widget, double scale)
{
    const QSize minimum = widget->minimumSize();
    const QSize maximum = widget->maximumSize();
    auto grow = [scale](int value) {
        return value >= QWIDGETSIZE_MAX ? value : std::min(QWIDGETSIZE_MAX, scaled(value, scale));
    };
    widget->setMaximumSize(grow(maximum.width()), grow(maximum.height()));
    widget->setMinimumSize(scaled(minimum.width(), scale), scaled(minimum.height(), scale));
}

class FontFollower : public QObject
{
public:
    explicit FontFollower(QWidget *window)
        : QObject(window)
        , window_(window)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Show && !done_) {
            done_ = true;
            const double scale = windowFontScale();
            if (scale != 1.0)
                grow(scale);
        }
        return false;
    }

private:
    void grow(double scale)
    {
        // Fonts first, every one set on a control; the rest inherit the window's.
        scaleFont(window_, scale);
        const QList<QWidget *> all = window_->findChildren<QWidget *>();
        // The program's dialogs are children of the main window: each grows with its own showing.
        for (QWidget *widget : all)
            if (widget->window() == window_)
                scaleFont(widget, scale);
        // Then the places, from the window down, where the parent does not place its children.
        for (QWidget *widget : all) {
            QWidget *parent = widget->parentWidget();
            if (widget->isWindow() || !parent || parent->window() != window_ || placesItsChildren(parent))
                continue;
            const QRect place = scaled(widget->geometry(), scale);
            scaleLimits(widget, scale);
            widget->setGeometry(place);
        }
        // The grids' rows and columns are scaled where they are set (scaledToFont), as they are
        // set again when the content changes.
        const QSize size = window_->size();
        window_->setFixedSize(scaled(size.width(), scale), scaled(size.height(), scale));
    }

    QWidget *window_;
    bool done_ = false;
};

} // namespace

double windowFontScale()
{
    const double scale = std::clamp(applicationPoints() / kLayoutPoints, 1.0, 3.0);
    return scale < 1.05 ? 1.0 : scale;
}

int scaledToFont(int pixels)
{
    return scaled(pixels, windowFontScale());
}

void followApplicationFont(QWidget *window)
{
    new FontFollower(window);
}

} // namespace mvx::ui
