#include "ui/program_icon.h"

#include <QtGlobal>

// The resources are compiled into a static library: nothing would pull them into the program
// unless something names them.
static void initProgramResources()
{
    Q_INIT_RESOURCE(marovellix);
}

namespace mvx::ui {

QIcon programIcon()
{
    initProgramResources();
    QIcon icon;
    for (int size : { 16, 32, 48, 256 })
        icon.addFile(QStringLiteral(":/icons/marovellix-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace mvx::ui
