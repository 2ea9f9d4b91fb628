#include "options/BackgroundFitter.h"

#include "options/BackgroundPicture.h"

#include <QEvent>
#include <QLabel>

namespace veltro::options {

BackgroundFitter::BackgroundFitter(QLabel& image) : QObject(&image), image_(image) {
    setObjectName(QStringLiteral("BackgroundFitter"));
    if (image.parentWidget() != nullptr) {
        image.parentWidget()->installEventFilter(this);
    }
}

void BackgroundFitter::fit(QLabel& image, const QPixmap& picture) {
    auto* fitter = image.findChild<BackgroundFitter*>(QString(), Qt::FindDirectChildrenOnly);
    if (fitter == nullptr) {
        fitter = new BackgroundFitter(image);
    }
    fitter->picture_ = picture;
    fitter->refit();
}

bool BackgroundFitter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == image_.parentWidget()) {
        refit();
    }
    return QObject::eventFilter(watched, event);
}

void BackgroundFitter::refit() {
    const QWidget* area = image_.parentWidget();
    if (area == nullptr) {
        return;
    }
    image_.setGeometry(area->rect());
    image_.setPixmap(BackgroundPicture::filling(picture_, area->size()));
    image_.lower();
}

}  // namespace veltro::options
