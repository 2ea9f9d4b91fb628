#pragma once

#include <string_view>

namespace veltro::richtext {

// Whether a control word the reader does not act on changes how a note looks, so that a save
// loses something. Page layout, languages, revision marks, compatibility settings, styles
// whose formats are written out anyway, tab stops and the like do not; a zero space or an
// automatic colour does not either.
bool dropsFormatting(std::string_view word, bool hasParam, int param);

// Whether a destination that is skipped held text or objects a reader of the note sees.
bool losesContent(std::string_view destination);

}  // namespace veltro::richtext
