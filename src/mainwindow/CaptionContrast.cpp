#include "mainwindow/CaptionContrast.h"

#include "platform/Contrast.h"
#include "platform/WidgetTools.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>

namespace veltro::mainwindow {

CaptionContrast::CaptionContrast(QWidget& area, const QLabel& picture, std::vector<QLabel*> plain,
                                 std::vector<QLabel*> coloured)
    : QObject(&area),
      area_(area),
      picture_(picture),
      plain_(std::move(plain)),
      coloured_(std::move(coloured)) {
    area_.installEventFilter(this);
    for (const auto* captions : {&plain_, &coloured_}) {
        for (QLabel* caption : *captions) {
            caption->installEventFilter(this);
        }
    }
}

QColor CaptionContrast::behind(const QLabel& caption) const {
    if (picture_.isVisible() && !picture_.pixmap().isNull()) {
        // The picture fills the area from its top left corner.
        const QRect area =
            QRect(caption.mapTo(&area_, QPoint()), caption.size()).translated(-picture_.pos());
        const QColor mean = platform::meanColour(picture_.pixmap().copy(area).toImage(),
                                                 QRect(QPoint(), area.size()));
        if (mean.isValid()) {
            return mean;
        }
    }
    return area_.palette().color(QPalette::Window);
}

void CaptionContrast::update() {
    pending_ = false;
    for (QLabel* caption : plain_) {
        platform::setRole(caption, QPalette::WindowText, platform::readableOn(behind(*caption)));
    }
    for (QLabel* caption : coloured_) {
        const QColor text = caption->palette().color(QPalette::WindowText);
        const QColor ground = behind(*caption);
        const bool backed = platform::contrastRatio(text, ground) < platform::kReadableContrast;
        if (backed) {
            platform::setRole(caption, QPalette::Window, platform::backingFor(text, ground));
        }
        caption->setAutoFillBackground(backed);
    }
}

bool CaptionContrast::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::Move || type == QEvent::Resize ||
        (watched == &area_ && type == QEvent::PaletteChange) || type == QEvent::Show) {
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
