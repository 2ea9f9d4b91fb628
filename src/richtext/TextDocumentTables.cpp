#include "richtext/TextDocumentTables.h"

#include "richtext/TextDocumentFormats.h"

#include <QTextCursor>
#include <QTextTable>

#include <algorithm>
#include <cmath>

namespace veltro::richtext {
namespace {

constexpr int kFillerProperty = QTextFormat::UserProperty + 5;
constexpr int kTableLeft = QTextFormat::UserProperty + 6;  // twips
constexpr int kDefaultColumnTwips = 1440;

// Every edge of every cell, left to right.
std::vector<int> edges(const Table& table) {
    std::vector<int> all;
    for (const RowFormat& row : table.rows) {
        all.push_back(row.leftTwips);
        for (const CellFormat& cell : row.cells) {
            all.push_back(cell.rightTwips);
        }
    }
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return all;
}

// The first column and the number of columns of each cell of a row.
struct Span {
    int column = 0;
    int columns = 1;
};
Span span(const std::vector<int>& edges, const RowFormat& row, std::size_t cell) {
    const int left = cell == 0 ? row.leftTwips : row.cells[cell - 1].rightTwips;
    const auto first = std::lower_bound(edges.begin(), edges.end(), left);
    const auto last = std::lower_bound(edges.begin(), edges.end(), row.cells[cell].rightTwips);
    return {static_cast<int>(first - edges.begin()), std::max(1, static_cast<int>(last - first))};
}

// How many rows a cell spans: itself and the cells below that continue it, which the reader
// made sure match it.
int mergedRows(const Table& table, const std::vector<int>& edges, std::size_t row, Span at) {
    int rows = 1;
    for (std::size_t r = row + 1; r < table.rows.size(); ++r) {
        const RowFormat& below = table.rows[r];
        bool continues = false;
        for (std::size_t k = 0; k < below.cells.size() && !continues; ++k) {
            const Span s = span(edges, below, k);
            continues = below.cells[k].merge == CellMerge::Continued && s.column == at.column &&
                        s.columns == at.columns;
        }
        if (!continues) {
            break;
        }
        ++rows;
    }
    return rows;
}

QTextTableFormat tableFormat(const Table& table, const std::vector<int>& edges) {
    QTextTableFormat format;
    format.setBorder(table.borders ? 1 : 0);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(2);
    QList<QTextLength> widths;
    for (std::size_t k = 1; k < edges.size(); ++k) {
        widths.append(
            QTextLength(QTextLength::FixedLength, (edges[k] - edges[k - 1]) / kTwipsPerPixel));
    }
    format.setColumnWidthConstraints(widths);
    format.setProperty(kTableLeft, edges.front());
    return format;
}

// The cell edges of a QTextTable's columns, from its widths.
std::vector<int> qtEdges(const QTextTable& table) {
    const QTextTableFormat format = table.format();
    const QList<QTextLength> widths = format.columnWidthConstraints();
    std::vector<int> out{format.hasProperty(kTableLeft) ? format.intProperty(kTableLeft) : 0};
    for (int column = 0; column < table.columns(); ++column) {
        const bool fixed =
            column < widths.size() && widths[column].type() == QTextLength::FixedLength;
        const int width =
            fixed ? static_cast<int>(std::lround(widths[column].rawValue() * kTwipsPerPixel))
                  : kDefaultColumnTwips;
        out.push_back(out.back() + std::max(1, width));
    }
    return out;
}

}  // namespace

QTextTable* insertQtTable(QTextCursor& cursor, const Table& table, bool blockIsFree) {
    if (blockIsFree) {
        markFiller(cursor);
    }
    const std::vector<int> columns = edges(table);
    QTextTable* qt =
        cursor.insertTable(static_cast<int>(table.rows.size()),
                           static_cast<int>(columns.size()) - 1, tableFormat(table, columns));
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const RowFormat& row = table.rows[r];
        for (std::size_t k = 0; k < row.cells.size(); ++k) {
            if (row.cells[k].merge == CellMerge::Continued) {
                continue;
            }
            const Span at = span(columns, row, k);
            const int rows =
                row.cells[k].merge == CellMerge::First ? mergedRows(table, columns, r, at) : 1;
            if (rows > 1 || at.columns > 1) {
                qt->mergeCells(static_cast<int>(r), at.column, rows, at.columns);
            }
        }
    }
    cursor = qt->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
    markFiller(cursor);
    return qt;
}

QTextTableCell qtCell(QTextTable& table, const Table& model, const CellPlace& place) {
    const RowFormat& row = model.rows.at(static_cast<std::size_t>(place.row));
    const auto cell = static_cast<std::size_t>(place.cell);
    if (cell >= row.cells.size() || row.cells[cell].merge == CellMerge::Continued) {
        return {};
    }
    return table.cellAt(place.row, span(edges(model), row, cell).column);
}

void markFiller(QTextCursor& cursor) {
    QTextBlockFormat format = cursor.blockFormat();
    format.setProperty(kFillerProperty, true);
    cursor.setBlockFormat(format);
}

bool isFiller(const QTextBlock& block) {
    return block.blockFormat().boolProperty(kFillerProperty);
}

std::vector<QtCellBlocks> qtTableCells(const QTextTable& table, Table& model) {
    const std::vector<int> columns = qtEdges(table);
    model = Table{};
    model.borders = table.format().border() > 0;
    std::vector<QtCellBlocks> cells;
    for (int r = 0; r < table.rows(); ++r) {
        RowFormat row;
        row.leftTwips = columns.front();
        for (int c = 0; c < table.columns();) {
            const QTextTableCell cell = table.cellAt(r, c);
            const int spanned = std::max(1, cell.columnSpan());
            const bool covered = cell.row() != r;  // merged into the cell above
            CellFormat format;
            format.rightTwips =
                columns[static_cast<std::size_t>(std::min(c + spanned, table.columns()))];
            format.merge = covered              ? CellMerge::Continued
                           : cell.rowSpan() > 1 ? CellMerge::First
                                                : CellMerge::None;
            QtCellBlocks blocks{r, static_cast<int>(row.cells.size()), {}, {}};
            if (!covered) {
                blocks.first = cell.firstCursorPosition().block();
                blocks.last = cell.lastCursorPosition().block();
            }
            row.cells.push_back(format);
            cells.push_back(blocks);
            c += spanned;
        }
        model.rows.push_back(std::move(row));
    }
    return cells;
}

QTextTable* outerTable(const QTextBlock& block) {
    QTextTable* outer = nullptr;
    for (QTextFrame* frame = QTextCursor(block).currentFrame();
         frame != nullptr && frame->parentFrame() != nullptr; frame = frame->parentFrame()) {
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            outer = table;
        }
    }
    return outer;
}

}  // namespace veltro::richtext
