#pragma once

#include <QObject>

#include <vector>

class QColor;
class QLabel;
class QWidget;

namespace veltro::mainwindow {

// Keeps the captions on the card area readable against the picture or the colour behind
// them, and keeps them so as they move and the picture changes: captions of no colour of
// their own get black or white text; captions in a scheme's colour keep it and get a backing
// where the colour alone does not stand out enough.
class CaptionContrast final : public QObject {
public:
    // picture is the card area's background picture label; it fills the area when shown.
    CaptionContrast(QWidget& area, const QLabel& picture, std::vector<QLabel*> plain,
                    std::vector<QLabel*> coloured);

    // Picks the colours now, after the picture, the area's colour or a caption's changed.
    void update();
    // What the caption stands on: the picture under it or the area's colour.
    [[nodiscard]] QColor behind(const QLabel& caption) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateSoon();

    QWidget& area_;
    const QLabel& picture_;
    std::vector<QLabel*> plain_;
    std::vector<QLabel*> coloured_;
    bool pending_ = false;
};

}  // namespace veltro::mainwindow
