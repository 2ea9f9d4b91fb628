#pragma once

#include <cstdint>
#include <optional>
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

// Splits RTF bytes into tokens. Never fails: malformed escapes are dropped, every call consumes
// input, and End is returned from then on once the input is used up. The data of \binN comes
// as one Binary token.
class RtfTokenizer {
public:
    explicit RtfTokenizer(std::string_view input) : in_(input) {}

    RtfToken next();
    // Consumes everything up to and including the '}' that closes the group the caller is in.
    void skipGroup();
    bool atEnd() const { return pos_ >= in_.size(); }

private:
    // False when the sequence is dropped (a broken escape).
    bool controlSequence(RtfToken& token);
    // Fills a fresh token.
    void controlWord(RtfToken& token);
    RtfToken text();
    std::string_view skipBinary(std::int32_t length);

    std::string_view in_;
    std::size_t pos_ = 0;
};

}  // namespace veltro::richtext
