#include "options/ColourScheme.h"

#include <QApplication>
#include <QPalette>

namespace veltro::options {

namespace {

QColor system(QPalette::ColorRole role) {
    return QApplication::palette().color(QPalette::Active, role);
}

// Named as the user sees them; the values are 0x00BBGGRR.
const QColor kWhite = fromBgr(0xFFFFFF);
const QColor kYellow = fromBgr(0x00FFFF);
const QColor kPaleGreen = fromBgr(0xE0F0E0);
const QColor kSky = fromBgr(0xFFDFC0);
const QColor kTeal = fromBgr(0x808000);
const QColor kGreyTeal = fromBgr(0xA0A080);
const QColor kDarkGreen = fromBgr(0x004000);

}  // namespace

bool darkPalette() {
    return system(QPalette::Base).lightness() < system(QPalette::Text).lightness();
}

quint32 toBgr(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return static_cast<quint32>(rgb.red()) | (static_cast<quint32>(rgb.green()) << 8) |
           (static_cast<quint32>(rgb.blue()) << 16);
}

PreviewColours coloursOf(ColourSet set) {
    const QColor buttonText = system(QPalette::ButtonText);
    // White boxes would carry the dark palette's light text: its own box colour instead.
    const QColor white = darkPalette() ? system(QPalette::Base) : kWhite;
    switch (set) {
        case ColourSet::A:
            return {white, white, buttonText, buttonText};
        case ColourSet::B:
            return {kPaleGreen, kWhite, kYellow, kWhite};
        case ColourSet::C:
            return {kPaleGreen, kWhite, buttonText, buttonText};
        case ColourSet::E: {
            const QColor text = system(QPalette::WindowText);
            return {system(QPalette::Base), system(QPalette::Base), text, text};
        }
        case ColourSet::D:
            break;
    }
    return {system(QPalette::ToolTipBase), kWhite, kYellow, kWhite};
}

ColourScheme schemeOf(int number) {
    using enum ColourSet;
    switch (number) {
        case 2:
            return {2, QStringLiteral("Wolken"), B, C, kSky};
        case 3:
            return {3, QStringLiteral("Natur"), D, D, kTeal};
        case 4:
            return {4, QStringLiteral("Nacht"), D, B, kGreyTeal};
        case 5:
            return {5, QStringLiteral("Wald"), B, D, kDarkGreen};
        case 6:
            // The workspace colour is what an empty document area shows.
            return {6, QStringLiteral("Rugby"), D, D, system(QPalette::Dark)};
        case kSystemScheme:
            return {kSystemScheme, QStringLiteral("Systemfarben"), E, E, system(QPalette::Window)};
        default:
            return {1, QStringLiteral("Standard"), D, A, system(QPalette::Button)};
    }
}

QString schemeButtonText(int number) {
    static const char* const texts[] = {"&Standard", "&Wolken", "&Natur",       "Na&cht",
                                        "Wa&ld",     "&Rugby",  "S&ystemfarben"};
    return QString::fromUtf8(texts[schemeOf(number).number - 1]);
}

}  // namespace veltro::options
