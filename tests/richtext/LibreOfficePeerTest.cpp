#include "LibreOffice.h"
#include "QtPrinters.h"
#include "RandomDocument.h"
#include "TestData.h"
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <map>

// LibreOffice serves as an independent reader and writer of RTF: what it writes must read to
// the text it shows itself, and what we write must show in it as our own plain text.
namespace veltro::richtext {
namespace {

using test::libreOfficeText;
using test::u8;
using test::withPlainBlanks;

const char* const kSamples[] = {"richedit-address.rtf", "richedit1-runs.rtf", "bullets.rtf",
                                "unicode.rtf",          "word-paste.rtf",     "lo-paste.rtf",
                                "align-sizes.rtf",      "lo-constructs.rtf"};
constexpr int kRandomDocuments = 15;

using testing::fileBytes;
using testing::writeBytes;

RichDocument withPlainBlanks(RichDocument document) {
    for (Paragraph& paragraph : document.paragraphs) {
        for (TextRun& run : paragraph.runs) {
            run.text = withPlainBlanks(run.text);
        }
    }
    return document;
}

// LibreOffice's document without the paragraph it adds after a table at the end of ours.
RichDocument withoutAddedParagraph(RichDocument document) {
    const auto& paragraphs = document.paragraphs;
    if (paragraphs.size() >= 2 && paragraphs.back().runs.empty() &&
        paragraphs.back().place.table < 0 && paragraphs[paragraphs.size() - 2].place.table >= 0) {
        document.paragraphs.pop_back();
    }
    return document;
}

class LibreOfficePeer : public ::testing::Test {
protected:
    QString path(const QString& name) const { return office_.path(name); }
    void convert(const QString& filter, const QStringList& inputs, const QString& outDir) {
        ASSERT_TRUE(office_.convert(filter, inputs, outDir));
    }

    test::LibreOffice office_;
};

TEST_F(LibreOfficePeer, AgreesWithOurReaderAndWriter) {
    ASSERT_TRUE(office_.isValid());
    for (const char* sub : {"ours", "lo-rtf", "theirs", "txt"}) {
        ASSERT_TRUE(QDir().mkpath(path(QString::fromLatin1(sub))));
    }
    // Inputs: samples of other programs, our RTF of those samples, our RTF of random documents.
    std::map<QString, QByteArray> inputs;
    for (const char* sample : kSamples) {
        const QByteArray rtf = test::readData(QString::fromLatin1(sample));
        inputs[QStringLiteral("s-") + QString::fromLatin1(sample)] = rtf;
        inputs[QStringLiteral("w-") + QString::fromLatin1(sample)] =
            writeRtf(documentFromStored(QByteArrayView(rtf)));
    }
    std::mt19937 rng(99);
    for (int i = 0; i < kRandomDocuments; ++i) {
        inputs[QStringLiteral("r-%1.rtf").arg(i)] = writeRtf(test::randomDocument(rng));
        inputs[QStringLiteral("f-%1.rtf").arg(i)] =
            writeRtf(test::randomDocument(rng, test::Scripts::WithoutAsian));
    }
    QStringList ours;
    for (const auto& [name, rtf] : inputs) {
        ours << path(QStringLiteral("ours/") + name);
        ASSERT_TRUE(writeBytes(ours.back(), rtf));
    }

    convert(QStringLiteral("rtf"), ours, path(QStringLiteral("lo-rtf")));
    QStringList theirs;
    for (const auto& [name, rtf] : inputs) {
        theirs << path(QStringLiteral("theirs/lo-") + name);
        ASSERT_TRUE(QFile::copy(path(QStringLiteral("lo-rtf/") + name), theirs.back()));
    }
    convert(QStringLiteral("txt:Text (encoded):UTF8"), ours + theirs, path(QStringLiteral("txt")));

    const auto txtOf = [&](const QString& rtfName) {
        const QString base = rtfName.chopped(4);
        return libreOfficeText(
            fileBytes(path(QStringLiteral("txt/") + base + QStringLiteral(".txt"))));
    };
    for (const auto& [name, rtf] : inputs) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray loRtf = fileBytes(path(QStringLiteral("theirs/lo-") + name));
        const QString ourPlain = plainTextFromStored(QByteArrayView(rtf), LineBreak::Lf);
        const RichDocument ourDocument = documentFromStored(QByteArrayView(rtf));
        RichDocument loDocument = documentFromStored(QByteArrayView(loRtf));
        // LibreOffice as reader: it shows our text, each cell of a table on a line of its own.
        EXPECT_EQ(txtOf(name), test::libreOfficeLines(ourDocument));
        // LibreOffice as writer: we read its RTF to the text it shows itself.
        EXPECT_EQ(withPlainBlanks(test::libreOfficeLines(loDocument)),
                  txtOf(QStringLiteral("lo-") + name));
        if (test::endsWithTable(ourDocument)) {
            loDocument = withoutAddedParagraph(std::move(loDocument));
        }
        EXPECT_EQ(withPlainBlanks(plainText(loDocument, LineBreak::Lf)), ourPlain);
        if (name.startsWith(u"f-")) {
            // What we write keeps its formats through LibreOffice and back. LibreOffice gives
            // CJK text (and blanks next to it) its Asian face, size and weight from \dbch, \af,
            // \afs and \ab, which we do not read; so these documents have none.
            EXPECT_TRUE(test::sameContent(ourDocument, withPlainBlanks(loDocument)));
        }
    }
}

}  // namespace
}  // namespace veltro::richtext
