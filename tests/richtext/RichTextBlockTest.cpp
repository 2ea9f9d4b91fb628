#include "TestData.h"
#include "TestTools.h"
#include "richtext/RichTextBlock.h"
#include "richtext/StoredText.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextList>
#include <QVBoxLayout>

#include <initializer_list>

#include <gtest/gtest.h>

namespace veltro::richtext {
namespace {

using test::readData;
using test::u8;

using veltro::testing::select;

TEST(RichTextBlock, StoresAndLoadsRtfText) {
    RichTextBlock block;
    block.setRtfText(QString::fromLatin1(readData(QStringLiteral("richedit-address.rtf"))));
    EXPECT_EQ(block.plainText(LineBreak::CrLf), u8("Herrn\r\nDr. Jürgen Müller\r\nHauptstraße 12"));
    EXPECT_FALSE(block.document()->isModified());
    EXPECT_FALSE(block.document()->isUndoAvailable());

    const QString stored = block.rtfText();
    EXPECT_TRUE(looksLikeRtf(QStringView(stored)));
    RichTextBlock again;
    again.setRtfText(stored);
    EXPECT_EQ(again.rtfText(), stored);

    again.setRtfText(u8("Zeile 1\r\nZeile 2"));
    EXPECT_EQ(again.plainText(), u"Zeile 1\nZeile 2");
    again.setRtfText(QString());
    EXPECT_EQ(again.plainText(), QString());
}

TEST(RichTextBlock, PasteTakesRtfFirstAndPlainTextOtherwise) {
    struct Case {
        const char* name;
        const char* rtf;  // nullptr: not offered
        const char* plain;
        const char* html;
        const char* expected;
        bool bold;
    };
    const Case cases[] = {
        {"RTF and plain text", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\b fett\\b0}", "fett", nullptr,
         "fett", true},
        {"plain text only", nullptr, "Zeile 1\nZeile 2", nullptr, "Zeile 1\nZeile 2", false},
        {"HTML is taken as plain text", nullptr, "fett", "<b>fett</b>", "fett", false},
        {"empty RTF falls back to plain text", "", "plain", nullptr, "plain", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* mime = new QMimeData;  // the clipboard owns it
        if (c.rtf) {
            mime->setData(QStringLiteral("text/rtf"), c.rtf);
        }
        if (c.html) {
            mime->setHtml(QString::fromUtf8(c.html));
        }
        mime->setText(QString::fromUtf8(c.plain));
        QApplication::clipboard()->setMimeData(mime);

        RichTextBlock block;
        block.paste();
        EXPECT_EQ(block.plainText(), u8(c.expected));
        select(block, 0, 1);
        EXPECT_EQ(block.selectionAttributes().bold, c.bold ? Tri::True : Tri::False);
    }
}

TEST(RichTextBlock, AnHtmlOnlyClipPastesItsTextWithBoldItalicAndUnderline) {
    auto* mime = new QMimeData;  // the clipboard owns it
    mime->setHtml(QStringLiteral(
        "<meta charset='utf-8'><p style='font-family:Courier;font-size:30pt;color:red'>"
        "<b>fett</b> <i>schräg</i> <u>unten</u> <a href='https://example.de'>Link</a></p>"
        "<p>zwei<br>drei<img src='x.png'></p>"));
    QApplication::clipboard()->setMimeData(mime);
    RichTextBlock block;
    const SelectionAttributes typing = block.selectionAttributes();
    block.paste();
    EXPECT_EQ(block.plainText(), QStringLiteral("fett schräg unten Link\nzwei\ndrei"));
    const struct {
        const char* name;
        int from, to;
        Tri bold, italic, underline;
    } runs[] = {
        {"fett", 0, 4, Tri::True, Tri::False, Tri::False},
        {"schräg", 5, 11, Tri::False, Tri::True, Tri::False},
        {"unten", 12, 17, Tri::False, Tri::False, Tri::True},
        {"link", 18, 22, Tri::False, Tri::False, Tri::False},
        {"zwei", 23, 27, Tri::False, Tri::False, Tri::False},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.name);
        select(block, run.from, run.to);
        const SelectionAttributes attributes = block.selectionAttributes();
        EXPECT_EQ(attributes.bold, run.bold);
        EXPECT_EQ(attributes.italic, run.italic);
        EXPECT_EQ(attributes.underline, run.underline);
        // The clip's font, size and colour give way to the block's.
        EXPECT_EQ(attributes.face, typing.face);
        EXPECT_EQ(attributes.pointSize, typing.pointSize);
        EXPECT_EQ(attributes.colour, typing.colour);
    }
}

TEST(RichTextBlock, TabMovesOnAndControlTabTypesATab) {
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* block = new RichTextBlock(&window);
    auto* after = new QLineEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    for (QWidget* widget : std::initializer_list<QWidget*>{before, block, after}) {
        layout->addWidget(widget);
    }
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    block->setFocus();
    QTest::keyClicks(block, QStringLiteral("ab"));
    QTest::keyClick(block, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClicks(block, QStringLiteral("c"));
    EXPECT_EQ(block->plainText(), QStringLiteral("ab\tc"));
    EXPECT_TRUE(block->hasFocus());
    QTest::keyClick(block, Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    EXPECT_EQ(block->plainText(), QStringLiteral("ab\tc"));
    block->setFocus();
    QTest::keyClick(block, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(before->hasFocus());
}

TEST(RichTextBlock, SelectionAttributesAreTrueFalseOrMixed) {
    RichTextBlock block;
    block.setRtfText(QStringLiteral(
        "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl ;\\red255\\green0\\blue0;}"
        "\\pard\\qc\\f0\\fs20 ab\\b\\i\\ul\\f1\\fs28\\cf1 CD\\par"
        "\\pard{\\*\\pn\\pnlvlblt}\\qr E\\par}"));
    struct Case {
        const char* name;
        int anchor, position;
        Tri bold, bullet;
        std::optional<Alignment> alignment;
        std::optional<QString> face;
        std::optional<double> size;
    };
    const Case cases[] = {
        {"plain part", 0, 2, Tri::False, Tri::False, Alignment::Center, QStringLiteral("Arial"),
         10},
        {"bold part", 2, 4, Tri::True, Tri::False, Alignment::Center, QStringLiteral("Courier New"),
         14},
        {"across the change", 1, 3, Tri::Mixed, Tri::False, Alignment::Center, std::nullopt,
         std::nullopt},
        {"backwards over the bold part", 4, 2, Tri::True, Tri::False, Alignment::Center,
         QStringLiteral("Courier New"), 14},
        {"into the bullet paragraph", 3, 6, Tri::True, Tri::Mixed, std::nullopt,
         QStringLiteral("Courier New"), 14},
        {"cursor after bold text", 4, 4, Tri::True, Tri::False, Alignment::Center,
         QStringLiteral("Courier New"), 14},
        {"cursor in the bullet paragraph", 6, 6, Tri::True, Tri::True, Alignment::Right,
         QStringLiteral("Courier New"), 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        select(block, c.anchor, c.position);
        const SelectionAttributes a = block.selectionAttributes();
        EXPECT_EQ(a.bold, c.bold);
        EXPECT_EQ(a.italic, c.bold);
        EXPECT_EQ(a.underline, c.bold);
        EXPECT_EQ(a.bullet, c.bullet);
        EXPECT_EQ(a.alignment, c.alignment);
        EXPECT_EQ(a.face, c.face);
        EXPECT_EQ(a.pointSize, c.size);
    }
    select(block, 0, 2);
    EXPECT_EQ(block.selectionAttributes().colour, block.palette().color(QPalette::Text));
    select(block, 2, 4);
    EXPECT_EQ(block.selectionAttributes().colour, QColor(Qt::red));
    select(block, 0, 4);
    EXPECT_EQ(block.selectionAttributes().colour, std::nullopt);
}

TEST(RichTextBlock, BulletsToggleAndJoinTheListAbove) {
    RichTextBlock block;
    block.setRtfText(QStringLiteral("eins\ntwo\ndrei\nvier"));
    select(block, 0, 0);
    block.setSelectionBullet(true);
    select(block, 5, 12);  // blocks 2 and 3
    block.setSelectionBullet(true);
    const QTextDocument& d = *block.document();
    const QTextList* list = d.begin().textList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(d.lastBlock().textList(), nullptr);
    EXPECT_EQ(block.selectionAttributes().bullet, Tri::True);

    select(block, 5, 5);
    block.setSelectionBullet(false);
    EXPECT_EQ(d.findBlockByNumber(1).textList(), nullptr);
    EXPECT_EQ(d.findBlockByNumber(1).blockFormat().indent(), 0);
    EXPECT_EQ(block.plainText(), u"eins\ntwo\ndrei\nvier");
    const RichDocument stored = documentFromStored(block.rtfText());
    std::vector<bool> bullets;
    for (const Paragraph& p : stored.paragraphs) {
        bullets.push_back(p.format.isItem());
    }
    EXPECT_EQ(bullets, (std::vector<bool>{true, false, true, false}));
}

TEST(RichTextBlock, AlignmentSetsTheSelectedParagraphs) {
    RichTextBlock block;
    block.setRtfText(QStringLiteral("eins\nzwei\ndrei"));
    select(block, 2, 7);
    block.setSelectionAlignment(Alignment::Center);
    EXPECT_EQ(block.selectionAttributes().alignment, Alignment::Center);
    block.setSelectionAlignment(Alignment::Right);
    select(block, 0, 0);
    EXPECT_EQ(block.selectionAttributes().alignment, Alignment::Right);
    select(block, 11, 11);
    EXPECT_EQ(block.selectionAttributes().alignment, Alignment::Left) << "not selected";
    EXPECT_TRUE(block.rtfText().contains(QStringLiteral("\\pard\\qr")));
}

}  // namespace
}  // namespace veltro::richtext

namespace veltro::richtext {
namespace {

TEST(RichTextBlock, BulletsDoNotJoinANumberedListAbove) {
    RichTextBlock block;
    block.setRtfText(QString::fromLatin1(
        R"({\rtf1{\pntext 1.\tab}{\*\pn\pnlvlbody\pndec{\pntxta .}}eins\par\pard zwei\par})"));
    select(block, 6, 6);
    block.setSelectionBullet(true);
    const QTextDocument& d = *block.document();
    ASSERT_NE(d.lastBlock().textList(), nullptr);
    EXPECT_NE(d.lastBlock().textList(), d.begin().textList());
    EXPECT_EQ(d.lastBlock().textList()->format().style(), QTextListFormat::ListDisc);
    const RichDocument stored = normalized(documentFromStored(block.rtfText()));
    ASSERT_EQ(stored.paragraphs.size(), 2u);
    EXPECT_EQ(stored.paragraphs[0].format.list.style, ListStyle::Decimal);
    EXPECT_EQ(stored.paragraphs[1].format.list.style, ListStyle::Disc);
    EXPECT_NE(stored.paragraphs[0].format.list.list, stored.paragraphs[1].format.list.list);
}

}  // namespace
}  // namespace veltro::richtext
