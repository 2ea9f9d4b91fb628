#include "TestData.h"
#include "richtext/RtfReader.h"
#include "richtext/StoredText.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <random>

// Plain text has a reader of its own. For the samples of other programs it gives the text of
// the document the full reader builds; for every corruption of them, the text the full reader
// reports to a sink that wants no formats, as plain text was read before.
namespace veltro::richtext {
namespace {

// The pieces of the fuzzer's dictionary: "\\par", "\xef\xbf\xbc", ...
std::vector<QByteArray> dictionaryPieces() {
    QFile file(QStringLiteral(RICHTEXT_FUZZ_DICT));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<QByteArray> pieces;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.startsWith('"') || !line.endsWith('"')) {
            continue;
        }
        QByteArray piece;
        for (qsizetype i = 1; i + 1 < line.size(); ++i) {
            if (line[i] == '\\' && line[i + 1] == 'x') {
                piece += static_cast<char>(line.mid(i + 2, 2).toInt(nullptr, 16));
                i += 3;
            } else {
                i += line[i] == '\\' ? 1 : 0;
                piece += line[i];
            }
        }
        pieces.push_back(piece);
    }
    return pieces;
}

std::vector<QByteArray> samples() {
    std::vector<QByteArray> out;
    const QDir dir(QStringLiteral(RICHTEXT_TEST_DATA));
    for (const QString& name : dir.entryList({QStringLiteral("*.rtf")})) {
        out.push_back(test::readData(name));
    }
    EXPECT_GE(out.size(), 8u);
    out.emplace_back(
        R"({\rtf1{\fonttbl{\f1\fcharset128 G;}{\f2\fcharset204 C;}}\f1\'93\'fa\f2\'cf{\v x}\line)"
        R"({\upr{a}{\*\ud{\u-10179?\u-8704?}}}\trowd\cellx9 a\cell b\cell\row{\pntext 3)\tab})"
        R"(\pnlvlcont c{\*\pn\pnlvlblt}\par{\pict\bin2 }}d}\uc2\u8364\'80x{\listtext\ls2 L})");
    out.emplace_back(
        "{\\urtf1{\\fonttbl{\\f0 A;}}\\f0 Gr\xC3\xBC\xC3\x9F"
        "e\\par \\'e4\\u8364?}");
    return out;
}

// One change of a kind the fuzzer makes: pieces of the dictionary put in, a range cut out,
// the end cut off, another sample's end spliced on, or a byte changed.
QByteArray mutated(QByteArray rtf, const std::vector<QByteArray>& samples,
                   const std::vector<QByteArray>& pieces, std::mt19937& rng) {
    const auto below = [&](qsizetype n) { return static_cast<qsizetype>(rng() % (n + 1)); };
    switch (rng() % 5) {
        case 0:
            for (int k = 1 + static_cast<int>(rng() % 4); k > 0; --k) {
                rtf.insert(below(rtf.size()), pieces[rng() % pieces.size()]);
            }
            break;
        case 1: {
            const qsizetype at = below(rtf.size());
            rtf.remove(at, below(std::min<qsizetype>(40, rtf.size() - at)));
            break;
        }
        case 2:
            rtf.truncate(std::max<qsizetype>(6, below(rtf.size())));
            break;
        case 3: {
            const QByteArray& other = samples[rng() % samples.size()];
            rtf = rtf.left(below(rtf.size())) + other.mid(below(other.size()));
            break;
        }
        default:
            if (rtf.size() > 6) {
                rtf[6 + below(rtf.size() - 7)] = static_cast<char>(rng());
            }
    }
    return rtf.startsWith("{\\rtf") ? rtf : "{\\rtf1 " + rtf;
}

// The text RtfReader reports to a sink that wants no formats, as plain text read it before it
// had a reader of its own: runs and paragraph ends, joined by LF.
QString textOfFullReader(const QByteArray& rtf, bool rawBytesAreUtf8) {
    class TextOnly final : public RtfSink {
    public:
        void text(QStringView text, const CharFormat&) override { out += text; }
        void paragraphEnd(const ParaFormat&) override { out += u"\n"; }
        bool wantsFormats() const override { return false; }
        QString out;
    } sink;
    RtfReader(std::string_view(rtf.constData(), static_cast<std::size_t>(rtf.size())), sink,
              {.rawBytesAreUtf8 = rawBytesAreUtf8})
        .read();
    sink.out.chop(sink.out.endsWith(u'\n') ? 1 : 0);
    return sink.out.replace(QChar(0x2028), u'\n').remove(QChar(0x00AD));
}

TEST(RtfPlainReader, GivesTheTextOfTheFullReader) {
    const std::vector<QByteArray> seeds = samples();
    const std::vector<QByteArray> pieces = dictionaryPieces();
    ASSERT_GT(pieces.size(), 100u);
    for (const QByteArray& rtf : seeds) {
        EXPECT_EQ(plainTextFromStored(QByteArrayView(rtf), LineBreak::CrLf),
                  plainText(documentFromStored(QByteArrayView(rtf)), LineBreak::CrLf));
    }
    std::mt19937 rng(7);
    std::vector<QByteArray> inputs = seeds;
    for (int i = 0; i < 4000; ++i) {
        QByteArray rtf = seeds[rng() % seeds.size()];
        for (int changes = 1 + static_cast<int>(rng() % 3); changes > 0; --changes) {
            rtf = mutated(rtf, seeds, pieces, rng);
        }
        inputs.push_back(rtf);
    }
    for (const QByteArray& rtf : inputs) {
        const std::string shown = rtf.toPercentEncoding("{}\\ ").toStdString();
        EXPECT_EQ(plainTextFromStored(QByteArrayView(rtf), LineBreak::Lf),
                  textOfFullReader(rtf, false))
            << shown;
        // Kept as characters, other than ASCII read as UTF-8.
        const QString text = QString::fromUtf8(rtf);
        const QByteArray utf8 = text.toUtf8();
        EXPECT_EQ(plainTextFromStored(text, LineBreak::Lf),
                  textOfFullReader(utf8, utf8.size() != text.size()))
            << shown;
    }
}

}  // namespace
}  // namespace veltro::richtext
