#pragma once

#include <QString>

class QAbstractButton;
class QAbstractItemView;
class QComboBox;
class QKeySequence;
class QObject;
class QShortcut;
class QWidget;

namespace mvx {
class Platform;
}

namespace mvx::ui {

// What makes a window usable without a mouse and speakable by a screen reader, shared by every
// window of the program.

// A grid gives Tab and Shift+Tab back to the window, so that the focus leaves it for the next
// control; the arrows still move inside. Return and Enter in the grid do nothing, rather than
// reach the window's default button.
void keepGridOutOfTabChain(QAbstractItemView *grid);

// Names a selection box for a screen reader. Qt names a combo box on Linux by its current value
// ("7") whatever its accessible name; the first call installs an accessibility factory under
// which a combo box with a name speaks it, its value staying the current text.
void nameBox(QComboBox *box, const QString &name);
// Installs that factory: done when a window is set up, before its boxes are made.
void installAccessibleNames();

// The name a screen reader speaks for a box that shows only a number, from what is read beside
// it: the caption of its group and its number, "Sélection des chevaux, case 3".
QString numberedBoxName(const QString &caption, int number, const QString &unit = QStringLiteral("case"));
void nameNumberedBox(QComboBox *box, const QString &caption, int number, const QString &unit = QStringLiteral("case"));

// From the first call on, Return and Enter on a focused push or tool button press that button in
// every window and dialog of the program, as Space does (a dialog would press its default button
// instead, a main window nothing). Every window calls it when it is set up.
void pressFocusedButtonOnReturn();

// The key presses `button` (when it is shown and enabled) while the focus is anywhere in
// `window`, and nowhere else.
QShortcut *addButtonShortcut(QWidget *window, const QKeySequence &key, QAbstractButton *button);

// Escape in `window`, left unused by the focused control, presses `button` ("Retour",
// "Annuler") instead of the window's own handling of the key.
void escapePresses(QWidget *window, QAbstractButton *button);

// F1 opens the user guide from every window of the program for as long as `owner` lives.
void openHelpOnF1(QObject *owner, Platform &platform);

} // namespace mvx::ui
