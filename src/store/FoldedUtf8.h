#pragma once

#include <string>
#include <string_view>

namespace veltro::store {

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF), so that QString::fromUtf8 and back gives them unchanged.
[[nodiscard]] bool isValidUtf8(std::string_view bytes);

// Appends the case-folded form of well-formed UTF-8: the same text as foldCase() of it,
// without a detour through UTF-16 for the common characters.
void appendFoldedUtf8(std::string_view utf8, std::string& out);

}  // namespace veltro::store
