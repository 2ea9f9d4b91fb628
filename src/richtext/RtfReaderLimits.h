#pragma once

#include "richtext/RtfTokenizer.h"

#include <QtGlobal>

#include <cstddef>

namespace veltro::richtext::limits {

// How far the reader follows what its input asks for.
inline constexpr std::size_t kMaxDepth = 1000;
inline constexpr int kMaxIndentTwips = 31680;
inline constexpr int kMaxUc = 10;
inline constexpr int kMaxListStart = 32767;
inline constexpr std::size_t kMaxCells = 256;
// Text before or after a list number: both with the number fit the one-byte length of a
// list table's level text.
inline constexpr qsizetype kMaxLabelText = 64;

// A toggle without a parameter, or with one other than 0, is on.
inline bool isOn(const RtfToken& token) {
    return !token.hasParam || token.param != 0;
}

}  // namespace veltro::richtext::limits
