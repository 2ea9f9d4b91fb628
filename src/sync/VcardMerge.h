#pragma once

#include "store/CardFields.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace veltro::sync {

// The fields of a card as a vCard text gives them, in the paired category; nothing for a
// text that holds no usable card.
[[nodiscard]] std::optional<store::Card> cardFromText(const QByteArray& text,
                                                      const QString& category);

// The UID a vCard text gives its card; empty without one.
[[nodiscard]] QString uidOf(const QByteArray& text);

// A card's fields as they come back from a vCard: what the sync compares, so that
// formatting the vCard cannot carry (rich-text notes) does not count as a change.
[[nodiscard]] store::Card comparable(const store::Card& card, const QString& category);

// The vCard to upload: the server's last text with the properties we map replaced by the
// card's, so that photos, birthdays, further numbers and addresses and the server's UID
// stay. Without a server text, the card's own vCard with the given UID.
[[nodiscard]] QByteArray mergedVcard(const QByteArray& serverText, const store::Card& card,
                                     const QString& uid, const QDateTime& rev);

}  // namespace veltro::sync
