#include "labels/Envelope.h"

#include <array>

namespace veltro::labels {

namespace {

// The address field: 85 mm wide from 20 mm off the left edge, text 5 mm further in; its
// address zone is 27.3 mm high, below a notes zone of 12.7 mm (form A) or 17.7 mm (form B).
constexpr double kFieldLeft = 20.0;
constexpr double kFieldWidth = 85.0;
constexpr double kTextInset = 5.0;
constexpr double kAddressZone = 27.3;
constexpr double kNotesZoneA = 12.7;
constexpr double kNotesZoneB = 17.7;
// Letter windows of DIN lang and C6: 90 × 45 mm, 20 mm from the left and 15 mm from the bottom.
constexpr double kWindowWidth = 90.0;
constexpr double kWindowHeight = 45.0;
constexpr double kWindowBottom = 15.0;
constexpr double kFormATop = 27.0;
constexpr double kFormBTop = 45.0;

const std::array<EnvelopeFormatInfo, 4> kFormats = {{
    {EnvelopeFormat::DL,
     QStringLiteral("DL"),
     QStringLiteral("DIN lang (220 × 110 mm)"),
     {220.0, 110.0},
     false},
    {EnvelopeFormat::C6,
     QStringLiteral("C6"),
     QStringLiteral("C6 (162 × 114 mm)"),
     {162.0, 114.0},
     false},
    {EnvelopeFormat::C5,
     QStringLiteral("C5"),
     QStringLiteral("C5 (229 × 162 mm)"),
     {229.0, 162.0},
     true},
    {EnvelopeFormat::C4,
     QStringLiteral("C4"),
     QStringLiteral("C4 (229 × 324 mm)"),
     {229.0, 324.0},
     true},
}};

AddressWindow zones(double fieldTop, double notesZone, const RectMm& window) {
    const double textLeft = kFieldLeft + kTextInset;
    const double textWidth = kFieldWidth - kTextInset;
    return {window,
            {textLeft, fieldTop, textWidth, notesZone},
            {textLeft, fieldTop + notesZone, textWidth, kAddressZone}};
}

}  // namespace

std::span<const EnvelopeFormatInfo> envelopeFormats() {
    return kFormats;
}

const EnvelopeFormatInfo& formatInfo(EnvelopeFormat format) {
    for (const EnvelopeFormatInfo& info : kFormats) {
        if (info.format == format) {
            return info;
        }
    }
    return kFormats.front();
}

std::optional<EnvelopeFormat> envelopeById(const QString& id) {
    for (const EnvelopeFormatInfo& info : kFormats) {
        if (info.id.compare(id, Qt::CaseInsensitive) == 0) {
            return info.format;
        }
    }
    return std::nullopt;
}

AddressWindow addressWindow(EnvelopeFormat format, LetterForm form) {
    const EnvelopeFormatInfo& info = formatInfo(format);
    if (!info.hasForms) {
        const double top = info.size.height - kWindowBottom - kWindowHeight;
        return zones(top, kNotesZoneB, {kFieldLeft, top, kWindowWidth, kWindowHeight});
    }
    // A C5 or C4 window lies over the letter's address field, with a little room around it.
    const bool formA = form == LetterForm::A;
    const double top = formA ? kFormATop : kFormBTop;
    const double notes = formA ? kNotesZoneA : kNotesZoneB;
    const RectMm window{kFieldLeft, top, kWindowWidth, notes + kAddressZone};
    return zones(top, notes, window);
}

}  // namespace veltro::labels
