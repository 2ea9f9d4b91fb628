#include "richtext/RtfTokenizer.h"

#include <algorithm>
#include <limits>

namespace veltro::richtext {
namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
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
bool endsText(char c) {
    return c == '\\' || c == '{' || c == '}' || static_cast<unsigned char>(c) < 0x20;
}

RtfToken tabWord() {
    RtfToken token;
    token.kind = RtfToken::Kind::ControlWord;
    token.text = "tab";
    return token;
}

}  // namespace

RtfToken RtfTokenizer::next() {
    while (pos_ < in_.size()) {
        const char c = in_[pos_];
        if (c == '{' || c == '}') {
            ++pos_;
            RtfToken token;
            token.kind = c == '{' ? RtfToken::Kind::GroupOpen : RtfToken::Kind::GroupClose;
            return token;
        }
        if (c == '\\') {
            if (auto token = controlSequence()) {
                return *token;
            }
            continue;
        }
        if (c == '\t') {
            ++pos_;
            return tabWord();
        }
        if (static_cast<unsigned char>(c) < 0x20) {
            ++pos_;  // CR, LF, NUL and other control bytes are not text
            continue;
        }
        return text();
    }
    return {};
}

RtfToken RtfTokenizer::text() {
    const std::size_t start = pos_;
    while (pos_ < in_.size() && !endsText(in_[pos_])) {
        ++pos_;
    }
    RtfToken token;
    token.kind = RtfToken::Kind::Text;
    token.text = in_.substr(start, pos_ - start);
    return token;
}

std::optional<RtfToken> RtfTokenizer::controlSequence() {
    ++pos_;  // the backslash
    if (pos_ >= in_.size()) {
        return std::nullopt;
    }
    const char c = in_[pos_];
    if (isLetter(c)) {
        RtfToken word = controlWord();
        if (word.text == "bin") {
            RtfToken data;
            data.kind = RtfToken::Kind::Binary;
            data.text = skipBinary(word.hasParam ? word.param : 0);
            return data;
        }
        return word;
    }
    ++pos_;
    RtfToken token;
    if (c == '\r' || c == '\n') {
        token.kind = RtfToken::Kind::ControlWord;
        token.text = "par";
        return token;
    }
    if (c == '\'') {
        const int high = pos_ < in_.size() ? hexValue(in_[pos_]) : -1;
        const int low = pos_ + 1 < in_.size() ? hexValue(in_[pos_ + 1]) : -1;
        if (high < 0 || low < 0) {
            pos_ += high < 0 ? 0 : 1;  // a broken escape is dropped; what follows stays
            return std::nullopt;
        }
        pos_ += 2;
        token.kind = RtfToken::Kind::HexByte;
        token.byte = static_cast<unsigned char>(high * 16 + low);
        return token;
    }
    token.kind = RtfToken::Kind::ControlSymbol;
    token.symbol = c;
    return token;
}

RtfToken RtfTokenizer::controlWord() {
    const std::size_t start = pos_;
    while (pos_ < in_.size() && isLetter(in_[pos_])) {
        ++pos_;
    }
    RtfToken token;
    token.kind = RtfToken::Kind::ControlWord;
    token.text = in_.substr(start, pos_ - start);

    const bool negative = pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1]);
    if (negative) {
        ++pos_;
    }
    if (pos_ < in_.size() && isDigit(in_[pos_])) {
        // Saturate instead of overflowing; all digits are consumed either way.
        constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
        std::int64_t value = 0;
        while (pos_ < in_.size() && isDigit(in_[pos_])) {
            value = std::min(kLimit + 1, value * 10 + (in_[pos_] - '0'));
            ++pos_;
        }
        value = negative ? -value : std::min(value, kLimit);
        token.param = static_cast<std::int32_t>(value);
        token.hasParam = true;
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') {
        ++pos_;
    }
    return token;
}

std::string_view RtfTokenizer::skipBinary(std::int32_t length) {
    const std::size_t start = pos_;
    if (length > 0) {
        pos_ += std::min<std::size_t>(static_cast<std::size_t>(length), in_.size() - pos_);
    }
    return in_.substr(start, pos_ - start);
}

void RtfTokenizer::skipGroup() {
    int depth = 1;
    while (pos_ < in_.size()) {
        const char c = in_[pos_];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                ++pos_;
                return;
            }
        } else if (c == '\\') {
            if (pos_ + 1 < in_.size() && isLetter(in_[pos_ + 1])) {
                ++pos_;
                const RtfToken word = controlWord();
                if (word.text == "bin") {
                    skipBinary(word.hasParam ? word.param : 0);
                }
                continue;
            }
            ++pos_;  // the escaped character, if any, is skipped below
        }
        ++pos_;
    }
}

}  // namespace veltro::richtext
