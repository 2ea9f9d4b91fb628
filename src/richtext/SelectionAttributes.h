#pragma once

#include "richtext/RichDocument.h"

#include <QColor>
#include <QString>

#include <optional>

class QTextCursor;
class QTextCharFormat;

namespace veltro::richtext {

enum class Tri { False, True, Mixed };

// What the formatting bar shows for a selection; std::nullopt means the selection mixes values.
struct SelectionAttributes {
    Tri bold = Tri::False;
    Tri italic = Tri::False;
    Tri underline = Tri::False;
    Tri strike = Tri::False;
    Tri bullet = Tri::False;
    std::optional<Alignment> alignment = Alignment::Left;
    std::optional<QString> face;
    std::optional<double> pointSize;
    std::optional<QColor> colour;

    bool operator==(const SelectionAttributes&) const = default;
};

// Folds the attributes over every selected character and paragraph, whichever way the
// selection was made. Without a selection, `typing` (the format of the next typed character)
// and the cursor's paragraph decide. Automatic colour reads as `autoColour`.
SelectionAttributes selectionAttributes(const QTextCursor& cursor, const QTextCharFormat& typing,
                                        const QColor& autoColour);

}  // namespace veltro::richtext
