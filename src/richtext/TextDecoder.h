#pragma once

#include <QString>
#include <QStringDecoder>

#include <array>
#include <optional>
#include <string_view>

namespace veltro::richtext {

// Code page that RTF calls "Symbol" (\fcharset2); not a real Windows code page number.
inline constexpr int kSymbolCodePage = 2;

// Windows code page of an RTF \fcharset value; std::nullopt means "the document's code page".
std::optional<int> codePageForCharset(int charset);

// Turns 8-bit text of one Windows code page into UTF-16. Single-byte pages go through a table;
// multi-byte pages hold bytes back until flush(), because a lead and a trail byte may arrive
// as separate \'hh escapes.
class TextDecoder {
public:
    explicit TextDecoder(int codePage = 1252);

    void setCodePage(int codePage) {  // flush() first when bytes may be pending
        if (codePage != codePage_ || (!highHalf_ && !multiByte_)) {
            switchCodePage(codePage);
        }
    }
    int codePage() const { return codePage_; }
    // Inline: readers call it for every run of text and every escaped byte.
    void decode(std::string_view bytes, QString& out) {
        if (multiByte_) {
            pending_.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
            return;
        }
        if (bytes.size() == 1) {
            out.append(QChar(charOf(static_cast<unsigned char>(bytes.front()))));
            return;
        }
        const qsizetype start = out.size();
        out.resize(start + static_cast<qsizetype>(bytes.size()));
        QChar* dst = out.data() + start;
        for (const char c : bytes) {
            *dst++ = QChar(charOf(static_cast<unsigned char>(c)));
        }
    }
    void flush(QString& out);
    bool hasPending() const { return !pending_.isEmpty(); }

private:
    using HighHalf = std::array<char16_t, 128>;
    static const HighHalf& highHalfFor(int codePage);
    void switchCodePage(int codePage);
    char16_t charOf(unsigned char byte) const {
        return byte < 0x80 ? char16_t{byte} : (*highHalf_)[byte - 0x80];
    }

    int codePage_ = 1252;
    const HighHalf* highHalf_ = nullptr;  // null for multi-byte pages
    std::optional<QStringDecoder> multiByte_;
    QByteArray pending_;
};

// Windows-1252 for one byte; bytes the page leaves undefined keep their Latin-1 value.
char16_t windows1252ToUnicode(unsigned char byte);

// The Windows-1252 byte of a character, or 0 when the page has none.
unsigned char unicodeToWindows1252(char16_t ch);

}  // namespace veltro::richtext
