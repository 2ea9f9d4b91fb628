#include "richtext/ParagraphChunks.h"

#include <QTextBlock>
#include <QTextCursor>

#include <atomic>

namespace veltro::richtext {

namespace {

// A word longer than this is cut anywhere rather than searched for a blank.
constexpr qsizetype kWordLookBack = 80;
constexpr int kParagraphProperty = QTextFormat::UserProperty + 1;
constexpr int kIndexProperty = QTextFormat::UserProperty + 2;

ChunkMark markOf(const QTextBlock& block) {
    const QTextBlockFormat format = block.blockFormat();
    return {format.property(kParagraphProperty).toLongLong(), format.intProperty(kIndexProperty)};
}

bool endsAWord(QChar c) {
    return c == u' ' || c == u'\t' || c == QChar::LineSeparator;
}

}  // namespace

qsizetype chunkEnd(QStringView text, qsizetype from, qsizetype room) {
    const qsizetype end = std::min(text.size(), from + room);
    if (end == text.size()) {
        return end;
    }
    for (qsizetype at = end; at > end - std::min(room / 4, kWordLookBack) && at > from; --at) {
        if (endsAWord(text[at - 1])) {
            return at;
        }
    }
    return text[end - 1].isHighSurrogate() ? end - 1 : end;  // may leave the chunk empty
}

std::int64_t newChunkedParagraph() {
    static std::atomic<std::int64_t> last{0};
    return ++last;
}

void setChunkMark(QTextBlockFormat& format, const ChunkMark& mark) {
    format.setProperty(kParagraphProperty, QVariant::fromValue<qlonglong>(mark.paragraph));
    format.setProperty(kIndexProperty, mark.index);
}

bool continuesParagraph(const QTextBlock& block) {
    const QTextBlock previous = block.previous();
    if (!previous.isValid()) {
        return false;
    }
    const ChunkMark mark = markOf(block);
    if (mark.paragraph == 0 || mark.index == 0) {
        return false;
    }
    const ChunkMark before = markOf(previous);
    return before.paragraph != mark.paragraph || before.index < mark.index;
}

QTextBlock paragraphStart(QTextBlock block) {
    while (continuesParagraph(block)) {
        block = block.previous();
    }
    return block;
}

QTextBlock paragraphEnd(QTextBlock block) {
    while (block.next().isValid() && continuesParagraph(block.next())) {
        block = block.next();
    }
    return block;
}

void insertPlainTextInChunks(QTextCursor& cursor, const QString& text) {
    if (text.size() <= kChunkLength) {
        cursor.insertText(text);
        return;
    }
    // The new chunks get a paragraph number of their own; a block after them that continued
    // the paragraph the text went into still does (see continuesParagraph).
    ChunkMark mark{newChunkedParagraph(), 0};
    cursor.beginEditBlock();
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype end = chunkEnd(text, at, kChunkLength);
        cursor.insertText(text.mid(at, end - at));
        at = end;
        if (at < text.size()) {
            QTextBlockFormat format = cursor.blockFormat();
            ++mark.index;
            setChunkMark(format, mark);
            cursor.insertBlock(format);
        }
    }
    cursor.endEditBlock();
}

}  // namespace veltro::richtext
