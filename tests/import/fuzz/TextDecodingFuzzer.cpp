// libFuzzer target: any bytes through the encoding detection. A binary verdict leaves no
// text; text never holds a NUL and never more lines with invalid bytes than lines. Text read
// as UTF-8 without invalid bytes is the bytes themselves. Whatever text comes out reads back
// unchanged when written as UTF-16 or UTF-8 with a byte-order mark.
#include "import/TextDecoding.h"

#include <QStringEncoder>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace veltro::import;

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

qsizetype lineCount(const QString& text) {
    return 1 + text.count(u'\n') + text.count(u'\r');
}

bool hasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return true;
        }
    }
    return false;
}

void checkReadsBack(const QString& text, const QByteArray& bytes, TextEncoding encoding) {
    const DecodedText again = decodeText(bytes);
    check(!again.binary);
    check(again.encoding == encoding);
    check(again.invalidLines == 0);
    check(again.text == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const DecodedText decoded = decodeText(bytes);
    if (decoded.binary) {
        check(decoded.text.isEmpty() && decoded.invalidLines == 0);
        return 0;
    }
    check(!decoded.text.contains(QChar(0)));
    check(decoded.invalidLines >= 0 && decoded.invalidLines <= lineCount(decoded.text));
    if (decoded.encoding == TextEncoding::Utf8 && decoded.invalidLines == 0) {
        const QByteArrayView body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
        check(decoded.text.toUtf8() == body);
    }
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    checkReadsBack(decoded.text, utf16.encode(decoded.text), TextEncoding::Utf16LE);
    if (!hasLoneSurrogate(decoded.text)) {
        checkReadsBack(decoded.text, "\xEF\xBB\xBF" + decoded.text.toUtf8(), TextEncoding::Utf8);
    }
    return 0;
}
