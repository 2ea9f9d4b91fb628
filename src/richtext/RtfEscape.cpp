#include "richtext/RtfEscape.h"

#include "richtext/TextDecoder.h"

#include <algorithm>

namespace veltro::richtext {
namespace {

void appendUnicode(char16_t unit, QByteArray& out) {
    out += "\\u" + QByteArray::number(static_cast<std::int16_t>(unit)) + '?';
}

// Plain characters stand for themselves; the rest is escaped one by one.
bool isPlain(char16_t c) {
    return c >= 0x20 && c < 0x80 && c != u'\\' && c != u'{' && c != u'}';
}

void appendEscaped(char16_t c, QByteArray& out) {
    switch (c) {
        case u'\\':
        case u'{':
        case u'}':
            out += '\\';
            out += static_cast<char>(c);
            return;
        case u'\t':
            out += "\\tab ";
            return;
        case 0x2028:
        case 0x2029:
            out += "\\line ";
            return;
        case 0x00A0:
            out += "\\~";
            return;
        case 0x00AD:
            out += "\\-";
            return;
        case 0x2011:
            out += "\\_";
            return;
        case 0xFFFC:
            return;
        default:
            break;
    }
    if (c < 0x20) {
        return;
    }
    if (const unsigned char byte = unicodeToWindows1252(c); byte >= 0x80) {
        static constexpr char kHex[] = "0123456789abcdef";
        out += "\\'";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    } else {
        appendUnicode(c, out);
    }
}

}  // namespace

bool rtfWritesText(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar qc) {
        const char16_t c = qc.unicode();
        return (c >= 0x20 || c == u'\t') && c != 0xFFFC;
    });
}

QByteArray rtfEscaped(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    const char16_t* const data = text.utf16();
    qsizetype plainFrom = 0;
    // Stretches of plain characters are copied at once: a note may be megabytes long.
    const auto copyPlain = [&](qsizetype to) {
        const qsizetype old = out.size();
        out.resize(old + to - plainFrom);
        std::transform(data + plainFrom, data + to, out.data() + old,
                       [](char16_t c) { return static_cast<char>(c); });
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isPlain(data[i])) {
            copyPlain(i);
            appendEscaped(data[i], out);
            plainFrom = i + 1;
        }
    }
    copyPlain(text.size());
    return out;
}

}  // namespace veltro::richtext
