#pragma once

#include "richtext/RichDocument.h"

#include <QStringView>

#include <memory>
#include <vector>

namespace veltro::richtext {

// A table row as \trowd and the words after it define it.
struct CellDefinition {
    int right = 0;
    CellMerge merge = CellMerge::None;
    bool mergedAcross = false;  // \clmgf, \clmrg
};
struct RowDefinition {
    int left = 0;
    std::vector<CellDefinition> cells;
    bool borders = false;
};

// Receives what RtfReader finds: runs of text and pictures, and each paragraph's end. A sink
// that wants formats learns of table cells and rows too, and of what was dropped.
class RtfSink {
public:
    virtual ~RtfSink() = default;

    virtual void text(QStringView text, const CharFormat& format) = 0;
    virtual void paragraphEnd(const ParaFormat& format) = 0;
    // A picture in the text; plain text has none.
    virtual void picture(const std::shared_ptr<const Picture>& /*picture*/,
                         const CharFormat& /*format*/) {}
    // \cell: ends the cell's last paragraph; \nestcell for a table inside a cell.
    virtual void cellEnd(const ParaFormat& format, bool nested) {
        (void)format;
        (void)nested;
    }
    // \row: what came after the last cell is the paragraph that ends here.
    virtual void rowEnd(const ParaFormat& format, const RowDefinition& row, bool nested) {
        (void)format;
        (void)row;
        (void)nested;
    }
    // Something read that the document will not hold.
    virtual void dropped() {}
    // A sink that only wants text lets the reader skip building formats; it learns of cells
    // and rows as tabs and paragraph ends in the text.
    virtual bool wantsFormats() const { return true; }
};

}  // namespace veltro::richtext
