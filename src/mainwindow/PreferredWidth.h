#pragma once

#include <QSize>

namespace veltro::mainwindow {

// A widget whose size hint has a width given from outside. With no stretch of its own, a
// box layout keeps it at exactly that width while there is room and hands every further
// pixel to its neighbours; when room runs short it still shrinks like any other.
template <typename Base>
class PreferredWidth final : public Base {
public:
    using Base::Base;

    void setPreferredWidth(int width) {
        if (width != width_) {
            width_ = width;
            this->updateGeometry();
        }
    }
    [[nodiscard]] int preferredWidth() const { return width_; }

    [[nodiscard]] QSize sizeHint() const override {
        QSize hint = Base::sizeHint();
        if (width_ >= 0) {
            hint.setWidth(width_);
        }
        return hint;
    }

private:
    int width_ = -1;
};

}  // namespace veltro::mainwindow
