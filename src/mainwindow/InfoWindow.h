#pragma once

#include <QDialog>

namespace veltro::mainwindow {

// "&Info": the program's picture and version in a small window of its own, which closes
// with Escape, a click anywhere in it or its close button.
class InfoWindow final : public QDialog {
    Q_OBJECT

public:
    // Shows the one info window over `parent`, or brings it to the front.
    static InfoWindow* open(QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit InfoWindow(QWidget* parent);
};

}  // namespace veltro::mainwindow
