#pragma once

// What the full-text index must find, worked out directly on a card's texts.
#include "fulltext/FullTextIndex.h"

#include <string>
#include <string_view>

namespace veltro::testing {

// Each field matched in its way: containing, beginning with or ending with the folded needle.
inline bool matchesDirectly(const fulltext::FullTextIndex::Values& values,
                            const std::string& needle) {
    using fulltext::FullTextIndex;
    for (std::size_t i = 0; i < FullTextIndex::kColumns; ++i) {
        const std::string_view value(values[i]);
        const auto match = FullTextIndex::columns()[i].match;
        const bool hit = match == FullTextIndex::Match::Contains ? value.find(needle) != value.npos
                         : match == FullTextIndex::Match::BeginsWith ? value.starts_with(needle)
                                                                     : value.ends_with(needle);
        if (hit) {
            return true;
        }
    }
    return false;
}

}  // namespace veltro::testing
