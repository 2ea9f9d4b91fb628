#include "richtext/DocumentBuilder.h"

#include <algorithm>

namespace veltro::richtext {
namespace {

constexpr std::size_t kMaxColumns = 63;
constexpr std::size_t kMaxRows = 1000;

bool isEmpty(const Paragraph& paragraph) {
    return paragraph.runs.empty();
}

// Rows of equal width whose cells each end further right, none merged across.
bool rowsFit(const std::vector<RowDefinition>& rows) {
    for (const RowDefinition& row : rows) {
        if (row.cells.empty() || row.cells.size() > kMaxColumns || row.left != rows.front().left ||
            row.cells.back().right != rows.front().cells.back().right) {
            return false;
        }
        int left = row.left;
        for (const CellDefinition& cell : row.cells) {
            if (cell.right <= left || cell.mergedAcross) {
                return false;
            }
            left = cell.right;
        }
    }
    return true;
}

// A cell that continues the one above spans exactly what that one spans, and holds nothing.
bool mergesFit(const std::vector<RowDefinition>& rows,
               const std::vector<std::vector<std::vector<Paragraph>>>& cells) {
    for (std::size_t r = 0; r < rows.size(); ++r) {
        int left = rows[r].left;
        for (std::size_t k = 0; k < rows[r].cells.size(); ++k) {
            const CellDefinition& cell = rows[r].cells[k];
            if (cell.merge == CellMerge::Continued) {
                if (r == 0 || cells[r][k].size() != 1 || !isEmpty(cells[r][k].front())) {
                    return false;
                }
                int aboveLeft = rows[r - 1].left;
                bool found = false;
                for (const CellDefinition& above : rows[r - 1].cells) {
                    found = found || (aboveLeft == left && above.right == cell.right &&
                                      above.merge != CellMerge::None);
                    aboveLeft = above.right;
                }
                if (!found) {
                    return false;
                }
            }
            left = cell.right;
        }
    }
    return true;
}

}  // namespace

void DocumentBuilder::text(QStringView text, const CharFormat& format) {
    std::vector<TextRun>& runs = current_.runs;
    if (!runs.empty() && runs.back().format == format && !runs.back().picture) {
        runs.back().text += text;
    } else {
        runs.push_back({text.toString(), format});
    }
}

void DocumentBuilder::picture(const std::shared_ptr<const Picture>& picture,
                              const CharFormat& format) {
    current_.runs.push_back({QString(QChar::ObjectReplacementCharacter), format, picture});
}

Paragraph DocumentBuilder::take(const ParaFormat& format) {
    Paragraph paragraph = std::exchange(current_, Paragraph{});
    paragraph.format = format;
    return paragraph;
}

void DocumentBuilder::paragraphEnd(const ParaFormat& format) {
    if (format.tableDepth > 0 || rowOpen_) {
        table_.push_back({End::Paragraph, take(format), {}, format.tableDepth > 1});
        return;
    }
    closeTable();
    document_.paragraphs.push_back(take(format));
}

void DocumentBuilder::cellEnd(const ParaFormat& format, bool nested) {
    table_.push_back({End::Cell, take(format), {}, nested || format.tableDepth > 1});
    rowOpen_ = true;
}

void DocumentBuilder::rowEnd(const ParaFormat& format, const RowDefinition& row, bool nested) {
    table_.push_back({End::Row, take(format), row, nested || format.tableDepth > 1});
    rowOpen_ = false;
}

void DocumentBuilder::finish() {
    closeTable();
}

// The table's rows; empty when what was reported is no set of rows: text after a row's last
// cell, cells after the last row, or tables inside tables.
std::vector<DocumentBuilder::Row> DocumentBuilder::rows() const {
    std::vector<Row> rows(1);
    std::vector<Paragraph> cell;
    for (const Event& event : table_) {
        if (event.nested) {
            return {};
        }
        switch (event.end) {
            case End::Paragraph:
                cell.push_back(event.paragraph);
                break;
            case End::Cell:
                cell.push_back(event.paragraph);
                rows.back().cells.push_back(std::exchange(cell, {}));
                break;
            case End::Row:
                if (!cell.empty() || !isEmpty(event.paragraph) || rows.back().cells.empty()) {
                    return {};
                }
                rows.back().definition = event.row;
                rows.emplace_back();
                break;
        }
    }
    if (!cell.empty() || !rows.back().cells.empty()) {
        return {};
    }
    rows.pop_back();
    return rows;
}

bool DocumentBuilder::fits(const std::vector<Row>& rows) const {
    if (rows.empty() || rows.size() > kMaxRows) {
        return false;
    }
    std::vector<RowDefinition> definitions;
    std::vector<std::vector<std::vector<Paragraph>>> cells;
    for (const Row& row : rows) {
        if (row.cells.size() != row.definition.cells.size()) {
            return false;
        }
        definitions.push_back(row.definition);
        cells.push_back(row.cells);
    }
    return rowsFit(definitions) && mergesFit(definitions, cells);
}

void DocumentBuilder::closeTable() {
    if (table_.empty()) {
        return;
    }
    std::vector<Row> found = rows();
    if (fits(found)) {
        build(std::move(found));
    } else {
        flatten();
    }
    table_.clear();
    rowOpen_ = false;
}

void DocumentBuilder::build(std::vector<Row> rows) {
    const int index = static_cast<int>(document_.tables.size());
    Table table;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const RowDefinition& definition = rows[r].definition;
        RowFormat format;
        format.leftTwips = definition.left;
        table.borders = table.borders || definition.borders;
        for (std::size_t k = 0; k < rows[r].cells.size(); ++k) {
            format.cells.push_back({definition.cells[k].right, definition.cells[k].merge});
            if (definition.cells[k].merge == CellMerge::Continued) {
                rows[r].cells[k] = {Paragraph{}};  // drawn as part of the cell above
            }
            for (Paragraph& paragraph : rows[r].cells[k]) {
                paragraph.format.tableDepth = 1;
                paragraph.place = {index, static_cast<int>(r), static_cast<int>(k)};
                document_.paragraphs.push_back(std::move(paragraph));
            }
        }
        table.rows.push_back(std::move(format));
    }
    document_.tables.push_back(std::move(table));
}

// As plain reading has it: text goes on through the cells, a tab before each cell after the
// first, and each row and each paragraph inside a cell ends a paragraph.
void DocumentBuilder::flatten() {
    Paragraph flat;
    int tabs = 0;
    const auto addTabs = [&](int count, const CharFormat& format) {
        if (count > 0) {
            flat.runs.push_back({QString(count, u'\t'), format});
        }
    };
    const auto lastFormat = [&] {
        return flat.runs.empty() ? CharFormat{} : flat.runs.back().format;
    };
    bool cells = false;
    for (Event& event : table_) {
        for (TextRun& run : event.paragraph.runs) {
            addTabs(std::exchange(tabs, 0), run.format);
            flat.runs.push_back(std::move(run));
        }
        if (event.end == End::Cell) {
            ++tabs;
            cells = true;
            continue;
        }
        // The tab after a row's last cell goes with the row.
        addTabs(std::exchange(tabs, 0) - (event.end == End::Row ? 1 : 0), lastFormat());
        cells = cells || event.end == End::Row;
        flat.format = event.paragraph.format;
        flat.format.tableDepth = 0;
        document_.paragraphs.push_back(std::exchange(flat, Paragraph{}));
    }
    if (cells) {
        ++document_.dropped;
    }
}

}  // namespace veltro::richtext
