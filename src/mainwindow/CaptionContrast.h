#pragma once

#include <QObject>

#include <vector>

class QLabel;
class QWidget;

namespace veltro::mainwindow {

// Gives captions on the card area black or white text, whichever stands out from the
// picture or the colour behind them, and keeps it so as they move and the picture changes.
class CaptionContrast final : public QObject {
public:
    // picture is the card area's background picture label; it fills the area when shown.
    CaptionContrast(QWidget& area, const QLabel& picture, std::vector<QLabel*> captions);

    // Picks the colours now, after the picture or the area's colour changed.
    void update();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateSoon();

    QWidget& area_;
    const QLabel& picture_;
    std::vector<QLabel*> captions_;
    bool pending_ = false;
};

}  // namespace veltro::mainwindow
