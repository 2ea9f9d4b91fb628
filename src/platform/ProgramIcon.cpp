#include "platform/ProgramIcon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace veltro::platform {

QIcon programIcon() {
    // The program gives it to the application first; later windows share those pixmaps
    // rather than drawing eight sizes each again.
    if (QIcon shared = QGuiApplication::windowIcon(); !shared.isNull()) {
        return shared;
    }
    // Drawn here rather than through an icon engine plugin, which a system may lack.
    QSvgRenderer picture(QStringLiteral(":/icons/veltro-adressbuch.svg"));
    // The smallest size has a drawing of its own on whole pixels; scaled down, the big one
    // blurs.
    QSvgRenderer small(QStringLiteral(":/icons/veltro-adressbuch-16.svg"));
    QIcon icon;
    if (!picture.isValid()) {
        return icon;
    }
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        (size == 16 && small.isValid() ? small : picture).render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace veltro::platform
