#pragma once

#include "vcard/Vcard.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace veltro::vcard {

struct ReadResult {
    std::vector<Vcard> cards;
    std::int64_t skipped = 0;  // broken cards: not ended, or with a line that is no property
};

// Reads every card of a vCard 2.1, 3.0 or 4.0 text: UTF-8 or UTF-16 byte-order mark,
// CR LF or LF (CR where a text has no LF), folded lines, QUOTED-PRINTABLE with soft line breaks,
// CHARSET and BASE64 values, grouped properties. A broken card is skipped and counted; text outside
// cards is ignored.
[[nodiscard]] ReadResult readVcards(QByteArrayView bytes);

// The same, handing each card on as soon as it is read; returns the broken cards.
using CardVisitor = std::function<void(Vcard&& card)>;
std::int64_t readVcards(QByteArrayView bytes, const CardVisitor& visit);

// Nothing when the file cannot be read.
[[nodiscard]] std::optional<ReadResult> readFile(const QString& path);
std::optional<std::int64_t> readFile(const QString& path, const CardVisitor& visit);

// True when the text starts with BEGIN:VCARD after an optional byte-order mark and blank
// lines; the start of a file is enough.
[[nodiscard]] bool looksLikeVcard(QByteArrayView head);
[[nodiscard]] bool isVcardFile(const QString& path);

}  // namespace veltro::vcard
