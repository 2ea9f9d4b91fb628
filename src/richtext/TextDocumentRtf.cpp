#include "richtext/TextDocumentRtf.h"

#include "richtext/ParagraphChunks.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"
#include "richtext/TextDocumentFormats.h"
#include "richtext/TextDocumentLists.h"
#include "richtext/TextDocumentPictures.h"
#include "richtext/TextDocumentTables.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QTextTable>

#include <optional>
#include <unordered_map>

namespace veltro::richtext {
namespace {

// insertText() would start a new block at line ends and at Qt's frame markers (U+FDD0,
// U+FDD1); inside a run line ends are line breaks, and the markers are not text.
QString runText(const QString& text) {
    const auto breaks = [](QChar c) {
        return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
    };
    const auto markers = [](QChar c) { return c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1; };
    // One cheap comparison for nearly every character: a note may be megabytes long.
    const bool plain = std::none_of(text.begin(), text.end(), [&](QChar c) {
        return (c.unicode() <= u'\r' || c.unicode() >= 0x2029) && (breaks(c) || markers(c));
    });
    if (plain) {
        return text;
    }
    QString clean = text;
    std::replace_if(clean.begin(), clean.end(), breaks, QChar::LineSeparator);
    std::replace_if(clean.begin(), clean.end(), markers, QChar::ReplacementCharacter);
    return clean;
}

// The paragraphs touching [from, to], with runs clipped to [from, to); a table wholly inside
// keeps its cells, a table the range cuts gives its paragraphs alone.
class ContentReader {
public:
    ContentReader(const QTextDocument& document, int from, int to)
        : document_(document), base_(document.defaultFont()), from_(from), to_(to) {
        content_.defaultFamily = familyOf(base_);
        content_.defaultHalfPoints = halfPointsOf(base_);
    }

    RichDocument read() {
        const QTextBlock first = document_.findBlock(from_);
        for (QTextBlock block = first; block.isValid() && block.position() <= to_;) {
            const QTextTable* table = outerTable(block);
            if (table != nullptr && table->firstPosition() >= from_ &&
                table->lastPosition() <= to_) {
                block = addTable(*table);
            } else {
                if (!isFiller(block) || block.length() > 1) {
                    addBlock(block, block == first || !continuesParagraph(block), {});
                }
                block = block.next();
            }
        }
        return normalized(std::move(content_));
    }

private:
    // Returns the block after the table.
    QTextBlock addTable(const QTextTable& table) {
        Table model;
        const int index = static_cast<int>(content_.tables.size());
        for (const QtCellBlocks& cell : qtTableCells(table, model)) {
            const CellPlace place{index, cell.row, cell.cell};
            if (!cell.first.isValid()) {
                Paragraph merged;  // a cell merged into the one above holds nothing
                merged.place = place;
                merged.format.tableDepth = 1;
                content_.paragraphs.push_back(std::move(merged));
                continue;
            }
            for (QTextBlock block = cell.first; block.isValid(); block = block.next()) {
                addBlock(block, block == cell.first || !continuesParagraph(block), place);
                if (block == cell.last) {
                    break;
                }
            }
        }
        content_.tables.push_back(std::move(model));
        QTextCursor after = table.lastCursorPosition();
        after.movePosition(QTextCursor::NextBlock);
        return after.block().position() > table.lastPosition() ? after.block() : QTextBlock();
    }

    void addBlock(const QTextBlock& block, bool startsParagraph, const CellPlace& place) {
        if (startsParagraph) {
            Paragraph paragraph;
            paragraph.format = paraFormatOf(block.blockFormat());
            paragraph.format.list = lists_.itemOf(block);
            keepItemIndents(paragraph.format, block.blockFormat());
            paragraph.format.tableDepth = place.table >= 0 ? 1 : 0;
            paragraph.place = place;
            content_.paragraphs.push_back(std::move(paragraph));
        } else {
            // The space after a long paragraph sits on its last chunk.
            content_.paragraphs.back().format.spaceAfterTwips =
                paraFormatOf(block.blockFormat()).spaceAfterTwips;
        }
        Paragraph& paragraph = content_.paragraphs.back();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(from_, fragment.position());
            const int end = std::min(to_, fragment.position() + fragment.length());
            if (start >= end) {
                continue;
            }
            if (auto picture = pictureOf(fragment.charFormat())) {
                // Equal pictures side by side share one fragment; each is a run of its own.
                for (int at = start; at < end; ++at) {
                    paragraph.runs.push_back(
                        {QString(QChar::ObjectReplacementCharacter), formatOf(fragment), picture});
                }
            } else {
                paragraph.runs.push_back(
                    {fragment.text().mid(start - fragment.position(), end - start),
                     formatOf(fragment)});
            }
        }
    }

    // The chunks of a long paragraph share their formats; each is resolved only once.
    const CharFormat& formatOf(const QTextFragment& fragment) {
        const auto [at, added] = formats_.try_emplace(fragment.charFormatIndex());
        if (added) {
            at->second = charFormatOf(fragment.charFormat(), base_);
        }
        return at->second;
    }

    const QTextDocument& document_;
    const QFont base_;
    const int from_;
    const int to_;
    RichDocument content_;
    std::unordered_map<int, CharFormat> formats_;
    QtListReader lists_;
};

qsizetype paragraphLength(const Paragraph& paragraph) {
    qsizetype length = 0;
    for (const TextRun& run : paragraph.runs) {
        length += run.text.size();
    }
    return length;
}

// The later chunks of a long paragraph: its format, not in a list (a bullet for every chunk
// would be wrong), indented as far as the item's text instead, and no space above.
QTextBlockFormat chunkFormat(const Paragraph& paragraph) {
    QTextBlockFormat format = qtBlockFormat(paragraph.format);
    if (paragraph.format.isItem()) {
        format.setIndent(std::clamp(paragraph.format.list.level, 0, kMaxListLevel) + 1);
    }
    format.setTopMargin(0);
    return format;
}

// A new chunk of the paragraph: the space after the paragraph moves on to it.
void startChunk(QTextCursor& cursor, const QTextBlockFormat& format, const QTextCharFormat& chars) {
    QTextBlockFormat before = cursor.blockFormat();
    before.setBottomMargin(0);
    cursor.setBlockFormat(before);
    cursor.insertBlock(format, chars);
}

// The runs of a paragraph whose first block the cursor is in, a new block after every
// kChunkLength characters or so.
void insertRuns(QTextCursor& cursor, const Paragraph& paragraph, ChunkMark mark) {
    const QTextBlockFormat later = chunkFormat(paragraph);
    qsizetype room = kChunkLength;
    for (const TextRun& run : paragraph.runs) {
        const QTextCharFormat chars = qtCharFormat(run.format);
        if (run.picture) {
            insertPicture(cursor, run.picture, chars);
            --room;
            continue;
        }
        const QString text = runText(run.text);
        qsizetype at = 0;
        while (text.size() - at > room) {
            if (room > 0) {
                const qsizetype end = chunkEnd(text, at, room);
                cursor.insertText(text.mid(at, end - at), chars);
                at = end;
            }
            ++mark.index;
            QTextBlockFormat format = later;
            setChunkMark(format, mark);
            startChunk(cursor, format, chars);
            room = kChunkLength;
        }
        cursor.insertText(at == 0 ? text : text.mid(at), chars);
        room -= text.size() - at;
    }
}

// Puts a document's paragraphs and tables into a QTextDocument.
class DocumentFiller {
public:
    DocumentFiller(QTextDocument& document, const RichDocument& content)
        : content_(content), cursor_(&document) {}

    void fill() {
        const std::vector<Paragraph>& paragraphs = content_.paragraphs;
        for (std::size_t i = 0; i < paragraphs.size();) {
            if (tableOf(paragraphs[i]) != nullptr) {
                i = fillTable(i);
            } else {
                addParagraph(paragraphs[i++]);
            }
        }
    }

private:
    const Table* tableOf(const Paragraph& paragraph) const {
        const auto index = static_cast<std::size_t>(paragraph.place.table);
        return paragraph.place.table >= 0 && index < content_.tables.size()
                   ? &content_.tables[index]
                   : nullptr;
    }

    // Returns the index of the first paragraph after the table.
    std::size_t fillTable(std::size_t first) {
        const std::vector<Paragraph>& paragraphs = content_.paragraphs;
        const Table& model = *tableOf(paragraphs[first]);
        QTextCursor after = cursor_;
        QTextTable* table = insertQtTable(after, model, blockIsFree_);
        std::optional<QTextTableCell> current;
        std::size_t i = first;
        for (; i < paragraphs.size() && paragraphs[i].place.table == paragraphs[first].place.table;
             ++i) {
            const QTextTableCell cell = qtCell(*table, model, paragraphs[i].place);
            if (!cell.isValid()) {
                continue;  // merged into the cell above, and empty
            }
            if (!current || *current != cell) {
                cursor_ = cell.firstCursorPosition();
                blockIsFree_ = true;
                current = cell;
            }
            addParagraph(paragraphs[i]);
        }
        cursor_ = after;
        blockIsFree_ = true;
        return i;
    }

    void addParagraph(const Paragraph& paragraph) {
        QTextBlockFormat blockFormat = qtBlockFormat(paragraph.format);
        const QTextCharFormat blockChars = paragraph.runs.empty()
                                               ? QTextCharFormat()
                                               : qtCharFormat(paragraph.runs.front().format);
        const bool chunked = paragraphLength(paragraph) > kChunkLength;
        const ChunkMark head{chunked ? newChunkedParagraph() : 0, 0};
        if (chunked) {
            setChunkMark(blockFormat, head);
        }
        if (blockIsFree_) {
            cursor_.setBlockFormat(blockFormat);
            cursor_.mergeBlockCharFormat(blockChars);  // a cell keeps its own format
            blockIsFree_ = false;
        } else {
            cursor_.insertBlock(blockFormat, blockChars);
        }
        if (paragraph.format.isItem()) {
            lists_.add(cursor_, paragraph.format.list);
        }
        insertRuns(cursor_, paragraph, head);
    }

    const RichDocument& content_;
    QTextCursor cursor_;
    bool blockIsFree_ = true;  // the cursor's block holds no paragraph yet
    QtListBuilder lists_;
};

}  // namespace

void fillTextDocument(QTextDocument& document, const RichDocument& content) {
    // Clearing inside the edit block makes the whole fill one new content, which Qt lays out
    // in steps between events rather than all at once.
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    document.clear();
    DocumentFiller(document, content).fill();
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

int readRtfInto(QTextDocument& document, const QByteArray& stored) {
    const RichDocument content = documentFromStored(QByteArrayView(stored));
    fillTextDocument(document, content);
    return content.dropped;
}

int readRtfInto(QTextDocument& document, const QString& stored) {
    const RichDocument content = documentFromStored(stored);
    fillTextDocument(document, content);
    return content.dropped;
}

RichDocument richDocumentFrom(const QTextDocument& document) {
    return ContentReader(document, 0, document.characterCount() - 1).read();
}

RichDocument richDocumentFrom(const QTextCursor& selection) {
    if (!selection.hasSelection() || !selection.document()) {
        return {};
    }
    return ContentReader(*selection.document(), selection.selectionStart(),
                         selection.selectionEnd())
        .read();
}

QByteArray writeRtf(const QTextDocument& document) {
    return writeRtf(richDocumentFrom(document));
}

QByteArray writeRtf(const QTextCursor& selection) {
    return writeRtf(richDocumentFrom(selection));
}

QByteArray writeRtf(const QTextDocumentFragment& fragment) {
    QTextDocument document;
    QTextCursor(&document).insertFragment(fragment);
    return writeRtf(document);
}

void registerFontSubstitutes() {
    static const bool registered = [] {
        QFont::insertSubstitutions(
            QStringLiteral("MS Sans Serif"),
            {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
        return true;
    }();
    (void)registered;
}

}  // namespace veltro::richtext
