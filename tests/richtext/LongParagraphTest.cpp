#include "TestTools.h"
#include "richtext/ParagraphChunks.h"
#include "richtext/RichTextBlock.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"
#include "richtext/TextDocumentRtf.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

namespace veltro::richtext {
namespace {

using veltro::testing::select;

// Stored RTF of one paragraph holding the text.
QString storedParagraph(const QString& text, Alignment alignment = Alignment::Left) {
    RichDocument document;
    Paragraph paragraph;
    paragraph.format.alignment = alignment;
    paragraph.runs.push_back({text, {}});
    document.paragraphs.push_back(paragraph);
    return QString::fromLatin1(writeRtf(document));
}

QStringList paragraphsOf(const RichTextBlock& block) {
    QStringList texts;
    for (const Paragraph& paragraph : richDocumentFrom(*block.document()).paragraphs) {
        QString text;
        for (const TextRun& run : paragraph.runs) {
            text += run.text;
        }
        texts << text;
    }
    return texts;
}

// Paragraph lengths, which a failure prints readably.
std::vector<qsizetype> lengthsOf(const QStringList& paragraphs) {
    std::vector<qsizetype> lengths;
    for (const QString& paragraph : paragraphs) {
        lengths.push_back(paragraph.size());
    }
    return lengths;
}

// Words and one word far longer than a line.
QString longText() {
    QString text;
    for (int i = 0; text.size() < 3 * kChunkLength; ++i) {
        text += QStringLiteral("Wort%1 ").arg(i);
    }
    return text + QString(3 * kChunkLength, u'x') + QStringLiteral(" Ende");
}

TEST(ChunkEnd, EndsAfterABlankNearTheEndOrAnywhereInALongWord) {
    const struct {
        const char* name;
        QString text;
        qsizetype from;
        qsizetype room;
        qsizetype end;
    } cases[] = {
        {"the rest fits", "abc def", 0, 100, 7},
        {"after the last blank close before the end", "abcd efgh ijkl", 0, 12, 10},
        {"a long word is cut anywhere", QString(500, u'x'), 0, 400, 400},
        {"counted from the start of the chunk", QString(500, u'x'), 100, 300, 400},
        {"never inside a surrogate pair", QString(9, u'x') + QStringLiteral("😀😀"), 0, 10, 9},
        {"an empty chunk rather than half a pair", QStringLiteral("😀"), 0, 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chunkEnd(c.text, c.from, c.room), c.end) << c.name;
    }
}

TEST(LongParagraph, IsShownInChunksAndStoredAsOneParagraph) {
    RichTextBlock block;
    const QString text = longText();
    const QString stored = storedParagraph(text, Alignment::Center);
    block.setRtfText(stored);
    EXPECT_GT(block.document()->blockCount(), 5);
    for (QTextBlock chunk = block.document()->begin(); chunk.isValid(); chunk = chunk.next()) {
        EXPECT_LE(chunk.length(), kChunkLength + 1);
        EXPECT_EQ(chunk.blockFormat().alignment(), Qt::AlignHCenter);
    }
    EXPECT_EQ(paragraphsOf(block), QStringList{text});
    EXPECT_EQ(block.rtfText(), stored);
    EXPECT_EQ(block.plainText(), text);
}

// Editing at the seams between chunks: what a person typed counts, the seams never do.
TEST(LongParagraph, EditsAtTheSeamsKeepTheParagraphsAPersonMade) {
    const QString text = QString(3 * kChunkLength, u'x');
    const auto seam = [](const RichTextBlock& block) {
        return block.document()->begin().next().position();  // start of the second chunk
    };
    const struct {
        const char* name;
        std::function<void(RichTextBlock&, int)> edit;
        QStringList paragraphs;
    } cases[] = {
        {"Enter inside a later chunk",
         [](RichTextBlock& block, int at) {
             select(block, at + 10, at + 10);
             QTest::keyClick(&block, Qt::Key_Return);
         },
         {QString(kChunkLength + 10, u'x'), QString(2 * kChunkLength - 10, u'x')}},
        {"Enter at the start of a chunk",
         [](RichTextBlock& block, int at) {
             select(block, at, at);
             QTest::keyClick(&block, Qt::Key_Return);
         },
         {QString(kChunkLength, u'x'), QString(2 * kChunkLength, u'x')}},
        {"Enter at the end of a chunk",
         [](RichTextBlock& block, int at) {
             select(block, at - 1, at - 1);
             QTest::keyClick(&block, Qt::Key_Return);
         },
         {QString(kChunkLength, u'x'), QString(2 * kChunkLength, u'x')}},
        {"Backspace at the start of a chunk joins the chunks and keeps the text",
         [](RichTextBlock& block, int at) {
             select(block, at, at);
             QTest::keyClick(&block, Qt::Key_Backspace);
         },
         {text}},
        {"then a second Backspace deletes a letter",
         [](RichTextBlock& block, int at) {
             select(block, at, at);
             QTest::keyClick(&block, Qt::Key_Backspace);
             QTest::keyClick(&block, Qt::Key_Backspace);
         },
         {QString(3 * kChunkLength - 1, u'x')}},
        {"a selection over a seam is deleted",
         [](RichTextBlock& block, int at) {
             select(block, at - 5, at + 5);
             QTest::keyClick(&block, Qt::Key_Delete);
         },
         {QString(3 * kChunkLength - 9, u'x')}},
        {"a typed letter",
         [](RichTextBlock& block, int at) {
             select(block, at + 1, at + 1);
             QTest::keyClicks(&block, "y");
         },
         {QString(kChunkLength, u'x') + u'x' + u'y' + QString(2 * kChunkLength - 1, u'x')}},
        {"pasted lines",
         [](RichTextBlock& block, int at) {
             auto* mime = new QMimeData;  // the clipboard owns it
             mime->setText(QStringLiteral("a\nb"));
             QApplication::clipboard()->setMimeData(mime);
             select(block, at + 1, at + 1);
             block.paste();
         },
         {QString(kChunkLength + 1, u'x') + u'a', u'b' + QString(2 * kChunkLength - 1, u'x')}},
        {"undo of an Enter",
         [](RichTextBlock& block, int at) {
             select(block, at + 3, at + 3);
             QTest::keyClick(&block, Qt::Key_Return);
             block.undo();
         },
         {text}},
    };
    for (const auto& c : cases) {
        RichTextBlock block;
        block.setRtfText(storedParagraph(text));
        c.edit(block, seam(block));
        EXPECT_EQ(lengthsOf(paragraphsOf(block)), lengthsOf(c.paragraphs)) << c.name;
        EXPECT_EQ(paragraphsOf(block), c.paragraphs) << c.name;
        RichTextBlock again;
        again.setRtfText(block.rtfText());
        EXPECT_EQ(paragraphsOf(again), c.paragraphs) << c.name << ", read back";
    }
}

TEST(LongParagraph, ParagraphCommandsTakeTheWholeParagraph) {
    RichTextBlock block;
    const QString text = longText();
    block.setRtfText(storedParagraph(text) + QString());
    const int inLastChunk = block.document()->lastBlock().position() + 2;
    select(block, inLastChunk, inLastChunk);
    block.setSelectionAlignment(Alignment::Right);
    block.setSelectionBullet(true);
    const RichDocument stored = documentFromStored(block.rtfText());
    ASSERT_EQ(stored.paragraphs.size(), 1u);
    EXPECT_EQ(stored.paragraphs[0].format.alignment, Alignment::Right);
    EXPECT_TRUE(stored.paragraphs[0].format.bullet);
    EXPECT_NE(block.document()->begin().textList(), nullptr) << "one bullet, on the first chunk";
    EXPECT_EQ(block.document()->lastBlock().textList(), nullptr);

    block.setSelectionBullet(false);
    EXPECT_FALSE(documentFromStored(block.rtfText()).paragraphs[0].format.bullet);
    EXPECT_EQ(block.document()->lastBlock().blockFormat().indent(), 0);
}

TEST(LongParagraph, ALongPastedTextComesInChunks) {
    RichTextBlock block;
    block.setRtfText(QStringLiteral("vorher nachher"));
    const QString pasted = QString(4 * kChunkLength, u'p');
    auto* mime = new QMimeData;  // the clipboard owns it
    mime->setText(pasted);
    QApplication::clipboard()->setMimeData(mime);
    select(block, 7, 7);
    block.paste();
    EXPECT_GT(block.document()->blockCount(), 3);
    EXPECT_EQ(paragraphsOf(block), QStringList{"vorher " + pasted + "nachher"});
}

// A 10 MB note without a blank: shown, edited and stored while the window keeps responding.
TEST(LongParagraph, ATenMegabyteWordKeepsTheWindowResponding) {
    const QString stored = storedParagraph(QString(10 * 1024 * 1024, u'x'));
    RichTextBlock block;
    block.resize(400, 300);
    block.show();

    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longestGap = 0;
    qint64 ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestGap = std::max(longestGap, now - last);
        last = now;
        ++ticks;
    });
    ticker.start(50);
    const auto spin = [](int ms) {
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < ms) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    };
    spin(100);
    block.setRtfText(stored);
    spin(1000);
    select(block, 5000, 5000);
    QTest::keyClicks(&block, "ab");
    QTest::keyClick(&block, Qt::Key_Backspace);
    QTest::keyClick(&block, Qt::Key_Backspace);
    spin(2000);
    block.moveCursor(QTextCursor::End);
    QTest::keyClicks(&block, "cd");
    QTest::keyClick(&block, Qt::Key_Backspace);
    QTest::keyClick(&block, Qt::Key_Backspace);
    spin(500);
    const QString again = block.rtfText();
    spin(200);
    ticker.stop();

    EXPECT_EQ(again, stored);
    // Generous bounds for a busy machine; showing the note used to take minutes.
    EXPECT_LT(longestGap, 3000);
    EXPECT_LT(clock.elapsed() - ticks * 50, 5000);
}

}  // namespace
}  // namespace veltro::richtext
