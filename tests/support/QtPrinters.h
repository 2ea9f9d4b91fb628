#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable Qt strings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.left(2000).toStdString() << (bytes.size() > 2000 ? "...\"" : "\"");
}

inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        *os << (i == 0 ? "\"" : ", \"") << list[i].toStdString() << '"';
    }
    *os << '}';
}

inline void PrintTo(const QSize& size, std::ostream* os) {
    *os << size.width() << 'x' << size.height();
}

inline void PrintTo(const QPoint& point, std::ostream* os) {
    *os << '(' << point.x() << ", " << point.y() << ')';
}

inline void PrintTo(const QRect& rect, std::ostream* os) {
    *os << rect.width() << 'x' << rect.height() << '+' << rect.x() << '+' << rect.y();
}
