#pragma once

#include "store/CardFields.h"

#include <QByteArray>

#include <span>

namespace veltro::labels {

// The cards as a CSV file for a word processor's mail merge: one row per card with the
// letter's salutation, the address fields and every address line in a column of its own,
// semicolon-separated, UTF-8 with a byte-order mark, CRLF line ends.
[[nodiscard]] QByteArray serialLetterCsv(std::span<const store::Card> cards);

}  // namespace veltro::labels
