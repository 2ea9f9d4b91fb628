#include "RandomDocument.h"
#include "TestData.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"

#include <gtest/gtest.h>

namespace veltro::richtext {
namespace {

using test::u8;

CharFormat format(const QString& family, int halfPoints) {
    CharFormat f;
    f.family = family;
    f.halfPoints = halfPoints;
    return f;
}

RichDocument oneRun(const QString& text, CharFormat format = {}) {
    format.family = format.family.isEmpty() ? QStringLiteral("Arial") : format.family;
    format.halfPoints = format.halfPoints ? format.halfPoints : 20;
    RichDocument d;
    d.paragraphs.push_back({{}, {{text, format}}});
    return d;
}

QByteArray bodyOf(const QByteArray& rtf) {
    const qsizetype start = rtf.indexOf("\\pard");
    return rtf.mid(start, rtf.lastIndexOf('}') - start);
}

bool balancedAsciiRtf(const QByteArray& rtf) {
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const auto c = static_cast<unsigned char>(rtf[i]);
        if (c >= 0x80) {
            return false;
        }
        if (c == '\\') {
            ++i;  // escaped character
        } else if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth < 0) {
            return false;
        }
    }
    return depth == 0 && rtf.startsWith("{\\rtf1");
}

TEST(RtfWriter, EscapesCharacters) {
    struct Case {
        const char* text;
        const char* written;
    };
    const Case cases[] = {
        {"a\\b{c}", "a\\\\b\\{c\\}"},     {"a\tb", "a\\tab b"},
        {"a\u2028b", "a\\line b"},        {"a\u00A0b\u00ADc\u2011d", "a\\~b\\-c\\_d"},
        {"Straße €", "Stra\\'dfe \\'80"}, {"При", "\\u1055?\\u1088?\\u1080?"},
        {"😀", "\\u-10179?\\u-8704?"},     {"a\x01\x1f\uFFFCb", "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(bodyOf(writeRtf(oneRun(u8(c.text)))),
                  QByteArray("\\pard\\f0\\fs20 ") + c.written + "\\par\r\n");
    }
}

TEST(RtfWriter, ToggleWordsKeepLeadingBlanks) {
    RichDocument d = oneRun(QStringLiteral("fett"));
    d.paragraphs[0].runs.push_back({QStringLiteral(" 12"), d.paragraphs[0].runs[0].format});
    d.paragraphs[0].runs[0].format.bold = true;
    EXPECT_EQ(bodyOf(writeRtf(d)), "\\pard\\f0\\fs20\\b fett\\b0  12\\par\r\n");
}

TEST(RtfWriter, TablesOnlyHoldWhatIsUsed) {
    RichDocument d = oneRun(QStringLiteral("x"));
    QByteArray rtf = writeRtf(d);
    EXPECT_FALSE(rtf.contains("colortbl"));
    EXPECT_FALSE(rtf.contains("Symbol"));

    d.paragraphs[0].format.list.list = 1;
    d.paragraphs[0].runs[0].format.colour = Rgb{0x123456};
    CharFormat times = format(QStringLiteral("Times New Roman"), 20);
    times.colour = Rgb{0x123456};
    d.paragraphs[0].runs.push_back({QStringLiteral("y"), times});
    rtf = writeRtf(d);
    EXPECT_TRUE(
        rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 "
                     "Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}"));
    EXPECT_TRUE(rtf.contains("{\\colortbl ;\\red18\\green52\\blue86;}"));
    EXPECT_TRUE(rtf.contains("\\pard{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2"));
}

TEST(RtfWriter, RunsWithoutFaceTakeTheDocumentDefaults) {
    RichDocument d;
    d.defaultFamily = QStringLiteral("Courier New");
    d.defaultHalfPoints = 24;
    d.paragraphs.push_back({{}, {{QStringLiteral("x"), {}}}});
    const QByteArray rtf = writeRtf(d);
    EXPECT_TRUE(rtf.contains("{\\f0\\fnil\\fcharset0 Courier New;}"));
    EXPECT_TRUE(rtf.contains("\\pard\\f0\\fs24 x"));
}

// The properties that keep stored blocks intact however often they are loaded and saved.
TEST(RtfWriter, RoundTripOfRandomDocuments) {
    std::mt19937 rng(20240607);
    for (int i = 0; i < 500; ++i) {
        SCOPED_TRACE(i);
        const RichDocument original = test::randomDocument(rng);
        const QByteArray written = writeRtf(original);
        ASSERT_TRUE(balancedAsciiRtf(written)) << written.toStdString();
        const RichDocument read = documentFromStored(QByteArrayView(written));
        ASSERT_TRUE(test::sameContent(original, read)) << written.toStdString();
        ASSERT_EQ(writeRtf(read), written);
        ASSERT_EQ(plainText(read, LineBreak::CrLf), plainText(original, LineBreak::CrLf));
        ASSERT_EQ(plainTextFromStored(QByteArrayView(written), LineBreak::Lf),
                  plainText(original, LineBreak::Lf));
    }
}

TEST(RtfWriter, FaceNamesSurviveTheFontTable) {
    const RichDocument d = oneRun(QStringLiteral("x"), format(u8(" Schrift;{Ä}\\Б\t "), 20));
    const RichDocument read = documentFromStored(QByteArrayView(writeRtf(d)));
    EXPECT_EQ(read.paragraphs.at(0).runs.at(0).format.family, u8("Schrift{Ä}\\Б"));
}

}  // namespace
}  // namespace veltro::richtext
