#pragma once

#include <QPixmap>
#include <QSize>

namespace veltro::mainwindow {

// The splash picture, drawn by the program itself: a fan of index cards with an
// address on the front card.
[[nodiscard]] QPixmap paintSplashPicture(QSize size);

}  // namespace veltro::mainwindow
