#include "options/BackgroundPicture.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <algorithm>
#include <vector>

namespace veltro::options {

namespace {

// Every picture is drawn on a 1600 × 1000 canvas. The labels of the main window lie on top
// in yellow and white, so each picture stays dark enough behind them.
constexpr double kWidth = 1600;
constexpr double kHeight = 1000;

void fillVertical(QPainter& p, const QColor& top, const QColor& bottom) {
    QLinearGradient gradient(0, 0, 0, kHeight);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.fillRect(QRectF(0, 0, kWidth, kHeight), gradient);
}

void glow(QPainter& p, QPointF centre, double radius, QColor colour) {
    QRadialGradient gradient(centre, radius);
    gradient.setColorAt(0, colour);
    colour.setAlpha(0);
    gradient.setColorAt(1, colour);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawEllipse(centre, radius, radius);
}

// A line of hills: a smooth curve through evenly spaced heights, filled down to the bottom.
QPainterPath hills(const std::vector<double>& heights) {
    QPainterPath path(QPointF(0, kHeight));
    const double step = kWidth / static_cast<double>(heights.size() - 1);
    path.lineTo(0, heights.front());
    for (std::size_t i = 1; i < heights.size(); ++i) {
        const double x0 = step * static_cast<double>(i - 1);
        const double x1 = step * static_cast<double>(i);
        path.cubicTo(x0 + step / 2, heights[i - 1], x1 - step / 2, heights[i], x1, heights[i]);
    }
    path.lineTo(kWidth, kHeight);
    path.closeSubpath();
    return path;
}

void paintStandard(QPainter& p) {
    fillVertical(p, QColor(0x3d, 0x4f, 0x66), QColor(0x1c, 0x24, 0x30));
    // Broad, soft bands of light across the slate.
    for (int i = 0; i < 5; ++i) {
        QPainterPath band;
        const double y = 180.0 + i * 190.0;
        band.moveTo(-100, y);
        band.cubicTo(400, y - 160, 1100, y + 160, 1700, y - 40);
        band.lineTo(1700, y + 40);
        band.cubicTo(1100, y + 220, 400, y - 90, -100, y + 70);
        band.closeSubpath();
        p.fillPath(band, QColor(255, 255, 255, 10 + i * 3));
    }
    QRandomGenerator random(11);
    for (int i = 0; i < 28; ++i) {
        const QPointF centre(random.bounded(kWidth), random.bounded(kHeight));
        glow(p, centre, 30 + random.bounded(110.0), QColor(160, 190, 230, 18 + random.bounded(22)));
    }
}

void cloud(QPainter& p, QRandomGenerator& random, QPointF at, double size) {
    for (int puff = 0; puff < 9; ++puff) {
        const QPointF centre(at.x() + (random.bounded(2.0) - 1.0) * size * 1.4,
                             at.y() + (random.bounded(2.0) - 1.0) * size * 0.35);
        const double radius = size * (0.45 + random.bounded(0.5));
        QRadialGradient gradient(centre, radius, centre - QPointF(0, radius * 0.35));
        gradient.setColorAt(0, QColor(250, 252, 255, 125));
        gradient.setColorAt(0.6, QColor(215, 226, 245, 75));
        gradient.setColorAt(1, QColor(200, 215, 240, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(gradient);
        p.drawEllipse(centre, radius * 1.3, radius);
    }
}

void paintClouds(QPainter& p) {
    fillVertical(p, QColor(0x14, 0x3d, 0x7a), QColor(0x3f, 0x7c, 0xc4));
    glow(p, QPointF(1350, 120), 420, QColor(255, 240, 200, 60));
    QRandomGenerator random(23);
    const QPointF places[] = {{220, 160},  {760, 90},  {1280, 300}, {420, 520},
                              {1000, 640}, {180, 860}, {1450, 820}};
    for (const QPointF& place : places) {
        cloud(p, random, place, 70 + random.bounded(50.0));
    }
}

// Height of a hills() line at x, near enough to stand a tree on it.
double groundAt(const std::vector<double>& heights, double x) {
    const double step = kWidth / static_cast<double>(heights.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(x / step), heights.size() - 2);
    const double t = x / step - static_cast<double>(i);
    return heights[i] + (heights[i + 1] - heights[i]) * t * t * (3 - 2 * t);
}

void roundTrees(QPainter& p, QRandomGenerator& random, const std::vector<double>& ground, int count,
                double size) {
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const double x = 40 + random.bounded(kWidth - 80);
        const double base = groundAt(ground, x) + 12;
        const double r = size * (0.8 + random.bounded(0.5));
        p.fillRect(QRectF(x - r * 0.12, base - r * 1.6, r * 0.24, r * 1.6),
                   QColor(0x3a, 0x2a, 0x1a));
        p.setBrush(QColor(0x22, 0x4a, 0x1d));
        p.drawEllipse(QPointF(x, base - r * 1.9), r, r * 1.15);
        p.setBrush(QColor(0x2e, 0x5e, 0x27));
        p.drawEllipse(QPointF(x - r * 0.3, base - r * 2.2), r * 0.55, r * 0.55);
    }
}

void paintNature(QPainter& p) {
    fillVertical(p, QColor(0x24, 0x57, 0x84), QColor(0x8a, 0xb4, 0xc0));
    glow(p, QPointF(1240, 230), 260, QColor(255, 225, 150, 120));
    glow(p, QPointF(1240, 230), 60, QColor(255, 244, 210, 230));
    const std::vector<std::vector<double>> lines = {{430, 360, 400, 330, 380, 350, 410},
                                                    {560, 500, 540, 470, 520, 560, 500},
                                                    {700, 650, 620, 690, 640, 600, 660},
                                                    {860, 820, 850, 790, 830, 870, 810}};
    const QColor colours[] = {QColor(0x5d, 0x86, 0x5a), QColor(0x3f, 0x6e, 0x36),
                              QColor(0x2d, 0x57, 0x24), QColor(0x1e, 0x40, 0x17)};
    QRandomGenerator random(31);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        p.fillPath(hills(lines[i]), colours[i]);
        if (i == 1 || i == 2) {
            roundTrees(p, random, lines[i], i == 1 ? 9 : 6, i == 1 ? 14 : 24);
        }
    }
}

void paintNight(QPainter& p) {
    fillVertical(p, QColor(0x04, 0x08, 0x1c), QColor(0x1a, 0x2a, 0x55));
    QRandomGenerator random(47);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 420; ++i) {
        const QPointF star(random.bounded(kWidth), random.bounded(kHeight * 0.8));
        const double r = 0.8 + random.bounded(1.8);
        p.setBrush(QColor(255, 255, 240, 90 + random.bounded(160)));
        p.drawEllipse(star, r, r);
    }
    for (int i = 0; i < 12; ++i) {
        glow(p, QPointF(random.bounded(kWidth), random.bounded(kHeight * 0.7)), 9,
             QColor(220, 230, 255, 220));
    }
    // The crescent: a full disc with a second, sky-coloured disc taken out of it.
    const QPointF moon(1280, 190);
    glow(p, moon, 220, QColor(200, 210, 255, 55));
    QPainterPath crescent;
    crescent.addEllipse(moon, 70, 70);
    QPainterPath shadow;
    shadow.addEllipse(moon + QPointF(30, -18), 62, 62);
    p.fillPath(crescent.subtracted(shadow), QColor(0xf4, 0xf0, 0xd8));
    p.fillPath(hills({860, 820, 880, 840, 800, 850, 830}), QColor(0x06, 0x0b, 0x18));
}

void pine(QPainter& p, double x, double base, double height, const QColor& colour) {
    QPainterPath tree;
    const double width = height * 0.42;
    for (int tier = 0; tier < 4; ++tier) {
        const double top = base - height + tier * height * 0.2;
        const double bottom = top + height * 0.42;
        const double half = width * (0.45 + tier * 0.18) / 2;
        tree.moveTo(x, top);
        tree.lineTo(x + half, bottom);
        tree.lineTo(x - half, bottom);
        tree.closeSubpath();
    }
    p.fillPath(tree, colour);
}

void paintForest(QPainter& p) {
    fillVertical(p, QColor(0x2c, 0x4a, 0x3a), QColor(0x0b, 0x1c, 0x12));
    glow(p, QPointF(400, 150), 500, QColor(230, 240, 210, 45));
    QRandomGenerator random(59);
    const QColor layers[] = {QColor(0x4a, 0x6e, 0x58), QColor(0x2f, 0x52, 0x3d),
                             QColor(0x1a, 0x36, 0x26), QColor(0x0a, 0x1a, 0x10)};
    for (int layer = 0; layer < 4; ++layer) {
        const double base = 520 + layer * 150;
        const double height = 260 + layer * 110;
        for (double x = -40; x < kWidth + 60; x += 80 + layer * 45 + random.bounded(60.0)) {
            pine(p, x, base + random.bounded(40.0), height * (0.75 + random.bounded(0.4)),
                 layers[layer]);
        }
        p.fillRect(QRectF(0, base + 20, kWidth, kHeight), layers[layer]);
        // Mist between the rows.
        QLinearGradient mist(0, base - 60, 0, base + 40);
        mist.setColorAt(0, QColor(220, 235, 220, 0));
        mist.setColorAt(1, QColor(220, 235, 220, layer < 3 ? 28 : 0));
        p.fillRect(QRectF(0, base - 60, kWidth, 100), mist);
    }
}

void dashedLine(QPainter& p, QPointF from, QPointF to) {
    QPen pen(QColor(255, 255, 255, 200), 5, Qt::CustomDashLine, Qt::FlatCap);
    pen.setDashPattern({6, 5});
    p.setPen(pen);
    p.drawLine(from, to);
}

void rugbyBall(QPainter& p, QPointF at) {
    p.save();
    p.translate(at);
    p.rotate(-28);
    glow(p, QPointF(12, 26), 80, QColor(0, 0, 0, 90));
    QRadialGradient leather(QPointF(-20, -18), 90);
    leather.setColorAt(0, QColor(0xc8, 0x7a, 0x3e));
    leather.setColorAt(1, QColor(0x6b, 0x35, 0x14));
    p.setBrush(leather);
    p.setPen(QPen(QColor(0x3e, 0x1c, 0x08), 3));
    p.drawEllipse(QPointF(0, 0), 78, 46);
    p.setPen(QPen(QColor(250, 245, 235), 4));
    p.drawLine(QPointF(-30, -4), QPointF(30, -4));
    for (int i = -2; i <= 2; ++i) {
        p.drawLine(QPointF(i * 12, -12), QPointF(i * 12, 4));
    }
    p.restore();
}

void paintRugby(QPainter& p) {
    // Mown stripes across the pitch.
    const int stripes = 16;
    for (int i = 0; i < stripes; ++i) {
        const QColor colour = i % 2 == 0 ? QColor(0x23, 0x5e, 0x28) : QColor(0x2b, 0x6b, 0x30);
        p.fillRect(QRectF(i * kWidth / stripes, 0, kWidth / stripes + 1, kHeight), colour);
    }
    const double left = 90;
    const double right = kWidth - 90;
    const double top = 70;
    const double bottom = kHeight - 70;
    const auto across = [&](double metres) { return left + (right - left) * metres / 100.0; };
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 220), 6));
    p.drawRect(QRectF(left, top, right - left, bottom - top));
    for (const double metres : {22.0, 50.0, 78.0}) {
        p.drawLine(QPointF(across(metres), top), QPointF(across(metres), bottom));
    }
    for (const double metres : {40.0, 60.0}) {
        dashedLine(p, QPointF(across(metres), top), QPointF(across(metres), bottom));
    }
    for (const double y : {top + 60, bottom - 60}) {
        dashedLine(p, QPointF(left, y), QPointF(right, y));
    }
    // The posts, seen from above: a crossbar between two uprights on each try line.
    p.setPen(QPen(QColor(250, 250, 250), 10, Qt::SolidLine, Qt::RoundCap));
    const double middle = kHeight / 2;
    for (const double x : {left, right}) {
        p.drawLine(QPointF(x, middle - 45), QPointF(x, middle + 45));
        p.setBrush(QColor(250, 250, 250));
        p.drawEllipse(QPointF(x, middle - 45), 9, 9);
        p.drawEllipse(QPointF(x, middle + 45), 9, 9);
    }
    rugbyBall(p, QPointF(across(56), middle + 150));
    // Evening light over the ground keeps the yellow and white labels legible.
    fillVertical(p, QColor(0, 0, 0, 40), QColor(0, 0, 0, 90));
}

}  // namespace

QImage BackgroundPicture::paint(int scheme, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size.width() / kWidth, size.height() / kHeight);
    switch (scheme) {
        case 2:
            paintClouds(p);
            break;
        case 3:
            paintNature(p);
            break;
        case 4:
            paintNight(p);
            break;
        case 5:
            paintForest(p);
            break;
        case 6:
            paintRugby(p);
            break;
        default:
            paintStandard(p);
            break;
    }
    return image;
}

QPixmap BackgroundPicture::of(int scheme) {
    // Images, not pixmaps: they may outlive the application object.
    static QHash<int, QImage> painted;
    const int number = scheme >= 1 && scheme <= 6 ? scheme : 1;
    auto found = painted.find(number);
    if (found == painted.end()) {
        found = painted.insert(number, paint(number));
    }
    return QPixmap::fromImage(*found);
}

QPixmap BackgroundPicture::filling(const QPixmap& picture, QSize size) {
    if (picture.isNull() || size.isEmpty()) {
        return {};
    }
    const QPixmap scaled =
        picture.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return scaled.copy((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2,
                       size.width(), size.height());
}

}  // namespace veltro::options
