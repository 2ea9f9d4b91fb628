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

    void setCodePage(int codePage);  // flush() first when bytes may be pending
    int codePage() const { return codePage_; }
    void decode(std::string_view bytes, QString& out);
    void flush(QString& out);
    bool hasPending() const { return !pending_.isEmpty(); }

private:
    using HighHalf = std::array<char16_t, 128>;
    static const HighHalf& highHalfFor(int codePage);

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
