#pragma once

#include "richtext/RichDocument.h"

#include <QByteArray>

#include <array>
#include <map>
#include <optional>
#include <vector>

namespace veltro::richtext {

// The lists of a document as RTF in two forms at once: the list table that Word and
// LibreOffice read, and on every item the label and {\*\pn ...} that older readers show.
class RtfListWriter {
public:
    explicit RtfListWriter(const RichDocument& document);

    // Whether a label is a bullet of the Symbol font.
    [[nodiscard]] bool needsSymbolFont() const { return symbolBullets_; }
    // {\*\listtable ...}{\*\listoverridetable ...}; empty without lists.
    [[nodiscard]] QByteArray tables(int symbolFont) const;
    // What follows \pard for an item: label, \pn, \ls, \ilvl and indents. Items must come in
    // document order, as they are numbered here.
    QByteArray itemWords(const ParaFormat& format, int symbolFont);

private:
    using Levels = std::array<std::optional<ListItem>, kMaxListLevel + 1>;

    std::map<int, int> numbers_;  // list -> \ls, 1, 2, … in order of appearance
    std::vector<Levels> lists_;   // by \ls - 1: the first item of each level
    bool symbolBullets_ = false;
    ListCounter counter_;
};

}  // namespace veltro::richtext
