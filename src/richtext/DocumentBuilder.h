#pragma once

#include "richtext/RtfSink.h"

#include <vector>

namespace veltro::richtext {

// Builds a document from what RtfReader reports. A table keeps its rows and cells when Qt's
// text tables can hold it: rows of equal width whose cells match their definitions, merged
// only downwards, not nested. Any other table becomes the text plain reading gives it, a
// paragraph a row with tabs between the cells, and counts as dropped.
class DocumentBuilder final : public RtfSink {
public:
    explicit DocumentBuilder(RichDocument& document) : document_(document) {}

    void text(QStringView text, const CharFormat& format) override;
    void picture(const std::shared_ptr<const Picture>& picture, const CharFormat& format) override;
    void paragraphEnd(const ParaFormat& format) override;
    void cellEnd(const ParaFormat& format, bool nested) override;
    void rowEnd(const ParaFormat& format, const RowDefinition& row, bool nested) override;
    void dropped() override { ++document_.dropped; }
    // Ends a table the input ends in.
    void finish();

private:
    enum class End { Paragraph, Cell, Row };
    struct Event {
        End end = End::Paragraph;
        Paragraph paragraph;
        RowDefinition row;
        bool nested = false;
    };
    struct Row {
        std::vector<std::vector<Paragraph>> cells;
        RowDefinition definition;
    };

    Paragraph take(const ParaFormat& format);
    void closeTable();
    [[nodiscard]] std::vector<Row> rows() const;
    [[nodiscard]] bool fits(const std::vector<Row>& rows) const;
    void build(std::vector<Row> rows);
    void flatten();

    RichDocument& document_;
    Paragraph current_;
    std::vector<Event> table_;  // what the open table reported so far
    bool rowOpen_ = false;      // a cell ended since the last row did
};

}  // namespace veltro::richtext
