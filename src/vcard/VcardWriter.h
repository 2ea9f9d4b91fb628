#pragma once

#include "store/CardExtras.h"
#include "store/CardFields.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <span>

namespace veltro::vcard {

enum class Version { V3, V4 };

// A card to write with its identity: the UID stays the same for the card across exports;
// REV is the time of its last change (an invalid time writes no REV).
struct ExportCard {
    store::Card card;
    QString uid;
    QDateTime rev;
    store::CardExtras extras;
};

// Appends one vCard: UTF-8, CR LF, lines folded at 75 octets without splitting a
// character, every value escaped. Address block and notes are written as plain text.
// What the standard properties cannot carry exactly (a heading of its own, the card
// number, another salutation, an area code that is not written "0xxx number", an address
// block that differs from the composed one) goes into X-VELTRO properties, so that
// reading the card back gives every field again. The extras follow as standard properties:
// every further number, e-mail address, postal address and web page with its type after the
// card's own, BDAY, ANNIVERSARY (X-ANNIVERSARY in 3.0), PHOTO (inline in 3.0, a data URI in
// 4.0), NICKNAME, TITLE and ROLE.
void appendVcard(QByteArray& out, const ExportCard& card, Version version = Version::V3);

[[nodiscard]] QByteArray cardToVcard(const store::Card& card, const QString& uid,
                                     const QDateTime& rev = {}, Version version = Version::V3,
                                     const store::CardExtras& extras = {});
[[nodiscard]] QByteArray writeCards(std::span<const ExportCard> cards,
                                    Version version = Version::V3);

// "3.0" or "4.0"; nothing for anything else.
[[nodiscard]] std::optional<Version> versionFromText(QStringView text);

}  // namespace veltro::vcard
