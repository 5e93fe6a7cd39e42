#pragma once

#include <QIcon>

namespace mvx::ui {

// The program's icon (a horseshoe and a plus on turf) at 16, 32, 48 and 256 pixels, from the
// program's resources. The application gives it to every window and to the task bar.
QIcon programIcon();

// A button's picture, one SVG file per meaning in the same resources (":/icons/NAME.svg":
// "printer", "info", "help"), drawn at `size` pixels and twice that for high-density screens.
QIcon buttonIcon(const QString &name, int size = 24);

} // namespace mvx::ui
