#pragma once

#include <QString>
#include <QStringView>
#include <QTextBlockFormat>

#include <cstdint>

class QTextBlock;
class QTextCursor;

namespace veltro::richtext {

// Qt lays out and re-lays out a paragraph as a whole, and breaking a long word at a line end
// costs time in proportion to the rest of the word, for every line. A very long paragraph is
// therefore shown as several blocks of at most this many characters; they are one paragraph
// to everything that reads the document (RTF, plain text, the clipboard).
inline constexpr qsizetype kChunkLength = 1024;

// Where the chunk that starts at `from` ends: `room` characters on, or just after a blank or
// line break shortly before that, so ordinary text keeps breaking between words; never between the
// halves of a surrogate pair, even when that leaves it empty.
[[nodiscard]] qsizetype chunkEnd(QStringView text, qsizetype from, qsizetype room);

// A mark for a paragraph's chunks: the paragraph's number, unique in the process, and the
// chunk's place in it (0 for the first).
struct ChunkMark {
    std::int64_t paragraph = 0;
    int index = 0;
};

[[nodiscard]] std::int64_t newChunkedParagraph();
void setChunkMark(QTextBlockFormat& format, const ChunkMark& mark);

// True when the block is a later chunk of the paragraph before it. Editing keeps this right:
// a paragraph break typed inside a chunk leaves two blocks with the same mark, and the second
// starts a paragraph; joining blocks keeps the first one's mark, and the chunks after it still
// count up from it.
[[nodiscard]] bool continuesParagraph(const QTextBlock& block);

// The first and the last block of the paragraph the block belongs to.
[[nodiscard]] QTextBlock paragraphStart(QTextBlock block);
[[nodiscard]] QTextBlock paragraphEnd(QTextBlock block);

// Inserts plain text as typing would, in the format at the cursor, but a long text in chunks.
void insertPlainTextInChunks(QTextCursor& cursor, const QString& text);

}  // namespace veltro::richtext
