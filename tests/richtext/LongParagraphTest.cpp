#include "QtPrinters.h"
#include "TestTools.h"
#include "richtext/ParagraphChunks.h"
#include "richtext/RichTextBlock.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace veltro::richtext {
namespace {

using namespace Qt::Literals::StringLiterals;
using veltro::testing::select;

constexpr int kChunk = static_cast<int>(kChunkLength);

// Stored RTF of one paragraph holding the text.
QString storedParagraph(const QString& text, Alignment alignment = Alignment::Left) {
    RichDocument document;
    Paragraph paragraph;
    paragraph.format.alignment = alignment;
    paragraph.runs.push_back({text, {}});
    document.paragraphs.push_back(paragraph);
    return QString::fromLatin1(writeRtf(document));
}

QString xs(int count) {
    return QString(count, u'x');
}

// The text with every run of one character written as the character and the run's length
// ("x1034 y1 x2047 \n1 ..."), so a failure reads well.
std::string shape(const QString& text) {
    std::string out;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = at;
        while (end < text.size() && text[end] == text[at]) {
            ++end;
        }
        out += (text[at] == u'\n' ? std::string("\\n") : text.mid(at, 1).toStdString()) +
               std::to_string(end - at) + ' ';
        at = end;
    }
    return out;
}

void putOnClipboard(const QString& text) {
    auto* mime = new QMimeData;  // the clipboard owns it
    mime->setText(text);
    QApplication::clipboard()->setMimeData(mime);
}

TEST(ChunkEnd, EndsAfterABlankNearTheEndOrAnywhereInALongWord) {
    const struct {
        const char* name;
        QString text;
        qsizetype from;
        qsizetype room;
        qsizetype end;
    } cases[] = {
        {"the rest fits", u"abc def"_s, 0, 100, 7},
        {"after the last blank close before the end", u"abcd efgh ijkl"_s, 0, 12, 10},
        {"a long word is cut anywhere", xs(500), 0, 400, 400},
        {"counted from the start of the chunk", xs(500), 100, 300, 400},
        {"never inside a surrogate pair", xs(9) + QStringLiteral("😀😀"), 0, 10, 9},
        {"an empty chunk rather than half a pair", QStringLiteral("😀"), 0, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chunkEnd(c.text, c.from, c.room), c.end) << c.name;
    }
}

TEST(LongParagraph, IsShownInChunksAndStoredAsOneParagraph) {
    QString text;
    for (int i = 0; text.size() < 3 * kChunk; ++i) {
        text += QStringLiteral("Wort%1 ").arg(i);
    }
    text += xs(3 * kChunk) + QStringLiteral(" Ende");
    const QString stored = storedParagraph(text, Alignment::Center);
    RichTextBlock block;
    block.setRtfText(stored);
    EXPECT_GT(block.document()->blockCount(), 5);
    for (QTextBlock chunk = block.document()->begin(); chunk.isValid(); chunk = chunk.next()) {
        EXPECT_LE(chunk.length(), kChunk + 1);
        EXPECT_EQ(chunk.blockFormat().alignment(), Qt::AlignHCenter);
    }
    EXPECT_EQ(block.plainText(), text);
    EXPECT_EQ(block.rtfText(), stored);
}

// Keys pressed at the seams between chunks: what a person typed counts, the seams never do.
TEST(LongParagraph, EditsAtTheSeamsKeepTheParagraphsAPersonMade) {
    const QKeyCombination enter(Qt::Key_Return);
    const QKeyCombination backspace(Qt::Key_Backspace);
    const struct {
        const char* name;
        int offset;  // from the start of the second chunk
        int selected;
        std::vector<QKeyCombination> keys;
        QString paragraphs;  // joined by "\n"
    } cases[] = {
        {"Enter inside a later chunk",
         10,
         0,
         {enter},
         xs(kChunk + 10) + u'\n' + xs(2 * kChunk - 10)},
        {"Enter at the start of a chunk", 0, 0, {enter}, xs(kChunk) + u'\n' + xs(2 * kChunk)},
        {"Enter at the end of a chunk", -1, 0, {enter}, xs(kChunk) + u'\n' + xs(2 * kChunk)},
        {"Backspace at a seam joins the chunks", 0, 0, {backspace}, xs(3 * kChunk)},
        {"a second Backspace deletes", 0, 0, {backspace, backspace}, xs(3 * kChunk - 1)},
        {"a selection over a seam", -5, 10, {QKeyCombination(Qt::Key_Delete)}, xs(3 * kChunk - 9)},
        {"a typed letter",
         1,
         0,
         {QKeyCombination(Qt::Key_Y)},
         xs(kChunk + 1) + u'y' + xs(2 * kChunk - 1)},
        {"pasted lines",
         1,
         0,
         {Qt::ControlModifier | Qt::Key_V},
         xs(kChunk + 1) + u"a\nb"_s + xs(2 * kChunk - 1)},
        {"Enter undone", 3, 0, {enter, Qt::ControlModifier | Qt::Key_Z}, xs(3 * kChunk)},
    };
    putOnClipboard(QStringLiteral("a\nb"));
    for (const auto& c : cases) {
        RichTextBlock block;
        block.setRtfText(storedParagraph(xs(3 * kChunk)));
        const int seam = block.document()->begin().next().position();
        select(block, seam + c.offset, seam + c.offset + c.selected);
        for (const QKeyCombination key : c.keys) {
            QTest::keyClick(&block, key.key(), key.keyboardModifiers());
        }
        EXPECT_EQ(shape(block.plainText()), shape(c.paragraphs)) << c.name;
        RichTextBlock again;
        again.setRtfText(block.rtfText());
        EXPECT_EQ(shape(again.plainText()), shape(c.paragraphs)) << c.name << ", read back";
    }
}

TEST(LongParagraph, ParagraphCommandsAndPastingTakeTheWholeParagraph) {
    RichTextBlock block;
    block.setRtfText(storedParagraph(xs(3 * kChunk)));
    const int inLastChunk = block.document()->lastBlock().position() + 2;
    select(block, inLastChunk, inLastChunk);
    block.setSelectionAlignment(Alignment::Right);
    block.setSelectionBullet(true);
    const RichDocument stored = documentFromStored(block.rtfText());
    ASSERT_EQ(stored.paragraphs.size(), 1u);
    EXPECT_EQ(stored.paragraphs[0].format.alignment, Alignment::Right);
    EXPECT_TRUE(stored.paragraphs[0].format.isItem());
    EXPECT_NE(block.document()->begin().textList(), nullptr) << "one bullet, on the first chunk";
    EXPECT_EQ(block.document()->lastBlock().textList(), nullptr);
    block.setSelectionBullet(false);
    EXPECT_FALSE(documentFromStored(block.rtfText()).paragraphs[0].format.isItem());
    EXPECT_EQ(block.document()->lastBlock().blockFormat().indent(), 0);

    RichTextBlock pastedInto;
    pastedInto.setRtfText(QStringLiteral("vorher nachher"));
    putOnClipboard(xs(4 * kChunk));
    select(pastedInto, 7, 7);
    pastedInto.paste();
    EXPECT_GT(pastedInto.document()->blockCount(), 3);
    EXPECT_EQ(pastedInto.plainText(), u"vorher "_s + xs(4 * kChunk) + u"nachher"_s);
}

// A 10 MB note without a blank, edited at a seam and at its end: stored as it was once the
// edits are taken back. How long it takes is the benchmark's show_long_word.
TEST(LongParagraph, ATenMegabyteWordComesBackWholeAfterEditsTakenBack) {
    const QString stored = storedParagraph(xs(10 * 1024 * 1024));
    RichTextBlock block;
    block.resize(400, 300);
    block.show();
    block.setRtfText(stored);
    for (const bool atEnd : {false, true}) {
        select(block, 5000, 5000);
        if (atEnd) {
            block.moveCursor(QTextCursor::End);
        }
        QTest::keyClicks(&block, u"ab"_s);
        QTest::keyClick(&block, Qt::Key_Backspace);
        QTest::keyClick(&block, Qt::Key_Backspace);
    }
    EXPECT_EQ(block.rtfText(), stored);
}

}  // namespace
}  // namespace veltro::richtext
