#pragma once

#include "store/CardFields.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace veltro::store {

// A small RTF document in the shape the address and notes blocks store: one paragraph
// a line, the first one bold when asked.
[[nodiscard]] QString simpleRtf(const QStringList& paragraphs, bool boldFirst = false);

// About forty realistic German cards in four categories, for trying the program out.
struct SampleSet {
    std::vector<QString> categories;
    std::vector<Card> cards;
};
[[nodiscard]] SampleSet demoCards();

// Writes a set into a new store DIR/Kartix.mdb in one transaction.
void writeSampleStore(const std::filesystem::path& directory, const SampleSet& set);

// A new store with N synthetic cards over 20 categories, repeatable for a seed; streamed,
// so a million cards need little memory (benchmarks).
void writeSyntheticStore(const std::filesystem::path& directory, std::int64_t count,
                         std::uint32_t seed = 1);

}  // namespace veltro::store
