#include "mainwindow/SplashPicture.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace veltro::mainwindow {

namespace {

void drawCard(QPainter& p, const QRectF& rect, double angle, const QColor& tab) {
    p.save();
    p.translate(rect.center());
    p.rotate(angle);
    const QRectF card(-rect.width() / 2, -rect.height() / 2, rect.width(), rect.height());
    p.setPen(QPen(QColor(120, 120, 110), 1.2));
    p.setBrush(QColor(252, 250, 240));
    p.drawRoundedRect(card, 6, 6);
    p.setBrush(tab);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(card.left() + 14, card.top() - 12, 60, 18), 4, 4);
    p.setPen(QPen(QColor(170, 200, 225), 1));
    for (double y = card.top() + 34; y < card.bottom() - 8; y += 16) {
        p.drawLine(QPointF(card.left() + 10, y), QPointF(card.right() - 10, y));
    }
    p.restore();
}

}  // namespace

QPixmap paintSplashPicture(QSize size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0, 96, 160));
    sky.setColorAt(1, QColor(0, 150, 210));
    p.fillRect(pixmap.rect(), sky);

    const QRectF cardRect(size.width() * 0.52, size.height() * 0.22, 200, 130);
    drawCard(p, cardRect.translated(-30, 10), -9, QColor(230, 140, 60));
    drawCard(p, cardRect.translated(-12, 4), -4, QColor(90, 170, 90));
    drawCard(p, cardRect, 2, QColor(220, 70, 70));

    p.save();
    p.translate(cardRect.center());
    p.rotate(2);
    QFont hand(QStringLiteral("DejaVu Serif"), 10);
    hand.setItalic(true);
    p.setFont(hand);
    p.setPen(QColor(40, 50, 90));
    p.drawText(QPointF(-86, -18), QStringLiteral("Frau Anna Beispiel"));
    p.drawText(QPointF(-86, -2), QStringLiteral("Lindenstraße 12"));
    p.drawText(QPointF(-86, 30), QStringLiteral("96047 Bamberg"));
    p.restore();

    QFont title(QStringLiteral("DejaVu Sans"), 26, QFont::Bold);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QPointF(26, size.height() * 0.42), QStringLiteral("Veltro"));
    QFont subtitle(QStringLiteral("DejaVu Sans"), 17);
    p.setFont(subtitle);
    p.drawText(QPointF(28, size.height() * 0.42 + 34), QStringLiteral("Adressbuch"));
    QFont small(QStringLiteral("DejaVu Sans"), 9);
    p.setFont(small);
    p.setPen(QColor(220, 235, 245));
    p.drawText(QPointF(28, size.height() * 0.42 + 62),
               QStringLiteral("Karten, Anschriften, Notizen"));
    return pixmap;
}

}  // namespace veltro::mainwindow
