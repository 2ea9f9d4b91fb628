#pragma once

#include <QLabel>

namespace veltro::mainwindow {

// A one-line label that ends its text with "…" where the room ends, instead of cutting it off
// or widening its column; the whole text shows as its tooltip then.
class ElidingLabel final : public QLabel {
public:
    using QLabel::QLabel;

    // The text as painted at the current width.
    [[nodiscard]] QString shownText() const;

    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace veltro::mainwindow
