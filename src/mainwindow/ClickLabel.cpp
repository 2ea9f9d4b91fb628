#include "mainwindow/ClickLabel.h"

#include <QMouseEvent>

namespace veltro::mainwindow {

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    Q_EMIT pressed();
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    Q_EMIT released();
    event->accept();
}

}  // namespace veltro::mainwindow
