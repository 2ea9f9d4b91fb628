#include "richtext/BarIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <utility>

namespace veltro::richtext {
namespace {

// Every drawing works on a 24 × 24 canvas; the engine scales it to the size asked for.
using Drawing = void (*)(QPainter&);

const QColor kInk(0x30, 0x30, 0x30);
const QColor kPaper(Qt::white);
const QColor kAccent(0x2a, 0x6f, 0xc9);
const QColor kGreen(0x2e, 0x9a, 0x3c);
const QColor kRed(0xc8, 0x2a, 0x2a);

void pen(QPainter& p, const QColor& colour, double width = 1.5) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void plus(QPainter& p) {
    pen(p, kGreen, 2.5);
    p.drawLine(QPointF(18, 13), QPointF(18, 23));
    p.drawLine(QPointF(13, 18), QPointF(23, 18));
}

void letter(QPainter& p, const QString& text, bool bold, bool italic, const QRectF& box) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(static_cast<int>(box.height()));
    font.setBold(bold);
    font.setItalic(italic);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(box, Qt::AlignCenter, text);
}

void textLines(QPainter& p, double left, double width, double top, int count, double step) {
    pen(p, kInk, 1.5);
    for (int i = 0; i < count; ++i) {
        p.drawLine(QPointF(left, top + i * step), QPointF(left + width, top + i * step));
    }
}

void newCategory(QPainter& p) {
    pen(p, kInk, 1.2);
    p.setBrush(QColor(0xf2, 0xc9, 0x4c));
    QPainterPath folder;
    folder.moveTo(2, 6);
    folder.lineTo(9, 6);
    folder.lineTo(11, 8);
    folder.lineTo(21, 8);
    folder.lineTo(21, 19);
    folder.lineTo(2, 19);
    folder.closeSubpath();
    p.drawPath(folder);
    plus(p);
}

void newCard(QPainter& p) {
    pen(p, kInk, 1.2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(2, 4, 18, 14));
    textLines(p, 5, 10, 8, 3, 3);
    plus(p);
}

void print(QPainter& p) {
    pen(p, kInk, 1.2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 2, 10, 8));
    p.setBrush(QColor(0x9a, 0x9a, 0x9a));
    p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 15, 10, 7));
}

void mail(QPainter& p) {
    pen(p, kInk, 1.2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(2, 6, 20, 13));
    p.drawPolyline(QPolygonF({QPointF(2, 6), QPointF(12, 14), QPointF(22, 6)}));
}

void search(QPainter& p) {
    pen(p, kInk, 2);
    p.setBrush(QColor(0xd8, 0xe8, 0xf8));
    p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
    pen(p, kInk, 3);
    p.drawLine(QPointF(15, 15), QPointF(21, 21));
}

void cut(QPainter& p) {
    pen(p, kInk, 1.5);
    p.drawLine(QPointF(7, 2), QPointF(15, 16));
    p.drawLine(QPointF(17, 2), QPointF(9, 16));
    p.setBrush(Qt::NoBrush);
    pen(p, kRed, 1.8);
    p.drawEllipse(QPointF(7, 18.5), 3.5, 3.5);
    p.drawEllipse(QPointF(17, 18.5), 3.5, 3.5);
}

void sheet(QPainter& p, const QRectF& rect) {
    pen(p, kInk, 1.2);
    p.setBrush(kPaper);
    p.drawRect(rect);
    textLines(p, rect.left() + 2.5, rect.width() - 5, rect.top() + 3.5, 3, 3);
}

void copy(QPainter& p) {
    sheet(p, QRectF(3, 2, 12, 15));
    sheet(p, QRectF(9, 7, 12, 15));
}

void paste(QPainter& p) {
    pen(p, kInk, 1.2);
    p.setBrush(QColor(0xb0, 0x80, 0x50));
    p.drawRoundedRect(QRectF(3, 4, 14, 18), 1.5, 1.5);
    p.setBrush(QColor(0x9a, 0x9a, 0x9a));
    p.drawRect(QRectF(7, 2, 6, 4));
    sheet(p, QRectF(10, 9, 11, 13));
}

void erase(QPainter& p) {
    pen(p, kRed, 3);
    p.drawLine(QPointF(5, 5), QPointF(19, 19));
    p.drawLine(QPointF(19, 5), QPointF(5, 19));
}

void options(QPainter& p) {
    for (const auto& [y, knob] :
         std::array<std::pair<double, double>, 3>{{{5.0, 15.0}, {12.0, 7.0}, {19.0, 12.0}}}) {
        pen(p, kInk, 1.5);
        p.drawLine(QPointF(3, y), QPointF(21, y));
        p.setBrush(kAccent);
        pen(p, kInk, 1);
        p.drawEllipse(QPointF(knob, y), 2.5, 2.5);
    }
}

void font(QPainter& p) {
    letter(p, QStringLiteral("A"), true, false, QRectF(0, 1, 15, 20));
    letter(p, QStringLiteral("a"), false, false, QRectF(12, 7, 12, 15));
}

void fontColour(QPainter& p) {
    letter(p, QStringLiteral("A"), true, false, QRectF(2, 0, 20, 17));
    p.fillRect(QRectF(3, 18, 18, 4), kRed);
}

void bold(QPainter& p) {
    letter(p, QStringLiteral("F"), true, false, QRectF(2, 2, 20, 20));
}

void italic(QPainter& p) {
    letter(p, QStringLiteral("K"), false, true, QRectF(2, 2, 20, 20));
}

void underline(QPainter& p) {
    letter(p, QStringLiteral("U"), false, false, QRectF(2, 0, 20, 18));
    pen(p, kInk, 1.5);
    p.drawLine(QPointF(6, 21), QPointF(18, 21));
}

void bullets(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (const double y : {5.0, 12.0, 19.0}) {
        p.drawEllipse(QPointF(4.5, y), 2, 2);
    }
    textLines(p, 9, 12, 5, 3, 7);
}

// Four lines, the shorter ones placed as the alignment puts them.
void aligned(QPainter& p, Qt::Alignment alignment) {
    pen(p, kInk, 1.8);
    const std::array<double, 4> widths = {18, 12, 18, 10};
    for (int i = 0; i < 4; ++i) {
        const double w = widths.at(i);
        double left = 3;
        if (alignment == Qt::AlignHCenter) {
            left = 12 - w / 2;
        } else if (alignment == Qt::AlignRight) {
            left = 21 - w;
        }
        p.drawLine(QPointF(left, 4 + i * 5.3), QPointF(left + w, 4 + i * 5.3));
    }
}

void left(QPainter& p) {
    aligned(p, Qt::AlignLeft);
}

void centre(QPainter& p) {
    aligned(p, Qt::AlignHCenter);
}

void right(QPainter& p) {
    aligned(p, Qt::AlignRight);
}

void help(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(12, 12), 10, 10);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kPaper);
    p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
}

void quit(QPainter& p) {
    pen(p, kInk, 1.2);
    p.setBrush(QColor(0xb0, 0x80, 0x50));
    p.drawRect(QRectF(3, 2, 11, 20));
    pen(p, kRed, 2.2);
    p.drawLine(QPointF(10, 12), QPointF(21, 12));
    p.drawPolyline(QPolygonF({QPointF(17, 8), QPointF(21, 12), QPointF(17, 16)}));
}

struct Entry {
    const char* key;
    Drawing draw;
};

constexpr std::array kDrawings = {
    Entry{"tbrNeueKategorie", newCategory},
    Entry{"tbrNeueKarte", newCard},
    Entry{"tbrDrucken", print},
    Entry{"tbrMail", mail},
    Entry{"tbrSuchFenster", search},
    Entry{"tbrCut", cut},
    Entry{"tbrCopy", copy},
    Entry{"tbrPaste", paste},
    Entry{"tbrDelete", erase},
    Entry{"tbrOptionen", options},
    Entry{"tbrFont", font},
    Entry{"tbrFontColor", fontColour},
    Entry{"tbrFett", bold},
    Entry{"tbrKursiv", italic},
    Entry{"tbrUnterstrichen", underline},
    Entry{"tbrBullet", bullets},
    Entry{"tbrLinks", left},
    Entry{"tbrMitte", centre},
    Entry{"tbrRechts", right},
    Entry{"tbrHilfe", help},
    Entry{"tbrEnde", quit},
};

// Paints the drawing at whatever size the button asks for, faded when disabled.
class DrawnIconEngine final : public QIconEngine {
public:
    explicit DrawnIconEngine(Drawing draw) : draw_(draw) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setRenderHint(QPainter::TextAntialiasing);
        const int side = qMin(rect.width(), rect.height());
        painter->translate(rect.x() + (rect.width() - side) / 2.0,
                           rect.y() + (rect.height() - side) / 2.0);
        painter->scale(side / 24.0, side / 24.0);
        if (mode == QIcon::Disabled) {
            painter->setOpacity(0.35);
        }
        draw_(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(draw_); }
    QString key() const override { return QStringLiteral("veltro-drawn"); }

private:
    Drawing draw_;
};

}  // namespace

QIcon BarIcons::drawn(const QString& key) {
    for (const Entry& entry : kDrawings) {
        if (key == QLatin1String(entry.key)) {
            return QIcon(new DrawnIconEngine(entry.draw));  // the icon owns its engine
        }
    }
    return {};
}

QIcon BarIcons::icon(const QString& key, const QString& themeName) {
    return QIcon::fromTheme(themeName, drawn(key));
}

}  // namespace veltro::richtext
