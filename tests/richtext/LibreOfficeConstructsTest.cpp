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
    const char* rtf;                // read by us, then written by us
    std::vector<const char*> view;  // LibreOffice's view of what we wrote, a line a paragraph
};

const Construct kConstructs[] = {
    {"supersub",
     R"({\rtf1 H\sub 2\nosupersub O x\super 2\nosupersub\par a\up6 b\up0 c\dn4 d\dn0\par})",
     {"H[2|sub]O x[2|sup]", "a[b|sup]c[d|sub]"}},
    {"link",
     R"({\rtf1 Link {\field{\*\fldinst HYPERLINK "https://example.org/a?b=1"}{\fldrslt Bei{\b spiel}}} fertig\par )"
     R"({\field{\*\fldinst{HYPERLINK "mailto:m\'fcller@example.de"}}{\fldrslt{\ul Mail}}}\par})",
     {"Link [Bei|<https://example.org/a?b=1>][spiel|b <https://example.org/a?b=1>] fertig",
      "[Mail|u <mailto:m\xC3\xBCller@example.de>]"}},
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
        EXPECT_EQ(text, plainTextFromStored(QByteArrayView(c.rtf), LineBreak::Lf));
    }
}

}  // namespace
}  // namespace veltro::richtext
