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

// Stops at the first byte that cannot be UTF-8, which in an ANSI file comes early.
bool isValidUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        char32_t point = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            point = lead & 0x1FU;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            point = lead & 0x0FU;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            point = lead & 0x07U;
        } else {
            return false;
        }
        if (end - p < length) {
            return false;
        }
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0U) != 0x80U) {
                return false;
            }
            point = (point << 6U) | (p[i] & 0x3FU);
        }
        const bool overlong = (length == 3 && point < 0x800) || (length == 4 && point < 0x10000);
        if (overlong || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
            return false;
        }
        p += length;
    }
    return true;
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
    if (isValidUtf8(bytes)) {
        return {QString::fromUtf8(bytes), TextEncoding::Utf8};
    }
    return {fromWindows1252(bytes), TextEncoding::Windows1252};
}

}  // namespace veltro::import
