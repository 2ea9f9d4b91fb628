#pragma once

#include "import/FoldedSet.h"

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>
#include <unordered_map>

namespace veltro::import {

// The headings that are taken, compared without regard to case, so that every card keeps
// a heading of its own. Kept case-folded as UTF-8: half the memory of UTF-16 for the
// headings of a large store.
class HeadingRegistry {
public:
    // Room for this many headings without growing on the way.
    void reserve(std::size_t headings);
    void add(QStringView heading);
    // A heading as the store holds it, in UTF-8.
    void addUtf8(std::string_view heading);
    [[nodiscard]] bool contains(QStringView heading) const;
    // The heading itself when it is free, else the first free one of heading + "_1", "_2",
    // ...; the result is taken from then on.
    QString claim(const QString& heading);

private:
    FoldedSet folded_;
    std::string scratch_;  // the folded heading being looked up
    // Per folded heading, the suffix below which every numbered form is taken. Names are
    // only ever added, so the first free suffix never goes down and a run of repeats costs
    // one probe each rather than one per earlier repeat.
    std::unordered_map<std::string, int> nextSuffix_;
};

}  // namespace veltro::import
