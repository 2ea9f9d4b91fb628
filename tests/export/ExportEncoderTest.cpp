#include "export/ExportEncoder.h"

#include <gtest/gtest.h>

#include <random>

namespace veltro::exporting {
namespace {

// Each character on its own: runs of eight are never taken at once.
QByteArray oneByOne(const QString& text, bool quoted, std::int64_t& replaced) {
    ExportEncoder encoder(TextEncoding::Windows1252);
    QByteArray out;
    for (const QChar c : text) {
        if (quoted) {
            QByteArray one;
            encoder.appendQuoted(one, QStringView(&c, 1));
            out += one.mid(1, one.size() - 2);
        } else {
            encoder.append(out, QStringView(&c, 1));
        }
    }
    replaced = encoder.replacedCount();
    return quoted ? '"' + out + '"' : out;
}

TEST(ExportEncoder, Windows1252OfLongAndShortRunsAsCharacterByCharacter) {
    const QString alphabet = QStringLiteral("abcXYZ 019\"äÖß€ł;\t");
    std::mt19937 rng(11);
    for (int i = 0; i < 3000; ++i) {
        QString text;
        const int length = static_cast<int>(rng() % 40);
        const bool asciiMostly = rng() % 2 == 0;
        for (int k = 0; k < length; ++k) {
            const auto pick = asciiMostly ? rng() % 9 : rng() % alphabet.size();
            text += alphabet[static_cast<qsizetype>(pick)];
        }
        for (const bool quoted : {false, true}) {
            ExportEncoder encoder(TextEncoding::Windows1252);
            QByteArray out;
            if (quoted) {
                encoder.appendQuoted(out, text);
            } else {
                encoder.append(out, text);
            }
            std::int64_t replaced = 0;
            EXPECT_EQ(out, oneByOne(text, quoted, replaced)) << text.toStdString();
            EXPECT_EQ(encoder.replacedCount(), replaced) << text.toStdString();
        }
    }
}

}  // namespace
}  // namespace veltro::exporting
