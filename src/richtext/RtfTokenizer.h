#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string_view>

namespace veltro::richtext {

struct RtfToken {
    enum class Kind {
        GroupOpen,
        GroupClose,
        ControlWord,
        ControlSymbol,
        HexByte,
        Text,
        Binary,
        End
    };

    Kind kind = Kind::End;
    std::string_view text;  // the word's letters for ControlWord, the raw bytes for Text and Binary
    std::int32_t param = 0;
    bool hasParam = false;
    char symbol = 0;         // ControlSymbol
    unsigned char byte = 0;  // HexByte
};

namespace rtf_bytes {

inline bool isLetter(char c) {
    return static_cast<unsigned char>((c | 0x20) - 'a') < 26;
}
inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
inline int hexValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Bytes that end a text run: the three RTF specials and the control bytes that are not text.
inline constexpr std::array<bool, 256> kEndsText = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 0x20; ++c) {
        table[c] = true;
    }
    table['\\'] = table['{'] = table['}'] = true;
    return table;
}();

inline bool isBin(std::string_view word) {
    return word.size() == 3 && word[0] == 'b' && word[1] == 'i' && word[2] == 'n';
}

}  // namespace rtf_bytes

// Splits RTF bytes into tokens. Never fails: malformed escapes are dropped, every call consumes
// input, and End is returned from then on once the input is used up. The data of \binN comes
// as one Binary token. The scanning is inline: readers call next() for every token.
class RtfTokenizer {
public:
    explicit RtfTokenizer(std::string_view input) : in_(input) {}

    RtfToken next() {
        RtfToken token;  // the one token returned, built in place
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (c == '{' || c == '}') {
                ++pos_;
                token.kind = c == '{' ? RtfToken::Kind::GroupOpen : RtfToken::Kind::GroupClose;
                return token;
            }
            if (c == '\\') {
                if (controlSequence(token)) {
                    return token;
                }
                continue;
            }
            if (c == '\t') {
                ++pos_;
                token.kind = RtfToken::Kind::ControlWord;
                token.text = "tab";
                return token;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                ++pos_;  // CR, LF, NUL and other control bytes are not text
                continue;
            }
            text(token);
            return token;
        }
        return token;
    }
    // Consumes everything up to and including the '}' that closes the group the caller is in.
    void skipGroup();
    bool atEnd() const { return pos_ >= in_.size(); }
    std::size_t position() const { return pos_; }
    // Goes on from a position where an earlier token ended.
    void resumeAt(std::size_t position) { pos_ = position; }

private:
    // The scanning loops below work on local copies of the position: with the member, every
    // step would be stored and loaded again because the token written might alias it.
    void text(RtfToken& token) {
        const char* const data = in_.data();
        const std::size_t size = in_.size();
        const std::size_t start = pos_;
        std::size_t pos = start;
        while (pos < size && !rtf_bytes::kEndsText[static_cast<unsigned char>(data[pos])]) {
            ++pos;
        }
        pos_ = pos;
        token.kind = RtfToken::Kind::Text;
        token.text = in_.substr(start, pos - start);
    }

    // False when the sequence is dropped (a broken escape).
    bool controlSequence(RtfToken& token) {
        ++pos_;  // the backslash
        if (pos_ >= in_.size()) {
            return false;
        }
        const char c = in_[pos_];
        if (rtf_bytes::isLetter(c)) {
            controlWord(token);
            if (rtf_bytes::isBin(token.text)) {
                const std::int32_t length = token.hasParam ? token.param : 0;
                token = RtfToken{};
                token.kind = RtfToken::Kind::Binary;
                token.text = skipBinary(length);
            }
            return true;
        }
        ++pos_;
        if (c == '\r' || c == '\n') {
            token.kind = RtfToken::Kind::ControlWord;
            token.text = "par";
            return true;
        }
        if (c == '\'') {
            const int high = pos_ < in_.size() ? rtf_bytes::hexValue(in_[pos_]) : -1;
            const int low = pos_ + 1 < in_.size() ? rtf_bytes::hexValue(in_[pos_ + 1]) : -1;
            if (high < 0 || low < 0) {
                pos_ += high < 0 ? 0 : 1;  // a broken escape is dropped; what follows stays
                return false;
            }
            pos_ += 2;
            token.kind = RtfToken::Kind::HexByte;
            token.byte = static_cast<unsigned char>(high * 16 + low);
            return true;
        }
        token.kind = RtfToken::Kind::ControlSymbol;
        token.symbol = c;
        return true;
    }

    // Fills a fresh token.
    void controlWord(RtfToken& token) {
        const char* const data = in_.data();
        const std::size_t size = in_.size();
        const std::size_t start = pos_;
        std::size_t pos = start;
        while (pos < size && rtf_bytes::isLetter(data[pos])) {
            ++pos;
        }
        token.kind = RtfToken::Kind::ControlWord;
        token.text = std::string_view(data + start, pos - start);

        const bool negative =
            pos + 1 < size && data[pos] == '-' && rtf_bytes::isDigit(data[pos + 1]);
        if (negative) {
            ++pos;
        }
        if (pos < size && rtf_bytes::isDigit(data[pos])) {
            // Saturate instead of overflowing; all digits are consumed either way.
            constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
            std::int64_t value = 0;
            while (pos < size && rtf_bytes::isDigit(data[pos])) {
                value = std::min(kLimit + 1, value * 10 + (data[pos] - '0'));
                ++pos;
            }
            value = negative ? -value : std::min(value, kLimit);
            token.param = static_cast<std::int32_t>(value);
            token.hasParam = true;
        }
        if (pos < size && data[pos] == ' ') {
            ++pos;
        }
        pos_ = pos;
    }

    std::string_view skipBinary(std::int32_t length);

    std::string_view in_;
    std::size_t pos_ = 0;
};

}  // namespace veltro::richtext
