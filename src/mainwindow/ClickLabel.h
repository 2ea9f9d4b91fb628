#pragma once

#include <QLabel>

namespace veltro::mainwindow {

// A label that reports presses and releases, for the clear-search label.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void pressed();
    void released();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace veltro::mainwindow
