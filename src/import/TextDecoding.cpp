#include "import/TextDecoding.h"

#include <QStringDecoder>

#include <algorithm>

namespace veltro::import {

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

QString fromWindows1252(QByteArrayView bytes) {
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid()) {
        return QString::fromLatin1(bytes);  // Qt without ICU: the same for letters and umlauts
    }
    return decoder.decode(bytes);
}

}  // namespace

DecodedText decodeText(QByteArrayView bytes) {
    if (bytes.startsWith(kUtf8Bom)) {
        return {QString::fromUtf8(bytes.sliced(kUtf8Bom.size())), TextEncoding::Utf8};
    }
    if (isAscii(bytes)) {
        return {QString::fromLatin1(bytes), TextEncoding::Windows1252};
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return {std::move(text), TextEncoding::Utf8};
    }
    return {fromWindows1252(bytes), TextEncoding::Windows1252};
}

}  // namespace veltro::import
