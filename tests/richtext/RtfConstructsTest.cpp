#include "TestData.h"
#include "richtext/RtfField.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"

#include <gtest/gtest.h>

// Raised and lowered text and links, read from what other programs write and written back.
namespace veltro::richtext {
namespace {

using test::u8;

QStringList strings(const std::vector<const char*>& utf8) {
    QStringList out;
    for (const char* s : utf8) {
        out << u8(s);
    }
    return out;
}

RichDocument readNormalized(const QByteArray& rtf) {
    return normalized(documentFromStored(QByteArrayView(rtf)));
}

// The runs of the first paragraph as "text:S" (super), "text:s" (sub) or "text".
QStringList verticals(const RichDocument& document) {
    QStringList out;
    for (const TextRun& run : document.paragraphs.at(0).runs) {
        const VerticalAlignment v = run.format.vertical;
        out << run.text + (v == VerticalAlignment::Super ? QStringLiteral(":S")
                           : v == VerticalAlignment::Sub ? QStringLiteral(":s")
                                                         : QString());
    }
    return out;
}

TEST(RaisedText, ReadFromEveryForm) {
    struct Case {
        const char* rtf;
        std::vector<const char*> runs;
    };
    const Case cases[] = {
        {R"({\rtf1 H\sub 2\nosupersub O})", {"H", "2:s", "O"}},
        {R"({\rtf1 x\super 2\plain y})", {"x", "2:S", "y"}},
        {R"({\rtf1 a{\super b}c})", {"a", "b:S", "c"}},
        {R"({\rtf1 a\up6 b\up0 c\dn4 d\dn0 e})", {"a", "b:S", "c", "d:s", "e"}},
        {R"({\rtf1 a\up b\sub c\super0 d})", {"a", "b:S", "c:s", "d"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf);
        EXPECT_EQ(verticals(readNormalized(c.rtf)), strings(c.runs));
    }
}

TEST(RaisedText, WrittenAsSuperAndSubAndEndedBeforeTheParagraphEnds) {
    const QByteArray written =
        writeRtf(readNormalized(R"({\rtf1 x\super 2\par\nosupersub a\sub i\nosupersub  b})"));
    EXPECT_TRUE(written.contains("x\\super 2\\nosupersub\\par")) << written.toStdString();
    EXPECT_TRUE(written.contains("a\\sub i\\nosupersub  b\\par")) << written.toStdString();
}

// The text of each run with its link, "text>target".
QStringList links(const RichDocument& document) {
    QStringList out;
    for (const Paragraph& paragraph : document.paragraphs) {
        for (const TextRun& run : paragraph.runs) {
            out << (run.format.link.isEmpty() ? run.text : run.text + u'>' + run.format.link);
        }
    }
    return out;
}

TEST(Links, ReadFromFieldsAsWordAndLibreOfficeWriteThem) {
    struct Case {
        const char* name;
        QByteArray rtf;
        std::vector<const char*> runs;
    };
    const Case cases[] = {
        {"quoted",
         R"({\rtf1 a{\field{\*\fldinst HYPERLINK "http://x.de/"}{\fldrslt L}}b})",
         {"a", "L>http://x.de/", "b"}},
        {"Word's groups inside the instruction",
         R"({\rtf1{\field{\*\fldinst {\rtlch\f1 HYPERLINK "mailto:a@b.de" }}{\fldrslt {\cs15\ul M}}}})",
         {"M>mailto:a@b.de"}},
        {"unquoted with a tip",
         R"({\rtf1{\field{\*\fldinst HYPERLINK http://y \\o "Tipp"}{\fldrslt Y}}})",
         {"Y>http://y"}},
        {"bookmark",
         R"({\rtf1{\field{\*\fldinst HYPERLINK \\l "Ziel"}{\fldrslt Z}}})",
         {"Z>#Ziel"}},
        {"escaped path",
         R"({\rtf1{\field{\*\fldinst HYPERLINK "C:\\\\Briefe\\\\\\"a\\".txt"}{\fldrslt P}}})",
         {"P>C:\\Briefe\\\"a\".txt"}},
        {"other fields keep their text only",
         R"({\rtf1{\field{\*\fldinst PAGE}{\fldrslt 3}}})",
         {"3"}},
        {"the link ends with its field",
         R"({\rtf1{\field{\*\fldinst HYPERLINK "u"}{\fldrslt A}}{\field{\*\fldinst DATE}{\fldrslt B}}})",
         {"A>u", "B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(links(readNormalized(c.rtf)), strings(c.runs));
        // Plain text is the visible text, links or not.
        QString visible;
        for (const QString& run : strings(c.runs)) {
            visible += run.section(u'>', 0, 0);
        }
        EXPECT_EQ(plainTextFromStored(QByteArrayView(c.rtf), LineBreak::Lf), visible);
    }
}

TEST(Links, InstructionsRoundTrip) {
    for (const QString& target :
         {QStringLiteral("https://example.org/?q=\"x\""), QStringLiteral("C:\\Briefe\\a b.txt"),
          u8("mailto:müller@example.de")}) {
        EXPECT_EQ(hyperlinkTarget(hyperlinkInstruction(target)), target);
    }
    EXPECT_EQ(hyperlinkTarget(u"INCLUDEPICTURE \"x.png\""), std::nullopt);
    EXPECT_EQ(hyperlinkTarget(u"HYPERLINK"), std::nullopt);
}

TEST(Links, WrittenAsFieldsThatKeepTheirFormatsInside) {
    const QByteArray written = writeRtf(readNormalized(
        R"({\rtf1 a{\field{\*\fldinst HYPERLINK "http://x/"}{\fldrslt\b L}}\b0  b})"));
    EXPECT_TRUE(
        written.contains(R"(a{\field{\*\fldinst{HYPERLINK "http://x/"}}{\fldrslt{\b L}}} b\par)"))
        << written.toStdString();
}

}  // namespace
}  // namespace veltro::richtext
