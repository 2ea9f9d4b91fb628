#pragma once

// Small helpers every window of the program uses.
#include <QColor>
#include <QPalette>
#include <QString>
#include <QWidget>

namespace veltro::platform {

// Gives a new widget the object name the rest of the program and the tests find it by.
template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

template <typename W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

inline void setRole(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// Colours are stored as 0x00BBGGRR numbers.
[[nodiscard]] inline QColor fromBgr(quint32 value) {
    return {static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8U) & 0xFFU),
            static_cast<int>((value >> 16U) & 0xFFU)};
}

}  // namespace veltro::platform
