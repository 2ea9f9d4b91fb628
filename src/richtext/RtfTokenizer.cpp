#include "richtext/RtfTokenizer.h"

namespace veltro::richtext {

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
            if (pos_ + 1 < in_.size() && rtf_bytes::isLetter(in_[pos_ + 1])) {
                ++pos_;
                RtfToken word;
                controlWord(word);
                if (rtf_bytes::isBin(word.text)) {
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
