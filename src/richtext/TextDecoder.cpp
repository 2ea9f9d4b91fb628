#include "richtext/TextDecoder.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace veltro::richtext {
namespace {

constexpr std::array<char16_t, 32> kCp1252Controls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isMultiByte(int codePage) {
    switch (codePage) {
        case 932:
        case 936:
        case 949:
        case 950:
        case 65001:
            return true;
        default:
            return false;
    }
}

QByteArray codecName(int codePage) {
    switch (codePage) {
        case 437:
            return "IBM437";
        case 850:
            return "IBM850";
        case 932:
            return "windows-31j";
        case 936:
            return "GBK";
        case 949:
            return "windows-949";
        case 950:
            return "Big5";
        case 10000:
            return "macintosh";
        default:
            return "windows-" + QByteArray::number(codePage);
    }
}

std::array<char16_t, 128> buildHighHalf(int codePage) {
    std::array<char16_t, 128> table{};
    for (int i = 0; i < 128; ++i) {
        table[i] = windows1252ToUnicode(static_cast<unsigned char>(0x80 + i));
    }
    if (codePage == kSymbolCodePage) {
        table[0xB7 - 0x80] = 0x2022;  // the bullet glyph of the Symbol font
        return table;
    }
    if (codePage == 1252) {
        return table;
    }
    const QByteArray name = codecName(codePage);
    if (!QStringDecoder(name.constData()).isValid()) {
        return table;
    }
    for (int i = 0; i < 128; ++i) {
        QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
        const char byte = static_cast<char>(0x80 + i);
        const QString ch = decoder(QByteArrayView(&byte, 1));
        const bool mapped = ch.size() == 1 && ch.at(0).unicode() >= 0x20;  // ICU substitutes 0x1A
        table[i] = mapped ? ch.at(0).unicode() : char16_t{0xFFFD};
    }
    return table;
}

}  // namespace

char16_t windows1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kCp1252Controls[byte - 0x80];
    }
    return byte;
}

unsigned char unicodeToWindows1252(char16_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
        return static_cast<unsigned char>(ch);
    }
    for (std::size_t i = 0; i < kCp1252Controls.size(); ++i) {
        if (kCp1252Controls[i] == ch && ch > 0xFF) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return 0;
}

std::optional<int> codePageForCharset(int charset) {
    switch (charset) {
        case 0:
            return 1252;
        case 2:
            return kSymbolCodePage;
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        default:
            return std::nullopt;
    }
}

const TextDecoder::HighHalf& TextDecoder::highHalfFor(int codePage) {
    // Each thread remembers the table it asked for last: nearly every text uses one code
    // page, and a reader is made for every stored text. Tables are never removed.
    thread_local int lastCodePage = 0;
    thread_local const HighHalf* last = nullptr;
    if (last != nullptr && codePage == lastCodePage) {
        return *last;
    }
    // Shared by all readers: building a table asks the codec 128 times.
    static std::mutex mutex;
    static std::map<int, HighHalf> tables;
    const std::scoped_lock lock(mutex);
    auto it = tables.find(codePage);
    if (it == tables.end()) {
        it = tables.emplace(codePage, buildHighHalf(codePage)).first;
    }
    lastCodePage = codePage;
    last = &it->second;
    return *last;
}

TextDecoder::TextDecoder(int codePage) {
    setCodePage(codePage);
}

void TextDecoder::switchCodePage(int codePage) {
    codePage_ = codePage;
    pending_.clear();
    multiByte_.reset();
    highHalf_ = nullptr;
    if (!isMultiByte(codePage)) {
        highHalf_ = &highHalfFor(codePage);
        return;
    }
    if (codePage == 65001) {
        multiByte_.emplace(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    } else {
        multiByte_.emplace(codecName(codePage).constData(), QStringDecoder::Flag::Stateless);
    }
    if (!multiByte_->isValid()) {
        multiByte_.reset();
        highHalf_ = &highHalfFor(1252);
    }
}

void TextDecoder::flush(QString& out) {
    if (pending_.isEmpty()) {
        return;
    }
    QString decoded = (*multiByte_)(pending_);
    pending_.clear();
    // ICU marks bytes it cannot map with U+001A; such bytes are not text.
    std::replace_if(
        decoded.begin(), decoded.end(), [](QChar c) { return c.unicode() < 0x20 && c != u'\t'; },
        QChar(QChar::ReplacementCharacter));
    out += decoded;
}

}  // namespace veltro::richtext
