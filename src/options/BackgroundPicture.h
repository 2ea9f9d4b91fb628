#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>

namespace veltro::options {

// The six background pictures of the colour schemes, painted by the program itself:
// 1 Standard, 2 Wolken (clouds), 3 Natur, 4 Nacht, 5 Wald (forest), 6 Rugby.
class BackgroundPicture {
public:
    static constexpr QSize kSize{1600, 1000};

    // Paints the picture of a scheme; numbers outside 1 … 6 give "Standard".
    [[nodiscard]] static QImage paint(int scheme, QSize size = kSize);
    // The picture at its full size, painted once per run.
    [[nodiscard]] static QPixmap of(int scheme);
    // The picture scaled to fill a rectangle of this size, cropped around its centre.
    [[nodiscard]] static QPixmap filling(const QPixmap& picture, QSize size);
};

}  // namespace veltro::options
