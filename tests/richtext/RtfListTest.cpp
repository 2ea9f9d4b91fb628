#include "TestData.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"
#include "richtext/TextDocumentRtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

// Numbered, lettered and bullet lists of every writer, as real lists.
namespace veltro::richtext {
namespace {

using test::u8;

const char* styleName(ListStyle style) {
    static constexpr std::array<const char*, 8> kNames = {"disc", "circle", "square", "1",
                                                          "a",    "A",      "i",      "I"};
    return kNames[static_cast<std::size_t>(style)];
}

// "-" for a paragraph that is no item, else "list.level style prefix|suffix@start".
std::vector<std::string> items(const QByteArray& rtf) {
    std::vector<std::string> out;
    for (const Paragraph& p : normalized(documentFromStored(QByteArrayView(rtf))).paragraphs) {
        const ListItem& i = p.format.list;
        out.push_back(i.list == 0 ? "-"
                                  : std::to_string(i.list) + '.' + std::to_string(i.level) + ' ' +
                                        styleName(i.style) + ' ' + i.prefix.toStdString() + '|' +
                                        i.suffix.toStdString() + '@' + std::to_string(i.start));
    }
    return out;
}

// A list table of two lists, as Word and LibreOffice write them.
const QByteArray kTable =
    R"({\rtf1{\*\listtable{\list\listtemplateid7{\listlevel\levelnfc0\levelstartat1{\leveltext\'02\'00.;})"
    R"({\levelnumbers\'01;}}{\listlevel\levelnfc4\levelstartat1{\leveltext\leveltemplateid9\'03\'00.\'01;})"
    R"({\levelnumbers\'01\'03;}}{\listlevel\levelnfc255{\leveltext\'00;}}\listid70}{\list{\listlevel\levelnfc23)"
    R"({\leveltext\'01\u-3913 ?;}\f1}{\listlevel\levelnfc23{\leveltext \'01o;}}{\listlevel\levelnfc3)"
    R"(\levelstartat3{\leveltext\'03(\'02);}}\listid80}})"
    R"({\listoverridetable{\listoverride\listid80\listoverridecount0\ls2}{\listoverride\listid70)"
    R"(\listoverridecount1{\lfolevel\listoverridestartat{\listlevel\levelnfc3}}\ls1}})";

TEST(Lists, ReadFromEveryForm) {
    struct Case {
        const char* name;
        QByteArray rtf;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"RichEdit bullets",
         test::readData(QStringLiteral("bullets.rtf")),
         {"1.0 disc |@1", "1.0 disc |@1", "-"}},
        {"RichEdit numbers restated on each item",
         R"({\rtf1\pard{\pntext 1.\tab}{\*\pn\pnlvlbody\pndec\pnstart1{\pntxta.}}a\par)"
         R"({\pntext 2.\tab}{\*\pn\pnlvlbody\pndec\pnstart2{\pntxta.}}b\par\pard c\par})",
         {"1.0 1 |.@1", "1.0 1 |.@1", "-"}},
        {"\\pn letters with text before and after, then another list",
         R"({\rtf1\pard{\pntext (b)\tab}{\*\pn\pnlvlbody\pnlcltr\pnstart2{\pntxtb (}{\pntxta )}}a\par)"
         R"(\pard{\pntext I\tab}{\*\pn\pnlvlbody\pnucrm\pnstart1}b\par})",
         {"1.0 a (|)@2", "2.0 I |@1"}},
        {"\\pn outline levels", R"({\rtf1{\*\pn\pnlvl2\pnlcrm{\pntxta .}}a\par})", {"1.1 i |.@1"}},
        {"\\pnlvlcont continues an item", R"({\rtf1{\*\pn\pnlvlcont}a\par})", {"-"}},
        {"list table with levels, continued after other text",
         kTable + R"(\pard\ls1 a\par\ilvl1 b\par\pard x\par\ls1\ilvl0 c\par\pard\ls1\ilvl2 d\par})",
         {"1.0 1 |.@1", "1.1 a |@1", "-", "1.0 1 |.@1", "-"}},
        {"list table bullets and numbers with text around",
         kTable + R"(\pard\ls2 a\par\ilvl1 b\par\ilvl2 c\par})",
         {"1.0 disc |@1", "1.1 circle |@1", "1.2 A (|)@3"}},
        {"\\ls wins over \\pn and the label",
         kTable + R"(\pard{\pntext 7)\tab}{\*\pn\pnlvlbody\pnucrm}\ls2 a\par})",
         {"1.0 disc |@1"}},
        {"\\ls without a table: the label tells",
         R"({\rtf1{\listtext\pard\plain 3)\tab}\ls4 a\par})",
         {"1.0 1 |)@3"}},
        {"labels alone",
         R"({\rtf1{\listtext 1.\tab}a\par{\listtext 2.\tab}b\par{\listtext iv.\tab}c\par})",
         {"1.0 1 |.@1", "1.0 1 |.@1", "2.0 i |.@4"}},
        {"Word's paste",
         test::readData(QStringLiteral("word-paste.rtf")),
         {"-", "1.0 disc |@1", "1.0 disc |@1", "-"}},
        {"LibreOffice's paste",
         test::readData(QStringLiteral("lo-paste.rtf")),
         {"-", "1.0 disc |@1", "1.0 disc |@1", "-"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(items(c.rtf), c.items);
    }
}

TEST(Lists, NumbersCountPerLevelAndStartAgainBelowAHigherItem) {
    ListItem top{1, 0, ListStyle::Decimal, {}, QStringLiteral("."), 1};
    ListItem sub{1, 1, ListStyle::LowerAlpha, QStringLiteral("("), QStringLiteral(")"), 1};
    ListItem other{2, 0, ListStyle::UpperRoman, {}, QStringLiteral("."), 4};
    ListCounter counter;
    QStringList labels;
    for (const ListItem* item : {&top, &sub, &sub, &other, &top, &sub, &other}) {
        labels << listLabel(*item, counter.next(*item));
    }
    EXPECT_EQ(labels.join(u' '), u"1. (a) (b) IV. 2. (a) V.");
    EXPECT_EQ(listLabel(sub, 28), u"(ab)");
    EXPECT_EQ(listLabel({1, 0, ListStyle::LowerRoman, {}, {}, 1}, 1994), u"mcmxciv");
}

TEST(Lists, WrittenForOldAndNewReaders) {
    const QByteArray written = writeRtf(documentFromStored(QByteArrayView(
        kTable + R"(\pard\ls1 a\par\ilvl1 b\par\pard\ls2\ilvl2 c\par\ls2\ilvl0 d\par})")));
    // Newer readers: the list table; older ones: label and \pn on every item.
    EXPECT_TRUE(written.contains(R"({\*\listtable)")) << written.toStdString();
    EXPECT_TRUE(written.contains(
        R"({\pntext 1.\tab}{\*\pn\pnlvlbody\pndec\pnstart1\pnindent360\pnhang{\pntxta .}}\ls1\ilvl0\fi-360\li360)"));
    EXPECT_TRUE(written.contains(R"({\pntext a\tab}{\*\pn\pnlvlbody\pnlcltr\pnstart1)"));
    EXPECT_TRUE(written.contains(R"({\pntext (C)\tab})"));
    EXPECT_TRUE(written.contains(R"({\leveltext\'01\'b7;}{\levelnumbers;}\f1)"));
    EXPECT_TRUE(written.contains(R"(\pnlvlblt\pnf1\pnindent0{\pntxtb\'b7}}\ls2\ilvl0)"));
    // A reader of \pn alone still sees the lists and their numbers.
    QByteArray pnOnly = written;
    pnOnly.replace("{\\*\\listtable", "{\\*\\ignored");
    pnOnly.replace("{\\*\\listoverridetable", "{\\*\\ignored");
    EXPECT_EQ(items(pnOnly),
              (std::vector<std::string>{"1.0 1 |.@1", "1.1 a |@1", "2.2 A (|)@3", "2.0 disc |@1"}));
}

TEST(Lists, ShownAsQtListsThatKeepCounting) {
    QTextDocument document;
    readRtfInto(document, kTable + R"(\pard\ls1 a\par\ilvl1 b\par c\par\pard x\par)"
                                   R"(\ls1\ilvl0 d\par\ilvl1 e\par\pard\ls2\ilvl2 f\par})");
    ASSERT_EQ(document.blockCount(), 7);
    const auto label = [&](int block) {
        const QTextBlock b = document.findBlockByNumber(block);
        return b.textList() ? b.textList()->itemText(b) : QString();
    };
    EXPECT_EQ(label(0), u"1.");
    EXPECT_EQ(label(1), u"a");  // "1.a" shows only its own number
    EXPECT_EQ(label(2), u"b");
    EXPECT_EQ(label(3), QString());
    EXPECT_EQ(label(4), u"2.");  // the list goes on after other text
    EXPECT_EQ(label(5), u"a");   // and its second level starts again
    EXPECT_EQ(document.findBlockByNumber(6).textList()->format().style(),
              QTextListFormat::ListUpperAlpha);
    EXPECT_EQ(document.findBlockByNumber(1).textList()->format().indent(), 2);
    // Read back from Qt, the lists are what the RTF said.
    EXPECT_EQ(items(writeRtf(document)),
              (std::vector<std::string>{"1.0 1 |.@1", "1.1 a |@1", "1.1 a |@1", "-", "1.0 1 |.@1",
                                        "1.1 a |@1", "2.2 A (|)@3"}));
}

TEST(Lists, AnEditedListKeepsItsWritersIndentsUntilAnItemChangesLevel) {
    QTextDocument document;
    readRtfInto(document, QByteArray(R"({\rtf1\pard{\pntext\f1\'B7\tab}{\*\pn\pnlvlblt\pnf1)"
                                     R"(\pnindent0{\pntxtb\'B7}}\fi-360\li1080 eins\par)"
                                     R"({\pntext\f1\'B7\tab}zwei\par\pard x\par})"));
    QTextCursor end(document.findBlockByNumber(1));
    end.movePosition(QTextCursor::EndOfBlock);
    end.insertText(QStringLiteral(" und"));
    end.insertBlock();  // a new item goes on in the same way
    end.insertText(QStringLiteral("drei"));
    const QByteArray written = writeRtf(document);
    EXPECT_EQ(written.count(R"(\ls1\ilvl0\fi-360\li1080)"), 3) << written.toStdString();

    QTextCursor second(document.findBlockByNumber(1));
    QTextListFormat deeper = second.block().textList()->format();
    deeper.setIndent(2);
    second.createList(deeper);
    const QByteArray moved = writeRtf(document);
    EXPECT_TRUE(moved.contains(R"(\ilvl1\fi-360\li720)")) << moved.toStdString();
    EXPECT_EQ(moved.count(R"(\ilvl0\fi-360\li1080)"), 2) << moved.toStdString();
}

}  // namespace
}  // namespace veltro::richtext

namespace veltro::richtext {
namespace {

// Inputs the fuzzers found: the plain text and the document agree, and writing is stable.
TEST(Lists, OddInputsStayConsistent) {
    const QByteArray cases[] = {
        R"({\rtf1{\pntext Art\tab}{\*\listtable{\list{\leveltext\u-10179?)",
        R"({\rtf1{\pntext 31\tab}\ls1 a\par{\pntext\'b7\tab}b\par})",
        R"({\rtf1{\*\listtable{\fonttbl{\f0\fcharset204 C;}}\ansicpg1251}\'cf})",
        R"({\rtf1{\listtext\{\*\listoverridetable{\listoverride\ls1}}h Zwei\par})",
        R"({\rtf1{\pntext a\tab}{\*\pn\pnlvlbody\pntxta .}x\par})",
        R"({\rtf1{\pntext Art\*\fldinst x}y\par})",
        // Labels whose length byte is 0x80 or more: from a list table, and made from \pn.
        R"({\rtf1{\*\listtable{\list{\listlevel\levelnfc0{\leveltext\'82)" + QByteArray(128, 'a') +
            R"(\'00.;}}\listid1}}{\*\listoverridetable{\listoverride\listid1\ls1}}\ls1 x\par})",
        R"({\rtf1{\*\pn\pnlvlbody\pndec{\pntxtb )" + QByteArray(130, 'b') + R"(}}x\par})",
    };
    for (const QByteArray& rtf : cases) {
        SCOPED_TRACE(rtf.toStdString());
        const RichDocument document = documentFromStored(QByteArrayView(rtf));
        EXPECT_EQ(plainText(document, LineBreak::Lf),
                  plainTextFromStored(QByteArrayView(rtf), LineBreak::Lf));
        const QByteArray written = writeRtf(document);
        EXPECT_EQ(writeRtf(documentFromStored(QByteArrayView(written))), written);
    }
}

}  // namespace
}  // namespace veltro::richtext
