#include "ui/keyboard_access.h"

#include "model/outside_links.h"
#include "model/platform.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

namespace mvx::ui {

namespace {

bool isReturn(const QKeyEvent *key)
{
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && modifiers == Qt::NoModifier;
}

// Presses the button the way a click does, when a user could click it.
void press(QAbstractButton *button)
{
    if (button && button->isVisible() && button->isEnabled())
        button->click();
}

class GridReturnGuard : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && isReturn(static_cast<QKeyEvent *>(event)))
            return true;
        return QObject::eventFilter(watched, event);
    }
};

// Watches the whole application: Return or Enter sent to a focused push or tool button presses
// that button, in a dialog as in a main window. A dialog's own handling would press its default
// button instead whenever the focused one is not "auto default"; the focus elsewhere still
// reaches the default button as before.
class ReturnPresses : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && isReturn(static_cast<QKeyEvent *>(event))) {
            auto *button = qobject_cast<QAbstractButton *>(watched);
            if (button && button->hasFocus()
                && (qobject_cast<QPushButton *>(button) || qobject_cast<QToolButton *>(button))) {
                press(button);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

class EscapePresses : public QObject
{
public:
    EscapePresses(QWidget *window, QAbstractButton *button)
        : QObject(window)
        , button_(button)
    { }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Escape && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                // The key is spent even while the button cannot be pressed, so that the window's
                // own Escape does not do something else.
                press(button_);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QAbstractButton> button_;
};

class HelpKey : public QObject
{
public:
    HelpKey(QObject *owner, Platform &platform)
        : QObject(owner)
        , platform_(platform)
    {
        qApp->installEventFilter(this);
    }
    ~HelpKey() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
                openHelp(platform_);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Platform &platform_;
};

// A combo box as a screen reader sees it: its accessible name when it has one (its current text
// otherwise), its current text as its value.
class NamedComboBox : public QAccessibleWidget
{
public:
    explicit NamedComboBox(QComboBox *box)
        : QAccessibleWidget(box, QAccessible::ComboBox)
    { }

    QString text(QAccessible::Text t) const override
    {
        const auto *box = static_cast<const QComboBox *>(widget());
        switch (t) {
        case QAccessible::Name:
            return box->accessibleName().isEmpty() ? box->currentText() : box->accessibleName();
        case QAccessible::Value:
            return box->currentText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = static_cast<const QComboBox *>(widget())->isEditable();
        return s;
    }
};

QAccessibleInterface *namedComboBoxFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QComboBox") && object && object->isWidgetType())
        return new NamedComboBox(static_cast<QComboBox *>(object));
    return nullptr;
}

} // namespace

void installAccessibleNames()
{
    static const bool installed = [] {
        QAccessible::installFactory(namedComboBoxFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void nameBox(QComboBox *box, const QString &name)
{
    installAccessibleNames();
    // Qt makes and keeps a box's accessible object at the box's first change (filling its list
    // is one); one made before the factory above would speak the value: it is made again.
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(box);
    if (face && !dynamic_cast<NamedComboBox *>(face))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(face));
    box->setAccessibleName(name);
}

void keepGridOutOfTabChain(QAbstractItemView *grid)
{
    grid->setTabKeyNavigation(false);
    grid->installEventFilter(new GridReturnGuard(grid));
}

QString numberedBoxName(const QString &caption, int number, const QString &unit)
{
    return QStringLiteral("%1, %2 %3").arg(caption, unit).arg(number);
}

void nameNumberedBox(QComboBox *box, const QString &caption, int number, const QString &unit)
{
    nameBox(box, numberedBoxName(caption, number, unit));
}

void pressFocusedButtonOnReturn()
{
    static QPointer<ReturnPresses> filter;
    if (filter || !qApp)
        return;
    filter = new ReturnPresses(qApp);
    qApp->installEventFilter(filter);
}

QShortcut *addButtonShortcut(QWidget *window, const QKeySequence &key, QAbstractButton *button)
{
    auto *shortcut = new QShortcut(key, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] { press(button); });
    return shortcut;
}

void escapePresses(QWidget *window, QAbstractButton *button)
{
    window->installEventFilter(new EscapePresses(window, button));
}

void openHelpOnF1(QObject *owner, Platform &platform)
{
    new HelpKey(owner, platform);
}

} // namespace mvx::ui
