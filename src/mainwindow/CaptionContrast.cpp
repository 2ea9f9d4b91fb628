#include "mainwindow/CaptionContrast.h"

#include "platform/Contrast.h"
#include "platform/WidgetTools.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>

namespace veltro::mainwindow {

CaptionContrast::CaptionContrast(QWidget& area, const QLabel& picture,
                                 std::vector<QLabel*> captions)
    : QObject(&area), area_(area), picture_(picture), captions_(std::move(captions)) {
    area_.installEventFilter(this);
    for (QLabel* caption : captions_) {
        caption->installEventFilter(this);
    }
}

void CaptionContrast::update() {
    pending_ = false;
    const QPixmap shown = picture_.isVisible() ? picture_.pixmap() : QPixmap();
    for (QLabel* caption : captions_) {
        QColor behind;
        if (!shown.isNull()) {
            // The picture fills the area from its top left corner.
            const QRect area = caption->geometry().translated(-picture_.pos());
            behind = platform::meanColour(shown.copy(area).toImage(), QRect(QPoint(), area.size()));
        }
        if (!behind.isValid()) {
            behind = area_.palette().color(QPalette::Window);
        }
        platform::setRole(caption, QPalette::WindowText, platform::readableOn(behind));
    }
}

bool CaptionContrast::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::Move || type == QEvent::Resize ||
        (watched == &area_ && type == QEvent::PaletteChange)) {
        updateSoon();
    }
    return QObject::eventFilter(watched, event);
}

void CaptionContrast::updateSoon() {
    // A resize moves the captions and refits the picture in one go; look once all is done.
    if (!pending_) {
        pending_ = true;
        QTimer::singleShot(0, this, [this] {
            if (pending_) {
                update();
            }
        });
    }
}

}  // namespace veltro::mainwindow
