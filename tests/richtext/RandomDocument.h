#pragma once

#include "QtPrinters.h"
#include "richtext/RichDocument.h"

#include <gtest/gtest.h>

#include <random>

namespace veltro::richtext::test {

enum class Scripts { WithAsian, WithoutAsian };

// Documents over the characters and formats the block can hold: German, Cyrillic, CJK and
// emoji text, RTF specials, tabs, no-break spaces and line breaks; three faces, three colours,
// half-point sizes, every alignment and runs of bullet paragraphs. Every run names its face
// and size, as runs taken from a QTextDocument do.
RichDocument randomDocument(std::mt19937& rng, Scripts scripts = Scripts::WithAsian);

// Text, per-character formats, alignment, spacing, list items and table cells equal; indents
// of paragraphs that are no items too.
::testing::AssertionResult sameContent(const RichDocument& expected, const RichDocument& actual);

}  // namespace veltro::richtext::test
