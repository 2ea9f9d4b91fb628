#include "vcard/VcardText.h"

#include "import/TextDecoding.h"

#include <QStringDecoder>

namespace veltro::vcard {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool isLatin1Name(QByteArrayView name) {
    for (const char* alias : {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "LATIN1", "LATIN-1",
                              "US-ASCII", "ASCII", "CP1252", "WINDOWS-1252"}) {
        if (name.compare(alias, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

QString fromWindows1252(QByteArrayView bytes) {
    QStringDecoder decoder("windows-1252");
    return decoder.isValid() ? decoder.decode(bytes) : QString::fromLatin1(bytes);
}

}  // namespace

QString unescapeText(QStringView value) {
    if (!value.contains(u'\\')) {
        return value.toString();
    }
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            text += c;
            continue;
        }
        const QChar next = value[i + 1];
        if (next == u'n' || next == u'N') {
            text += u'\n';
        } else if (next == u'\\' || next == u',' || next == u';' || next == u':') {
            text += next;
        } else {
            text += c;
            continue;
        }
        ++i;
    }
    return text;
}

QStringList splitComponents(QStringView value, QChar separator) {
    QStringList components;
    qsizetype start = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\') {
            ++i;  // the escaped character never separates
        } else if (value[i] == separator) {
            components << unescapeText(value.sliced(start, i - start));
            start = i + 1;
        }
    }
    components << unescapeText(value.sliced(std::min(start, value.size())));
    return components;
}

QString escapeText(QStringView text) {
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u',' || c == u';') {
            escaped += u'\\';
            escaped += c;
        } else if (c == u'\r') {
            escaped += QLatin1String("\\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
        } else if (c == u'\n') {
            escaped += QLatin1String("\\n");
        } else {
            escaped += c;
        }
    }
    return escaped;
}

QByteArray decodeQuotedPrintable(QByteArrayView encoded) {
    QByteArray bytes;
    bytes.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '=' && i + 2 < encoded.size()) {
            const int high = hexValue(encoded[i + 1]);
            const int low = hexValue(encoded[i + 2]);
            if (high >= 0 && low >= 0) {
                bytes += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        bytes += c;
    }
    return bytes;
}

QString decodeCharset(QByteArrayView bytes, QByteArrayView charset) {
    if (charset.isEmpty() || charset.compare("UTF-8", Qt::CaseInsensitive) == 0 ||
        charset.compare("UTF8", Qt::CaseInsensitive) == 0) {
        return import::decodeText(bytes).text;
    }
    if (isLatin1Name(charset)) {
        return fromWindows1252(bytes);
    }
    QStringDecoder decoder(charset.toByteArray().constData());
    if (!decoder.isValid()) {
        return import::decodeText(bytes).text;
    }
    return decoder.decode(bytes);
}

}  // namespace veltro::vcard
