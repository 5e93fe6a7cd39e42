#pragma once

#include <QIcon>

namespace mvx::ui {

// The program's icon (a horseshoe and a plus on turf) at 16, 32, 48 and 256 pixels, from the
// program's resources. The application gives it to every window and to the task bar.
QIcon programIcon();

} // namespace mvx::ui
