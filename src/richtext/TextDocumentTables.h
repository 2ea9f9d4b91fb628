#pragma once

#include "richtext/RichDocument.h"

#include <QTextBlock>
#include <QTextTableCell>

#include <vector>

class QTextCursor;
class QTextTable;

namespace veltro::richtext {

// Tables of the document model as QTextTables. The table's columns lie between the edges of
// all its cells, so a cell spans the columns between its own edges; a cell that continues the
// one above is merged into it.

// Inserts a table at the cursor: after its block, or, when that block is free, with the block
// kept before the table as a filler. The cursor is left in the block after the table, also a
// filler until a paragraph takes it.
QTextTable* insertQtTable(QTextCursor& cursor, const Table& table, bool blockIsFree);

// The cell a paragraph at `place` goes into; invalid for a cell merged into the one above.
QTextTableCell qtCell(QTextTable& table, const Table& model, const CellPlace& place);

// Qt keeps a block before and after each table; while empty these are no paragraphs.
void markFiller(QTextCursor& cursor);
[[nodiscard]] bool isFiller(const QTextBlock& block);

// A table's cells in the order RTF writes them, with their blocks; a merged-away cell has none.
struct QtCellBlocks {
    int row = 0;
    int cell = 0;  // as the row counts its cells
    QTextBlock first;
    QTextBlock last;
};
std::vector<QtCellBlocks> qtTableCells(const QTextTable& table, Table& model);

// The outermost table the block is in, or nullptr.
QTextTable* outerTable(const QTextBlock& block);

}  // namespace veltro::richtext
