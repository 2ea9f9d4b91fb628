#pragma once

#include "platform/WidgetTools.h"

#include <QColor>
#include <QString>

#include <array>

namespace veltro::options {

// Colours are kept in the settings as 0x00BBGGRR numbers.
using platform::fromBgr;
[[nodiscard]] quint32 toBgr(const QColor& colour);

// The four colours a scheme gives the main window's fields and labels.
struct PreviewColours {
    QColor field1;  // field group 1 (Text1 of the preview)
    QColor field2;  // field group 2 (Text2)
    QColor label1;  // label group 1 (Label2)
    QColor label2;  // label group 2 (Label3)

    friend bool operator==(const PreviewColours&, const PreviewColours&) = default;
};

enum class ColourSet { A, B, C, D };

[[nodiscard]] PreviewColours coloursOf(ColourSet set);

// One colour scheme of the "Farben" tab, numbered 1 … 6 as its button.
struct ColourScheme {
    int number = 1;
    QString name;
    ColourSet withPicture = ColourSet::A;
    ColourSet withoutPicture = ColourSet::A;
    QColor background;  // shown instead of the picture
};

inline constexpr int kSchemeCount = 6;

// The scheme with this number; numbers outside 1 … 6 give "Standard".
[[nodiscard]] ColourScheme schemeOf(int number);

}  // namespace veltro::options
