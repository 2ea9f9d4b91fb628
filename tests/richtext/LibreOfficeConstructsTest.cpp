#include "LibreOffice.h"
#include "QtPrinters.h"
#include "TestData.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"

#include <QDir>

#include <gtest/gtest.h>

// Each construct the block keeps, through LibreOffice both ways: what we write must show there
// as we meant it (its ODT is inspected), and what LibreOffice writes of it must come back
// through our reader and writer to the same view in LibreOffice.
namespace veltro::richtext {
namespace {

using test::describeOdt;
using test::libreOfficeText;
using test::u8;
using testing::fileBytes;
using testing::writeBytes;

struct Construct {
    const char* name;
    QByteArray rtf;                 // read by us, then written by us
    std::vector<const char*> view;  // LibreOffice's view of what we wrote, a line a paragraph
};

// The bytes of every picture, in order.
std::vector<QByteArray> pictureData(const QByteArray& rtf) {
    std::vector<QByteArray> data;
    for (const Paragraph& paragraph : documentFromStored(QByteArrayView(rtf)).paragraphs) {
        for (const TextRun& run : paragraph.runs) {
            if (run.picture) {
                data.push_back(run.picture->data);
            }
        }
    }
    return data;
}

const Construct kConstructs[] = {
    {"supersub",
     R"({\rtf1 H\sub 2\nosupersub O x\super 2\nosupersub\par a\up6 b\up0 c\dn4 d\dn0\par})",
     {"H[2|sub]O x[2|sup]", "a[b|sup]c[d|sub]"}},
    {"link",
     R"({\rtf1 Link {\field{\*\fldinst HYPERLINK "https://example.org/a?b=1"}{\fldrslt Bei{\b spiel}}} fertig\par )"
     R"({\field{\*\fldinst{HYPERLINK "mailto:m\'fcller@example.de"}}{\fldrslt{\ul Mail}}}\par})",
     {"Link [Bei|<https://example.org/a?b=1>][spiel|b <https://example.org/a?b=1>] fertig",
      "[Mail|u <mailto:m\xC3\xBCller@example.de>]"}},
    {"lists",
     R"({\rtf1{\fonttbl{\f0 Arial;}{\f1\fcharset2 Symbol;}}{\*\listtable{\list{\listlevel\levelnfc0)"
     R"(\levelstartat1{\leveltext\'02\'00.;}}{\listlevel\levelnfc4{\leveltext\'02\'01);}}\listid1})"
     R"({\list{\listlevel\levelnfc23{\leveltext\'01\'b7;}\f1}{\listlevel\levelnfc23{\leveltext\'01o;}})"
     R"(\listid2}{\list{\listlevel\levelnfc3\levelstartat3{\leveltext\'03(\'00);}}\listid3}})"
     R"({\*\listoverridetable{\listoverride\listid1\ls1}{\listoverride\listid2\ls2})"
     R"({\listoverride\listid3\ls3}})"
     R"(\pard\ls1 eins\par\ilvl1 unter a\par unter b\par\ilvl0 zwei\par\ilvl1 unter c\par)"
     R"(\pard normal\par\ls1 drei\par\pard\ls2 Punkt\par\ilvl1 Kreis\par\pard\ls3 gross\par)"
     R"(\pard{\pntext iv)\tab}{\*\pn\pnlvlbody\pnlcrm\pnstart4{\pntxta )}}alt\par})",
     {"#1 1. eins", "#2 a) unter a", "#2 a) unter b", "#1 1. zwei", "#2 a) unter c", "normal",
      "#1 1. drei", "#1 \xE2\x80\xA2 Punkt", "#2 \xE2\x97\xA6 Kreis", "#1 (A)@3 gross",
      "#1 i)@4 alt"}},
    {"table",
     R"({\rtf1\trowd\trleft-108\clbrdrt\brdrs\clvmgf\cellx1892\cellx4891\pard\intbl{\b A1}\cell)"
     R"(\pard\intbl B1\cell\row\trowd\trleft-108\clvmrg\cellx1892\cellx4891\pard\intbl\cell)"
     R"(\pard\intbl B2\par zweite\cell\row\pard Ende\par})",
     {"|t0 r0 c0 rs2| [A1|b]", "|t0 r0 c1| B1", "|t0 r1 c1| B2", "|t0 r1 c1| zweite", "Ende"}},
    {"pictures",
     "{\\rtf1 Bild {\\pict\\picw4\\pich3\\picwgoal600\\pichgoal450\\pngblip " +
         test::encoded(test::filled({4, 3}, Qt::red), "PNG").toHex() +
         "} und {\\pict\\picw8\\pich6\\jpegblip " +
         test::encoded(test::filled({8, 6}, Qt::blue), "JPEG").toHex() + "}\\par}",
     {"Bild [img 600x450] und [img 120x90]"}},
};

class LibreOfficeConstructs : public ::testing::Test {
protected:
    QString path(const QString& name) const { return office_.path(name); }

    test::LibreOffice office_;
};

TEST_F(LibreOfficeConstructs, SurviveBothWays) {
    ASSERT_TRUE(office_.isValid());
    for (const char* sub : {"ours", "lo", "again", "out"}) {
        ASSERT_TRUE(QDir().mkpath(path(QString::fromLatin1(sub))));
    }
    QStringList ours;
    for (const Construct& c : kConstructs) {
        ours << path(QStringLiteral("ours/%1.rtf").arg(QLatin1String(c.name)));
        ASSERT_TRUE(writeBytes(ours.back(), writeRtf(documentFromStored(QByteArrayView(c.rtf)))));
    }
    ASSERT_TRUE(office_.convert(QStringLiteral("rtf"), ours, path(QStringLiteral("lo"))));
    ASSERT_TRUE(office_.convert(QStringLiteral("odt"), ours, path(QStringLiteral("out"))));
    ASSERT_TRUE(office_.convert(QStringLiteral("txt:Text (encoded):UTF8"), ours,
                                path(QStringLiteral("out"))));
    // LibreOffice's RTF through our reader and writer, and back into LibreOffice.
    QStringList again;
    for (const Construct& c : kConstructs) {
        const QString name = QLatin1String(c.name);
        const QByteArray theirs = fileBytes(path(QStringLiteral("lo/%1.rtf").arg(name)));
        ASSERT_FALSE(theirs.isEmpty()) << c.name;
        EXPECT_EQ(pictureData(theirs), pictureData(c.rtf)) << c.name;
        again << path(QStringLiteral("again/again-%1.rtf").arg(name));
        ASSERT_TRUE(writeBytes(again.back(), writeRtf(documentFromStored(QByteArrayView(theirs)))));
    }
    ASSERT_TRUE(office_.convert(QStringLiteral("odt"), again, path(QStringLiteral("out"))));

    for (const Construct& c : kConstructs) {
        SCOPED_TRACE(c.name);
        const QString name = QLatin1String(c.name);
        QStringList expected;
        for (const char* line : c.view) {
            expected << u8(line);
        }
        const QStringList view = describeOdt(path(QStringLiteral("out/%1.odt").arg(name)));
        EXPECT_EQ(view, expected);
        EXPECT_EQ(describeOdt(path(QStringLiteral("out/again-%1.odt").arg(name))), view);
        const QString text =
            libreOfficeText(fileBytes(path(QStringLiteral("out/%1.txt").arg(name))));
        EXPECT_EQ(text, test::libreOfficeLines(documentFromStored(QByteArrayView(c.rtf))));
    }
}

}  // namespace
}  // namespace veltro::richtext
