#pragma once

#include <cstddef>
#include <string_view>

namespace veltro::store {

// The first place at or after `from` where `needle` (not empty) occurs in `haystack`, or
// std::string_view::npos. Made for scanning many megabytes of short texts for a short
// needle: candidates are found sixteen bytes at a time by the needle's first and last byte.
[[nodiscard]] std::size_t findBytes(std::string_view haystack, std::size_t from,
                                    std::string_view needle);

}  // namespace veltro::store
