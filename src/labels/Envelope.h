#pragma once

#include "labels/Millimetres.h"

#include <QString>

#include <optional>
#include <span>

namespace veltro::labels {

enum class EnvelopeFormat { DL, C6, C5, C4 };
// Where the letter in a C5 or C4 envelope has its address field: form A (27 mm from the
// top) or form B (45 mm). DL and C6 windows sit at the bottom and know no forms.
enum class LetterForm { A, B };

struct EnvelopeFormatInfo {
    EnvelopeFormat format;
    QString id;    // "DL", "C6", …
    QString name;  // as the format list shows it
    SizeMm size;   // as the address is read: width across the lines
    bool hasForms = false;
};

// The window of a window envelope and the two zones of the address field behind it.
struct AddressWindow {
    RectMm window;   // the opening in the envelope
    RectMm sender;   // the return line and notes zone at the top of the field
    RectMm address;  // where the recipient's lines go
};

[[nodiscard]] std::span<const EnvelopeFormatInfo> envelopeFormats();
[[nodiscard]] const EnvelopeFormatInfo& formatInfo(EnvelopeFormat format);
[[nodiscard]] std::optional<EnvelopeFormat> envelopeById(const QString& id);
// The window and its zones for a format; the form counts for C5 and C4 only.
[[nodiscard]] AddressWindow addressWindow(EnvelopeFormat format, LetterForm form);

}  // namespace veltro::labels
