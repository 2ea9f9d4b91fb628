#include "RandomDocument.h"
#include "TestData.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"
#include "richtext/TextDocumentRtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>

#include <gtest/gtest.h>

namespace veltro::richtext {
namespace {

using test::readData;
using test::u8;

QTextCharFormat formatAt(const QTextDocument& document, int position) {
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();  // the format of the character before the cursor
}

TEST(TextDocumentRtf, BulletParagraphsShareOneList) {
    QTextDocument document;
    readRtfInto(document, readData(QStringLiteral("bullets.rtf")));
    ASSERT_EQ(document.blockCount(), 3);
    const QTextList* list = document.begin().textList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(document.begin().next().textList(), list);
    EXPECT_EQ(document.lastBlock().textList(), nullptr);
    EXPECT_FALSE(document.toRawText().contains(QChar(0x00B7)));
    EXPECT_FALSE(document.toRawText().contains(u'\t'));
}

TEST(TextDocumentRtf, PlainTextTakesTheDocumentFontAndKeepsIt) {
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("DejaVu Serif"), 15));
    readRtfInto(document, u8("Zeile 1\r\nZeile 2"));
    EXPECT_EQ(document.blockCount(), 2);
    EXPECT_FALSE(formatAt(document, 0).hasProperty(QTextFormat::FontFamilies));
    // Saving writes what is shown: the document's font, never a widget default.
    const QByteArray rtf = writeRtf(document);
    EXPECT_TRUE(rtf.contains("DejaVu Serif;"));
    EXPECT_TRUE(rtf.contains("\\fs30 Zeile 1\\par"));
}

TEST(TextDocumentRtf, OnlyParagraphEndsMakeBlocks) {
    const char* const cases[] = {
        "{\\rtf1 a\\u64976?b\\u64977?c\\u8233?d\\line e}",
        "{\\urtf1 a\xEF\xB7\x90"
        "b\xE2\x80\xA9"
        "c}",
        "a\xEF\xB7\x90"
        "b\xEF\xB7\x91"
        "c",
    };
    for (const char* stored : cases) {
        SCOPED_TRACE(stored);
        QTextDocument document;
        readRtfInto(document, QByteArray(stored));
        EXPECT_EQ(document.blockCount(), 1);
    }
}

TEST(TextDocumentRtf, RoundTripThroughQTextDocument) {
    std::mt19937 rng(4711);
    for (int i = 0; i < 200; ++i) {
        SCOPED_TRACE(i);
        const RichDocument original = test::randomDocument(rng);
        QTextDocument document;
        document.setDefaultFont(QFont(QStringLiteral("Arial"), 10));  // as the writer assumes
        fillTextDocument(document, original);
        const RichDocument back = richDocumentFrom(document);
        ASSERT_TRUE(test::sameContent(original, back)) << writeRtf(original).toStdString();
        const QByteArray written = writeRtf(document);
        ASSERT_EQ(written, writeRtf(original));
        QTextDocument again;
        again.setDefaultFont(document.defaultFont());
        readRtfInto(again, written);
        ASSERT_EQ(writeRtf(again), written);
    }
}

TEST(TextDocumentRtf, LinksShowUnderlinedAndKeepTheirOwnUnderline) {
    QTextDocument document;
    readRtfInto(
        document,
        QByteArray(R"({\rtf1 a{\field{\*\fldinst HYPERLINK "http://x/"}{\fldrslt L}}b\super 2})"));
    const QTextCharFormat link = formatAt(document, 1);
    EXPECT_TRUE(link.isAnchor());
    EXPECT_EQ(link.anchorHref(), u"http://x/");
    EXPECT_TRUE(link.fontUnderline());
    EXPECT_EQ(formatAt(document, 3).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    const TextRun shown = richDocumentFrom(document).paragraphs.at(0).runs.at(1);
    EXPECT_EQ(shown.format.link, u"http://x/");
    EXPECT_FALSE(shown.format.underline);  // only shown so

    // The user takes the underline off: it stays off, and the link stays.
    QTextCursor cursor(&document);
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    QTextCharFormat plain;
    plain.setFontUnderline(false);
    cursor.mergeCharFormat(plain);
    EXPECT_FALSE(richDocumentFrom(document).paragraphs.at(0).runs.at(1).format.underline);
    EXPECT_TRUE(writeRtf(document).contains(R"({\fldrslt{L}})"));
}

TEST(TextDocumentRtf, SelectionsAndFragments) {
    QTextDocument document;
    readRtfInto(document, readData(QStringLiteral("richedit-address.rtf")));
    QTextCursor cursor(&document);
    const int street = document.findBlockByNumber(2).position();
    cursor.setPosition(street + 5);
    cursor.setPosition(street + 14, QTextCursor::KeepAnchor);  // "straße 12" runs over two formats
    const RichDocument selected = richDocumentFrom(cursor);
    ASSERT_EQ(selected.paragraphs.size(), 1u);
    ASSERT_EQ(selected.paragraphs[0].runs.size(), 2u);
    EXPECT_EQ(selected.paragraphs[0].runs[0].text, u8("straße"));
    EXPECT_TRUE(selected.paragraphs[0].runs[0].format.bold);
    EXPECT_EQ(selected.paragraphs[0].runs[1].text, u" 12");

    // A selection that takes the paragraph break along keeps it.
    cursor.setPosition(0);
    cursor.setPosition(street, QTextCursor::KeepAnchor);
    EXPECT_EQ(plainText(richDocumentFrom(cursor), LineBreak::Lf), u8("Herrn\nDr. Jürgen Müller\n"));

    const QByteArray fragment = writeRtf(QTextDocumentFragment(cursor));
    EXPECT_EQ(plainTextFromStored(QByteArrayView(fragment), LineBreak::Lf),
              u8("Herrn\nDr. Jürgen Müller\n"));
}

// A long paragraph is shown in chunks: the space above goes on the first, the space below on
// the last, and it reads back as one paragraph with both.
TEST(TextDocumentRtf, SpacingOfALongParagraphStaysAtItsEnds) {
    const QByteArray rtf = "{\\rtf1\\pard\\sb120\\sa240\\sl360\\slmult1 " + QByteArray(3000, 'x') +
                           "\\par\\pard kurz\\par}";
    QTextDocument document;
    readRtfInto(document, rtf);
    ASSERT_GT(document.blockCount(), 3);
    const QTextBlock first = document.begin();
    const QTextBlock last = document.lastBlock().previous();
    EXPECT_DOUBLE_EQ(first.blockFormat().topMargin(), 8);
    EXPECT_DOUBLE_EQ(first.blockFormat().bottomMargin(), 0);
    EXPECT_DOUBLE_EQ(last.blockFormat().topMargin(), 0);
    EXPECT_DOUBLE_EQ(last.blockFormat().bottomMargin(), 16);
    EXPECT_EQ(first.blockFormat().lineHeightType(), QTextBlockFormat::ProportionalHeight);
    const RichDocument back = richDocumentFrom(document);
    ASSERT_EQ(back.paragraphs.size(), 2u);
    const ParaFormat& format = back.paragraphs[0].format;
    EXPECT_EQ(format.spaceBeforeTwips, 120);
    EXPECT_EQ(format.spaceAfterTwips, 240);
    EXPECT_EQ(format.lineSpacing, 360);
    EXPECT_TRUE(format.lineMultiple);
    EXPECT_TRUE(writeRtf(document).contains("\\pard\\sb120\\sa240\\sl360\\slmult1"));
}

}  // namespace
}  // namespace veltro::richtext
