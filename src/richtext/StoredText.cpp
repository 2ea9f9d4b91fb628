#include "richtext/StoredText.h"

#include "richtext/DocumentBuilder.h"
#include "richtext/RtfEscape.h"
#include "richtext/RtfPlainReader.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "richtext/TextDecoder.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>

namespace veltro::richtext {
namespace {

bool isAsciiSpace(char16_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Where "{\rtf" starts, or -1. Works on bytes and on UTF-16 alike.
template <typename View>
qsizetype rtfStart(View stored) {
    qsizetype i = 0;
    if constexpr (std::is_same_v<View, QByteArrayView>) {
        if (stored.startsWith("\xEF\xBB\xBF")) {
            i = 3;
        }
    } else if (!stored.isEmpty() && stored.front() == QChar(0xFEFF)) {
        i = 1;
    }
    const auto at = [&](qsizetype k) -> char16_t {
        if constexpr (std::is_same_v<View, QByteArrayView>) {
            return static_cast<unsigned char>(stored[k]);
        } else {
            return stored[k].unicode();
        }
    };
    while (i < stored.size() && isAsciiSpace(at(i))) {
        ++i;
    }
    const auto matches = [&](std::string_view word) {
        if (stored.size() - i < static_cast<qsizetype>(word.size())) {
            return false;
        }
        for (std::size_t k = 0; k < word.size(); ++k) {
            if (at(i + static_cast<qsizetype>(k)) != static_cast<unsigned char>(word[k])) {
                return false;
            }
        }
        return true;
    };
    return matches("{\\rtf") || matches("{\\urtf") ? i : -1;
}

std::string_view asStringView(QByteArrayView bytes) {
    return {bytes.data(), static_cast<std::size_t>(bytes.size())};
}

bool isAscii(QStringView text) {
    return QtPrivate::isAscii(text);
}

// RTF kept as characters: pure ASCII is read as bytes; other characters are taken as they are.
template <typename Read>
auto withRtfBytes(QStringView rtf, Read read) {
    if (isAscii(rtf)) {
        return read(rtf.toLatin1(), false);
    }
    return read(rtf.toUtf8(), true);
}

QString decodePlainBytes(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    text.resize(bytes.size());
    std::transform(bytes.begin(), bytes.end(), text.begin(), [](char c) {
        return QChar(windows1252ToUnicode(static_cast<unsigned char>(c)));
    });
    return text;
}

QString plainTextOfRtf(QByteArrayView rtf, bool rawBytesAreUtf8, LineBreak lineBreak) {
    return RtfPlainReader(asStringView(rtf), rawBytesAreUtf8, lineBreak).read();
}

RichDocument documentOfRtf(QByteArrayView rtf, bool rawBytesAreUtf8) {
    RichDocument document;
    DocumentBuilder builder(document);
    RtfReader reader(asStringView(rtf), builder, {.rawBytesAreUtf8 = rawBytesAreUtf8});
    reader.read();
    document.defaultFamily = reader.defaultFamily();
    builder.finish();
    return document;
}

}  // namespace

bool looksLikeRtf(QByteArrayView stored) {
    return rtfStart(stored) >= 0;
}
bool looksLikeRtf(QStringView stored) {
    return rtfStart(stored) >= 0;
}

QString plainTextFromStored(QByteArrayView stored, LineBreak lineBreak) {
    const qsizetype start = rtfStart(stored);
    if (start < 0) {
        return decodePlainBytes(stored);
    }
    return plainTextOfRtf(stored.sliced(start), false, lineBreak);
}

QString plainTextFromStored(const QString& stored, LineBreak lineBreak) {
    const qsizetype start = rtfStart(QStringView(stored));
    if (start < 0) {
        return stored;
    }
    return withRtfBytes(QStringView(stored).sliced(start), [&](const QByteArray& rtf, bool utf8) {
        return plainTextOfRtf(rtf, utf8, lineBreak);
    });
}

QString plainTextFromStoredUtf8(std::string_view stored, LineBreak lineBreak) {
    const QByteArrayView bytes(stored.data(), static_cast<qsizetype>(stored.size()));
    const qsizetype start = rtfStart(bytes);
    if (start < 0) {
        return QString::fromUtf8(bytes);
    }
    const QByteArrayView rtf = bytes.sliced(start);
    // As plainTextFromStored(QString): ASCII RTF is read as bytes, other characters as UTF-8.
    return plainTextOfRtf(rtf, !QtPrivate::isAscii(QLatin1StringView(rtf)), lineBreak);
}

RichDocument documentFromStored(QByteArrayView stored) {
    const qsizetype start = rtfStart(stored);
    if (start < 0) {
        return documentFromPlainText(decodePlainBytes(stored));
    }
    return documentOfRtf(stored.sliced(start), false);
}

RichDocument documentFromStored(const QString& stored) {
    const qsizetype start = rtfStart(QStringView(stored));
    if (start < 0) {
        return documentFromPlainText(stored);
    }
    return withRtfBytes(QStringView(stored).sliced(start),
                        [](const QByteArray& rtf, bool utf8) { return documentOfRtf(rtf, utf8); });
}

QString withParagraphsAppended(const QString& stored, const QString& plain) {
    if (!looksLikeRtf(QStringView(stored))) {
        return stored.isEmpty() ? plain : stored + QStringLiteral("\n\n") + plain;
    }
    RichDocument document = documentFromStored(stored);
    if (document.dropped > 0) {
        // What the document model cannot hold stays in the text: the paragraphs go in
        // before its closing brace, unformatted.
        const qsizetype end = stored.lastIndexOf(u'}');
        QStringList lines;
        for (const QString& line : plain.split(u'\n')) {
            lines << QString::fromLatin1(rtfEscaped(line));
        }
        const QString added =
            QStringLiteral("\\par\\pard\\plain\\par ") + lines.join(QStringLiteral("\\par "));
        return QString(stored).insert(end < 0 ? stored.size() : end, added);
    }
    RichDocument added = documentFromPlainText(plain);
    document.paragraphs.emplace_back();
    for (Paragraph& paragraph : added.paragraphs) {
        document.paragraphs.push_back(std::move(paragraph));
    }
    return QString::fromLatin1(writeRtf(document));
}

}  // namespace veltro::richtext
