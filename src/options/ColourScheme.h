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

// D is the yellow-captioned set; E follows the desktop's palette.
enum class ColourSet { A, B, C, D, E };

[[nodiscard]] PreviewColours coloursOf(ColourSet set);

// One colour scheme of the "Farben" tab, numbered 1 … 7 as its button.
struct ColourScheme {
    int number = 1;
    QString name;
    ColourSet withPicture = ColourSet::A;
    ColourSet withoutPicture = ColourSet::A;
    QColor background;  // shown instead of the picture
};

inline constexpr int kSchemeCount = 7;
inline constexpr int kSystemScheme = 7;  // "Systemfarben"

// The scheme with this number; numbers outside 1 … 7 give "Standard".
[[nodiscard]] ColourScheme schemeOf(int number);

// Its name with the letter Alt reaches its button by.
[[nodiscard]] QString schemeButtonText(int number);

// Whether the desktop's palette shows light text on dark ground.
[[nodiscard]] bool darkPalette();

}  // namespace veltro::options
