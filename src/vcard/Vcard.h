#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace veltro::vcard {

// The properties a card is built from; every other property is skipped when reading.
// The X-VELTRO ones carry what the standard properties cannot hold exactly, so that our
// own export comes back as it was.
enum class Name : std::uint8_t {
    N,
    FN,
    ORG,
    ADR,
    TEL,
    EMAIL,
    URL,
    NOTE,
    CATEGORIES,
    UID,
    REV,
    BDAY,
    ANNIVERSARY,  // also X-ANNIVERSARY and the like of 3.0
    PHOTO,
    NICKNAME,
    TITLE,
    ROLE,
    XKarte,
    XNr,
    XAnrede,
    XVorwahl,
    XTelefon,
    XAnschrift,
    XBasis,
};

// TYPE values that the mapping looks at, from all three spellings (TYPE=work,voice;
// TYPE=WORK;TYPE=VOICE; bare WORK;VOICE) and PREF=1.
enum TypeFlag : std::uint16_t {
    kWork = 1U << 0U,
    kHome = 1U << 1U,
    kVoice = 1U << 2U,
    kFax = 1U << 3U,
    kCell = 1U << 4U,
    kPager = 1U << 5U,
    kPref = 1U << 6U,
};

// One property: the value decoded from its transfer encoding and character set, still
// with its backslash escapes (structured values are split only where they are used). An
// inline PHOTO has its bytes in `data` and the media type its data URI names in `value`.
struct Property {
    Name name = Name::N;
    std::uint16_t types = 0;
    QString value;
    QByteArray data;

    [[nodiscard]] bool is(std::uint16_t flag) const { return (types & flag) != 0; }
};

struct Vcard {
    QString version;
    std::vector<Property> properties;

    [[nodiscard]] const Property* first(Name name) const;
};

}  // namespace veltro::vcard
