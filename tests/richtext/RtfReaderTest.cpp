#include "TestData.h"
#include "richtext/StoredText.h"

#include <gtest/gtest.h>

namespace veltro::richtext {
namespace {

using test::readData;
using test::u8;

QString plainLf(const QByteArray& rtf) {
    return plainTextFromStored(QByteArrayView(rtf), LineBreak::Lf);
}

TEST(RtfSamples, PlainTextOfWhatOtherProgramsWrite) {
    struct Case {
        const char* file;
        const char* plain;  // joined by CR LF
    };
    const Case cases[] = {
        {"richedit-address.rtf", "Herrn\r\nDr. Jürgen Müller\r\nHauptstraße 12"},
        {"richedit1-runs.rtf", "Herrn\r\nHauptstraße 12"},
        {"bullets.rtf", "Erster Punkt\r\nZweiter Punkt\r\nDanach"},
        {"unicode.rtf", "€ € € 😀 При"},
        {"word-paste.rtf", "Siehe www.example.de.\r\nErster Punkt ü\r\nZweiter Punkt\r\nEnde"},
        {"lo-paste.rtf", "Grüße aus München\r\nEins\r\nZwei\r\nMitte"},
        {"align-sizes.rtf", "Zentriert\r\nRechts\r\nBlocksatz\r\nLinks"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray rtf = readData(QString::fromLatin1(c.file));
        ASSERT_FALSE(rtf.isEmpty());
        EXPECT_EQ(plainTextFromStored(QByteArrayView(rtf), LineBreak::CrLf), u8(c.plain));
        // Stored rows come back from the database as text.
        EXPECT_EQ(plainTextFromStored(QString::fromLatin1(rtf), LineBreak::CrLf), u8(c.plain));
    }
}

TEST(RtfCodePages, TextSwitchingBetweenFontsKeepsEachFontsCodePage) {
    const QByteArray rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset204 Arial;}"
        "{\\f2\\fcharset238 Arial;}}\\f0 \\'e4\\f1 \\'e4\\f2 \\'e4\\f0 \\'e4\\f1 \\'e4}";
    // 0xE4 is ä in Windows-1252, д in Windows-1251 and ä in Windows-1250 too; 0xB9 tells
    // the last two apart: ą in 1250, № in 1251.
    EXPECT_EQ(plainLf(rtf), u"äдääд");
    const QByteArray other =
        "{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset204 Arial;}{\\f2\\fcharset238 Arial;}}"
        "\\f2 \\'b9\\f1 \\'b9\\f2 \\'b9}";
    EXPECT_EQ(plainLf(other), u"ą№ą");
}

const Paragraph& paragraph(const RichDocument& d, std::size_t i) {
    return d.paragraphs.at(i);
}

TEST(RtfSamples, RichEditAddressFormats) {
    const RichDocument d =
        documentFromStored(QByteArrayView(readData(QStringLiteral("richedit-address.rtf"))));
    ASSERT_EQ(d.paragraphs.size(), 3u);  // no empty block after the final \par
    const TextRun& name = paragraph(d, 0).runs.at(0);
    EXPECT_EQ(name.format.family, u"MS Sans Serif");
    EXPECT_EQ(name.format.halfPoints, 17);
    const auto& street = paragraph(d, 2).runs;
    ASSERT_EQ(street.size(), 2u);
    EXPECT_EQ(street[0].text, u8("Hauptstraße"));
    EXPECT_TRUE(street[0].format.bold);
    EXPECT_EQ(street[0].format.colour, Rgb{0xFF0000});
    EXPECT_EQ(street[1].text, u" 12");
    EXPECT_FALSE(street[1].format.bold);
    EXPECT_FALSE(street[1].format.colour.has_value());
}

TEST(RtfSamples, RichEdit1ColourZeroIsExplicitBlack) {
    const RichDocument d =
        documentFromStored(QByteArrayView(readData(QStringLiteral("richedit1-runs.rtf"))));
    ASSERT_EQ(d.paragraphs.size(), 2u);
    const auto& runs = paragraph(d, 1).runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].format.family, u"Arial");
    EXPECT_EQ(runs[0].format.halfPoints, 20);
    EXPECT_TRUE(runs[0].format.bold);
    EXPECT_FALSE(runs[0].format.colour.has_value());
    EXPECT_EQ(runs[1].format.colour, Rgb{0x000000});  // \cf0 names the first table entry
}

TEST(RtfSamples, BulletsAndWhereTheListEnds) {
    struct Case {
        const char* file;
        std::vector<bool> bullets;
    };
    const Case cases[] = {
        {"bullets.rtf", {true, true, false}},
        {"word-paste.rtf", {false, true, true, false}},
        {"lo-paste.rtf", {false, true, true, false}},
        {"richedit-address.rtf", {false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const RichDocument d =
            documentFromStored(QByteArrayView(readData(QString::fromLatin1(c.file))));
        std::vector<bool> bullets;
        for (const Paragraph& p : d.paragraphs) {
            bullets.push_back(p.format.isItem() && isBullet(p.format.list.style));
        }
        EXPECT_EQ(bullets, c.bullets);
    }
}

TEST(RtfSamples, PastedLinksAlignmentSizesAndStyles) {
    const RichDocument word =
        documentFromStored(QByteArrayView(readData(QStringLiteral("word-paste.rtf"))));
    const auto& link = paragraph(word, 0).runs.at(1);
    EXPECT_EQ(link.text, u"www.example.de");
    EXPECT_TRUE(link.format.underline);
    EXPECT_EQ(link.format.colour, Rgb{0x0563C1});
    EXPECT_EQ(link.format.family, u"Calibri");

    const RichDocument lo =
        documentFromStored(QByteArrayView(readData(QStringLiteral("lo-paste.rtf"))));
    EXPECT_EQ(paragraph(lo, 0).runs.at(0).format.family, u"Liberation Serif");
    EXPECT_EQ(paragraph(lo, 3).format.alignment, Alignment::Center);
    EXPECT_TRUE(paragraph(lo, 3).runs.at(0).format.bold);

    const RichDocument d =
        documentFromStored(QByteArrayView(readData(QStringLiteral("align-sizes.rtf"))));
    ASSERT_EQ(d.paragraphs.size(), 4u);
    EXPECT_EQ(paragraph(d, 0).format.alignment, Alignment::Center);
    EXPECT_EQ(paragraph(d, 1).format.alignment, Alignment::Right);
    EXPECT_EQ(paragraph(d, 2).format.alignment, Alignment::Justify);
    EXPECT_EQ(paragraph(d, 3).format.alignment, Alignment::Left);
    EXPECT_EQ(paragraph(d, 0).runs.at(0).format.halfPoints, 17);
    EXPECT_EQ(paragraph(d, 1).runs.at(0).format.halfPoints, 20);
    const CharFormat& blocksatz = paragraph(d, 2).runs.at(0).format;
    EXPECT_EQ(blocksatz.halfPoints, 28);
    EXPECT_EQ(blocksatz.family, u"Times New Roman");
    EXPECT_EQ(blocksatz.colour, Rgb{0x0000FF});
    const CharFormat& links = paragraph(d, 3).runs.at(0).format;
    EXPECT_TRUE(links.italic && links.underline && links.strike);
}

// Small inputs, one behaviour each; expected text joined by LF.
TEST(RtfReader, TextRules) {
    struct Case {
        const char* name;
        QByteArray rtf;
        const char* plain;
    };
    const Case cases[] = {
        {"\\uc1 fallback stops at \\par", R"({\rtf1\uc1\u8364\par x})", "€\nx"},
        {"\\uc2 skips two characters", R"({\rtf1\uc2\u8364 xyZ})", "€Z"},
        {"\\uc is scoped by groups", R"({\rtf1{\uc3 \u8364}D})", "€D"},
        {"\\uc comes back after a group", R"({\rtf1{\uc0 a}\u8364?b})", "a€b"},
        {"\\uc skips hex bytes", R"({\rtf1\uc2\u8364\'80\'80x})", "€x"},
        {"negative \\u", R"({\rtf1\u-4064?})", "\xEF\x80\xA0"},
        {"surrogate pair", R"({\rtf1\u-10179?\u-8704?})", "😀"},
        {"code point above the BMP", R"({\rtf1\u128512?})", "😀"},
        {"surrogate halves as LibreOffice writes them", R"({\rtf1\uc0 \u55357\uc1 \u56832\'3f})",
         "😀"},
        {"unpaired high surrogate", R"({\rtf1\u-10179?x})", "\xEF\xBF\xBDx"},
        {"high surrogate before \\par", R"({\rtf1\u-10179?\par x})", "\xEF\xBF\xBD\nx"},
        {"out of range \\u", R"({\rtf1\u99999999999?x})", "\xEF\xBF\xBDx"},
        {"Qt's frame markers are not text", R"({\rtf1 a\u64976?b\u64977?c})",
         "a\xEF\xBF\xBD"
         "b\xEF\xBF\xBD"
         "c"},
        {"control characters from \\u dropped", R"({\rtf1 a\u10?\u0?b})", "ab"},
        {"space after a word is its delimiter", R"({\rtf1\b0  12})", " 12"},
        {"'-' without digit is text", R"({\rtf1\b-x})", "-x"},
        {"escaped specials", R"({\rtf1 a\\b\{c\}})", "a\\b{c}"},
        {"control symbols", R"({\rtf1 a\~b\-c\_d})",
         "a\xC2\xA0"
         "bc\xE2\x80\x91"
         "d"},
        {"special words", R"({\rtf1\emdash\endash\lquote\rquote\ldblquote\rdblquote\bullet})",
         "—–‘’“”•"},
        {"\\line is a line break", R"({\rtf1 a\line b})", "a\nb"},
        {"\\tab and a raw tab", "{\\rtf1 a\\tab b\tc}", "a\tb\tc"},
        {"backslash before a line end is \\par", "{\\rtf1 a\\\nb}", "a\nb"},
        {"raw line ends are not text", "{\\rtf1 a\r\nb}", "ab"},
        {"final \\par closes the last paragraph", R"({\rtf1 A\par})", "A"},
        {"two final \\par keep one empty one", R"({\rtf1 A\par\par})", "A\n"},
        {"text after the last \\par", R"({\rtf1 A\par B})", "A\nB"},
        {"unknown ignorable destinations",
         R"({\rtf1{\*\unknown x}{\info{\title T}}{\stylesheet{\s1 S;}}a})", "a"},
        {"destinations skipped without \\*", R"({\rtf1{\listoverridetable{\ls1 L}}a})", "a"},
        {"\\bin data with braces inside a skipped group", R"({\rtf1{\*\pict\bin4 {}}x}y})", "y"},
        {"\\bin data in the body", R"({\rtf1 a\bin2 zzb})", "ab"},
        {"field keeps its result", R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt Link}}})",
         "Link"},
        {"\\upr reads the \\ud part", R"({\rtf1{\upr{ansi}{\*\ud{uni}}}})", "uni"},
        {"tables are flattened", R"({\rtf1\trowd\cellx1000\cellx2000 a\cell b\cell\row c\par})",
         "a\tb\nc"},
        {"hidden text dropped", R"({\rtf1 a{\v hidden}b})", "ab"},
        {"label with blanks around it",
         R"({\rtf1{\listtext\pard\plain  \u61623\'3f\tab}\ls1 P\par})", "P"},
        {"numbered item: the list draws its number",
         R"({\rtf1{\pntext 1.\tab}{\*\pn\pnlvlbody\pndec{\pntxta .}}Eins\par})", "Eins"},
        {"a label that is no number stays as text", R"({\rtf1{\pntext Art. 3:\tab}Eins\par})",
         "Art. 3:\tEins"},
        {"bullet label never reaches the text",
         R"({\rtf1{\fonttbl{\f1\fcharset2 Symbol;}}{\listtext\pard\plain\f1 \'b7\tab}\ls1 P\par})",
         "P"},
        {"document code page", R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8})", "При"},
        {"Mac code page", R"({\rtf1\mac \'8a})", "ä"},
        {"double-byte code page", R"({\rtf1\ansi\ansicpg932 \'82\'a0})", "あ"},
        {"unmappable double-byte code", R"({\rtf1\ansi\ansicpg932 a\'a0b})",
         "a\xEF\xBF\xBD"
         "b"},
        {"font charset over the document page",
         R"({\rtf1{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset128 MS Gothic;}}\f1\'93\'fa\'96\'7b\f0\'e4})",
         "日本ä"},
        {"RTF 1.0 font table without inner braces",
         R"({\rtf1{\fonttbl\f0\fswiss Helv;\f1\fcharset204 Cyr;}\f1\'cf})", "П"},
        {"\\urtf reads raw bytes as UTF-8",
         "{\\urtf1 Gr\xC3\xBC\xC3\x9F"
         "e}",
         "Grüße"},
        {"raw UTF-8 keeps to the rules of text",
         "{\\urtf1 a\xEF\xBF\xBC"
         "b\xE2\x80\xA9"
         "c\xEF\xB7\x90}",
         "ab\nc\xEF\xBF\xBD"},
        {"raw 8-bit bytes in the code page", "{\\rtf1 M\xFCller}", "Müller"},
        {"extra closing brace ends the document", R"({\rtf1 a}b})", "a"},
        {"missing closing brace keeps the text", R"({\rtf1 a\par b)", "a\nb"},
        {"byte order mark and white space before", "\xEF\xBB\xBF \r\n{\\rtf1 a}", "a"},
        {"broken hex escape dropped", R"({\rtf1 a\'zb\'4})", "azb"},
        {"lone backslash at the end", "{\\rtf1 a\\", "a"},
        {"NUL bytes are not text", QByteArray("{\\rtf1 a\0b}", 11), "ab"},
        {"over-long word ignored", R"({\rtf1\aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa x})", "x"},
        {"words known by their exact name only", R"({\rtf1 a\pa b\pardx c\PAR d\par e})",
         "abcd\ne"},
        {"the first and last skipped destinations", R"({\rtf1{\annotation a}{\xmlnstbl b}c})", "c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(plainLf(c.rtf), u8(c.plain));
    }
}

TEST(RtfReader, HugeNumbersAreClamped) {
    const RichDocument d = documentFromStored(
        QByteArrayView(R"({\rtf1\fs99999999999\li-99999999999\uc-5\u8364 a\par\fs0 b})"));
    ASSERT_EQ(d.paragraphs.size(), 2u);
    EXPECT_EQ(d.paragraphs[0].runs.at(0).format.halfPoints, 3276);
    EXPECT_EQ(d.paragraphs[0].format.leftIndentTwips, -31680);
    EXPECT_EQ(d.paragraphs[0].runs.at(0).text, u8("€a"));  // \uc-5 means no fallback
    EXPECT_EQ(d.paragraphs[1].runs.at(0).format.halfPoints, 1);
}

// Input that would crash, hang or overflow a careless reader; the text before it survives.
TEST(RtfReader, MalformedInputKeepsWhatItCan) {
    struct Case {
        const char* name;
        QByteArray rtf;
        const char* kept;
    };
    const QByteArray deep = QByteArray("{\\rtf1 before") + QByteArray(100000, '{') + "deep";
    const QByteArray closers = QByteArray("{\\rtf1 a") + QByteArray(100000, '}');
    QByteArray bins = "{\\rtf1 a";
    QByteArray badHex = "{\\rtf1 a";
    QByteArray fonts = "{\\rtf1{\\fonttbl";
    QByteArray unicodes = "{\\rtf1 a";
    for (int i = 0; i < 100000; ++i) {
        bins += "\\bin0 ";
        badHex += "\\'z";
        unicodes += "\\u-10179?";
        if (i < 5000) {
            fonts += "{\\f" + QByteArray::number(i) + " F;}";
        }
    }
    fonts += "}\\f4999 a}";
    const Case cases[] = {
        {"100 000 open groups", deep, "before"},
        {"100 000 extra closing braces", closers, "a"},
        {"100 000 \\bin words", bins, "a"},
        {"100 000 broken escapes", badHex, "azzz"},
        {"100 000 unpaired surrogates", unicodes, "a\xEF\xBF\xBD"},
        {"5000 fonts", fonts, "a"},
        {"\\bin longer than the input", "{\\rtf1 a\\bin999999999 xyz}", "a"},
        {"truncated inside a font table", "{\\rtf1 a\\par{\\fonttbl{\\f0 Ari", "a"},
        {"truncated after \\u", "{\\rtf1 a\\uc10\\u65", "aA"},
        {"stray words in odd places", "{\\rtf1\\f-5\\cf999999\\ls-3 a\\fonttbl}", "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(plainLf(c.rtf).startsWith(u8(c.kept)));
        (void)documentFromStored(QByteArrayView(c.rtf));
    }
}

TEST(StoredText, RecognisesRtf) {
    struct Case {
        QByteArray stored;
        bool rtf;
    };
    const Case cases[] = {
        {"{\\rtf1\\ansi x}", true}, {"{\\rtf x}", true},     {"\xEF\xBB\xBF\r\n {\\rtf1}", true},
        {"{\\urtf1 x}", true},      {"Herrn Müller", false}, {"", false},
        {"{\\rt", false},           {"x{\\rtf1}", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        EXPECT_EQ(looksLikeRtf(QByteArrayView(c.stored)), c.rtf);
        EXPECT_EQ(looksLikeRtf(QStringView(QString::fromUtf8(c.stored))), c.rtf);
    }
}

TEST(StoredText, PlainTextPassesThrough) {
    // Imported cards hold plain text; the export writes it unchanged.
    const QString imported = u8("Zeile 1\r\nZeile 2\nZeile 3 – Grüße");
    EXPECT_EQ(plainTextFromStored(imported, LineBreak::CrLf), imported);
    EXPECT_EQ(plainTextFromStored(QByteArrayView("M\xFCller"), LineBreak::CrLf), u8("Müller"));
    EXPECT_EQ(plainTextFromStored(QByteArrayView("M\xC3\xBCller"), LineBreak::CrLf), u8("Müller"));

    const RichDocument lines = documentFromStored(QByteArrayView("Zeile 1\r\nZeile 2"));
    ASSERT_EQ(lines.paragraphs.size(), 2u);
    EXPECT_EQ(lines.paragraphs[1].runs.at(0).text, u"Zeile 2");
    EXPECT_EQ(lines.paragraphs[1].runs.at(0).format, CharFormat{});
}

TEST(StoredText, LineBreaksAndCharactersOfThePlainText) {
    const QByteArray rtf = R"({\rtf1 a\line b\par c\~d\-e\tab f\par\par})";
    EXPECT_EQ(plainLf(rtf), u8("a\nb\nc\u00A0de\tf\n"));
    EXPECT_EQ(plainTextFromStored(QByteArrayView(rtf), LineBreak::CrLf),
              u8("a\r\nb\r\nc\u00A0de\tf\r\n"));
    // RTF kept as characters: non-ASCII characters stand for themselves.
    EXPECT_EQ(plainTextFromStored(u8("{\\rtf1 Grüße \\'e4 \\u8364?}"), LineBreak::Lf),
              u8("Grüße ä €"));
}

TEST(StoredText, TheStoresUtf8GivesWhatItsTextGives) {
    const char* const cases[] = {
        "",
        "Müller, Hauptstraße 3",
        "\xEF\xBB\xBF{\\rtf1 Gr\\'fc\\'dfe\\par zwei}",
        "  \r\n{\\rtf1\\ansi M\\'fcller\\line Stra\\'dfe}",
        "{\\rtf1 Grüße \\'e4 \\u8364? 😀 При\\par}",
        "{\\urtf1 Grüße\\par}",
        "{\\rtf1 {\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 \\'c0 б}",
        "{\\rtf",
        "kein {\\rtf1 am Anfang}",
    };
    for (const char* stored : cases) {
        SCOPED_TRACE(stored);
        for (const LineBreak lineBreak : {LineBreak::Lf, LineBreak::CrLf}) {
            EXPECT_EQ(plainTextFromStoredUtf8(stored, lineBreak),
                      plainTextFromStored(QString::fromUtf8(stored), lineBreak));
        }
    }
}

}  // namespace
}  // namespace veltro::richtext
