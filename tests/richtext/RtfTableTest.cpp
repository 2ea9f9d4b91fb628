#include "TestData.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"
#include "richtext/TextDocumentRtf.h"

#include <QTextDocument>
#include <QTextTable>

#include <gtest/gtest.h>

// Tables as tables where Qt can hold them, as their text where it cannot; and what the
// reader could not keep, counted.
namespace veltro::richtext {
namespace {

using test::u8;

RichDocument read(const QByteArray& rtf) {
    return documentFromStored(QByteArrayView(rtf));
}

// "row/cell: text" for each paragraph of a table; "text" for the others.
QStringList cells(const RichDocument& document) {
    QStringList out;
    for (const Paragraph& paragraph : document.paragraphs) {
        QString text;
        for (const TextRun& run : paragraph.runs) {
            text += run.text;
        }
        out << (paragraph.place.table < 0 ? text
                                          : QStringLiteral("%1/%2: %3")
                                                .arg(paragraph.place.row)
                                                .arg(paragraph.place.cell)
                                                .arg(text));
    }
    return out;
}

// As LibreOffice writes a table with a merged column and two paragraphs in a cell.
const QByteArray kLibreOffice =
    R"({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}})"
    R"(\trowd\trql\trleft-108\ltrrow\trpaddft3\trpaddl0\clbrdrt\brdrs\brdrw10\brdrcf1\clpadft3)"
    R"(\clvmgf\cellx1892\clbrdrt\brdrs\brdrw10\cellx4891\pard\plain\s0\intbl\ql{\b A1}\cell)"
    R"(\pard\plain\s0\intbl B1\cell\row\pard\trowd\trql\trleft-108\ltrrow\clvmrg\cellx1892)"
    R"(\cellx4891\pard\plain\intbl\cell\pard\plain\intbl B2\par zweite\cell\row\pard\plain Ende\par})";

TEST(Tables, KeptWhereQtCanHoldThem) {
    const RichDocument d = read(kLibreOffice);
    ASSERT_EQ(d.tables.size(), 1u);
    const Table& table = d.tables[0];
    ASSERT_EQ(table.rows.size(), 2u);
    EXPECT_TRUE(table.borders);
    EXPECT_EQ(table.rows[0].leftTwips, -108);
    EXPECT_EQ(table.rows[0].cells,
              (std::vector<CellFormat>{{1892, CellMerge::First}, {4891, CellMerge::None}}));
    EXPECT_EQ(table.rows[1].cells[0].merge, CellMerge::Continued);
    EXPECT_EQ(cells(d), (QStringList{u"0/0: A1"_qs, u"0/1: B1"_qs, u"1/0: "_qs, u"1/1: B2"_qs,
                                     u"1/1: zweite"_qs, u"Ende"_qs}));
    EXPECT_TRUE(d.paragraphs[0].runs.at(0).format.bold);
    EXPECT_EQ(d.dropped, 0);
    EXPECT_EQ(plainText(d, LineBreak::Lf), u"A1\tB1\n\tB2\nzweite\nEnde");
    EXPECT_EQ(plainTextFromStored(QByteArrayView(kLibreOffice), LineBreak::Lf),
              plainText(d, LineBreak::Lf));

    // Written and read again, it is the same table.
    const QByteArray written = writeRtf(d);
    EXPECT_TRUE(written.contains(R"(\trowd\trgaph108\trleft-108\clvmgf\clbrdrt)"));
    EXPECT_TRUE(written.contains("\\pard\\intbl\\cell\r\n\\pard\\intbl B2\\par"))
        << written.toStdString();
    const RichDocument again = read(written);
    EXPECT_EQ(again.tables, d.tables);
    EXPECT_EQ(cells(again), cells(d));
}

// Tables Qt cannot hold are read as before: a paragraph a row, a tab between cells.
TEST(Tables, FlattenedWhereQtCannotHoldThem) {
    struct Case {
        const char* name;
        QByteArray rtf;
        const char* plain;
    };
    const Case cases[] = {
        {"cells merged across",
         R"({\rtf1\trowd\clmgf\cellx1000\clmrg\cellx2000\intbl a\cell\cell\row})", "a\t"},
        {"a table in a cell",
         R"({\rtf1\trowd\cellx3000\intbl\itap2 x\nestcell y\nestcell{\nonesttables\par}\itap1\cell\row})",
         "x\ty\t\n"},
        {"rows of different width",
         R"({\rtf1\trowd\cellx1000\intbl a\cell\row\trowd\cellx2000\intbl b\cell\row})", "a\nb"},
        {"more cells than defined", R"({\rtf1\trowd\cellx1000\intbl a\cell b\cell\row})", "a\tb"},
        {"text after the last cell", R"({\rtf1\trowd\cellx1000\intbl a\cell b\row})", "a\tb"},
        {"no row end", R"({\rtf1\trowd\cellx1000\cellx2000\intbl a\cell b\cell})", "a\tb\t"},
        {"an empty last cell keeps its tab",
         R"({\rtf1\trowd\cellx1000\cellx2000\cellx3000 a\cell\cell\cell\row})", "a\t\t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RichDocument d = read(c.rtf);
        EXPECT_EQ(plainTextFromStored(QByteArrayView(c.rtf), LineBreak::Lf), u8(c.plain));
        EXPECT_EQ(plainText(d, LineBreak::Lf), u8(c.plain));
        if (std::string_view(c.name) != "an empty last cell keeps its tab") {
            EXPECT_TRUE(d.tables.empty());
            EXPECT_GT(d.dropped, 0);
        }
    }
}

TEST(Tables, ShownAsQtTables) {
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    readRtfInto(document, kLibreOffice);
    QTextTable* table = QTextCursor(document.findBlockByNumber(1)).currentTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 2);
    EXPECT_EQ(table->cellAt(0, 0).rowSpan(), 2);
    EXPECT_EQ(table->cellAt(1, 1).firstCursorPosition().block().text(), u"B2");
    EXPECT_EQ(table->format().border(), 1);
    const RichDocument model = read(kLibreOffice);
    const RichDocument shown = richDocumentFrom(document);
    EXPECT_EQ(shown.tables, model.tables);
    EXPECT_EQ(cells(shown), cells(model));
    EXPECT_EQ(writeRtf(document), writeRtf(model));

    // A table first and last in the document: Qt's blocks around it are no paragraphs.
    const QByteArray alone = R"({\rtf1\trowd\cellx1000\intbl a\cell\row})";
    readRtfInto(document, alone);
    EXPECT_EQ(cells(richDocumentFrom(document)), QStringList{u"0/0: a"_qs});
    EXPECT_EQ(plainText(richDocumentFrom(document), LineBreak::Lf), u"a");
}

// All constructs at once, as LibreOffice writes them: nothing is lost.
TEST(Tables, LibreOfficeSampleKeepsEverything) {
    const RichDocument d = read(test::readData(QStringLiteral("lo-constructs.rtf")));
    EXPECT_EQ(d.dropped, 0);
    ASSERT_EQ(d.tables.size(), 1u);
    EXPECT_EQ(d.tables[0].rows.size(), 2u);
    int items = 0;
    int pictures = 0;
    QStringList links;
    for (const Paragraph& paragraph : d.paragraphs) {
        items += paragraph.format.isItem() ? 1 : 0;
        for (const TextRun& run : paragraph.runs) {
            pictures += run.picture ? 1 : 0;
            if (!run.format.link.isEmpty()) {
                links << run.format.link;
            }
        }
    }
    EXPECT_EQ(items, 9);
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(links, QStringList{u"https://example.org/a?b=1"_qs});
}

TEST(Tables, WhatCannotBeKeptIsCounted) {
    struct Case {
        const char* name;
        QByteArray rtf;
        bool drops;
    };
    const Case cases[] = {
        {"RichEdit", test::readData(QStringLiteral("richedit-address.rtf")), false},
        {"Word", test::readData(QStringLiteral("word-paste.rtf")), false},
        {"LibreOffice", test::readData(QStringLiteral("lo-paste.rtf")), false},
        {"WordPad's spacing",
         R"({\rtf1\viewkind4\uc1\pard\sa200\sl276\slmult1\f0\fs22\lang7 a\par})", false},
        {"zero values", R"({\rtf1\ri0\cb0\highlight0\expndtw0\charscalex100 a})", false},
        {"highlight", R"({\rtf1 a{\highlight7 b}})", true},
        {"capitals", R"({\rtf1\caps a})", true},
        {"right indent", R"({\rtf1\ri720 a})", true},
        {"hidden text", R"({\rtf1 a{\v b}})", true},
        {"footnote", R"({\rtf1 a{\footnote b}})", true},
        {"embedded object", R"({\rtf1 a{\object\objemb{\*\objdata 01}}})", true},
        {"page number field", R"({\rtf1{\field{\*\fldinst PAGE}{\fldrslt 1}}})", true},
        {"picture without data", R"({\rtf1 a{\pict\pngblip}})", true},
        {"word never heard of", R"({\rtf1\zzword a})", true},
        {"table with a table in a cell",
         R"({\rtf1\trowd\cellx900\intbl\itap2 a\nestcell\itap1\cell\row})", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(read(c.rtf).dropped > 0, c.drops);
    }
}

}  // namespace
}  // namespace veltro::richtext
