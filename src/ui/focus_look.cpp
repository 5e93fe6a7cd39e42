#include "ui/focus_look.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>

namespace mvx::ui {

namespace {

class FocusLookStyle : public QProxyStyle
{
public:
    FocusLookStyle()
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
    { }

    void drawControl(
        ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const override
    {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element == CE_PushButton && (option->state & State_HasFocus)) {
            // The frame inside the button's bevel, clear of its label.
            const int inset = pixelMetric(PM_DefaultFrameWidth, option, widget) + 2;
            painter->save();
            QPen pen(option->palette.color(QPalette::ButtonText));
            pen.setStyle(Qt::DotLine);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option->rect.adjusted(inset, inset, -inset - 1, -inset - 1));
            painter->restore();
        } else if (element == CE_ShapedFrame && widget && widget->hasFocus()
            && qobject_cast<const QAbstractItemView *>(widget)) {
            const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
            const int width = frame ? std::max(frame->lineWidth, 1) : 1;
            painter->save();
            QPen pen(option->palette.color(QPalette::Highlight), width);
            pen.setJoinStyle(Qt::MiterJoin);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            const qreal half = width / 2.0;
            painter->drawRect(QRectF(option->rect).adjusted(half, half, -half, -half));
            painter->restore();
        }
    }
};

// Gives a button or a grid the style as it first takes the focus; a control that has a style or
// a style sheet of its own keeps it.
class FocusLook : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::FocusIn)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || !(qobject_cast<QPushButton *>(widget) || qobject_cast<QAbstractItemView *>(widget)))
            return false;
        if (widget->style() == QApplication::style() && widget->styleSheet().isEmpty() && !qApp->styleSheet().length())
            widget->setStyle(focusLookStyle());
        return false;
    }
};

} // namespace

QStyle *focusLookStyle()
{
    static QPointer<FocusLookStyle> style;
    if (!style) {
        style = new FocusLookStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

void showFocusClearly()
{
    static QPointer<FocusLook> filter;
    if (filter || !qApp)
        return;
    filter = new FocusLook(qApp);
    qApp->installEventFilter(filter);
}

} // namespace mvx::ui
