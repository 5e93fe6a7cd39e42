#include "ui/program_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
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

QIcon buttonIcon(const QString &name, int size)
{
    initProgramResources();
    QSvgRenderer picture(QStringLiteral(":/icons/%1.svg").arg(name));
    Q_ASSERT_X(picture.isValid(), "buttonIcon", qPrintable(name));
    QIcon icon;
    for (int scale : { 1, 2 }) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        picture.render(&painter);
        painter.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace mvx::ui
