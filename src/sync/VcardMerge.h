#pragma once

#include "store/CardExtras.h"
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

// What a vCard text gives beyond the card's fields (see vcard::extrasOf); empty for a text
// without a card.
[[nodiscard]] store::CardExtras extrasFromText(const QByteArray& text);

// The UID a vCard text gives its card; empty without one.
[[nodiscard]] QString uidOf(const QByteArray& text);

// A card's fields as they come back from a vCard: what the sync compares, so that
// formatting the vCard cannot carry (rich-text notes) does not count as a change.
[[nodiscard]] store::Card comparable(const store::Card& card, const QString& category);

// The same for a card with its extras: a further number may come back as the card's own
// when its field was empty.
struct ComparableCard {
    store::Card card;
    store::CardExtras extras;
};
[[nodiscard]] ComparableCard comparable(const store::Card& card, const store::CardExtras& extras,
                                        const QString& category);

// The vCard to upload: the server's last text with the properties we map replaced by the
// card's, so that what we do not read (groups' labels, pictures by address, the server's
// UID) stays. Without a server text, the card's own vCard with the given UID.
[[nodiscard]] QByteArray mergedVcard(const QByteArray& serverText, const store::Card& card,
                                     const store::CardExtras& extras, const QString& uid,
                                     const QDateTime& rev);

}  // namespace veltro::sync
