#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltro::fulltext {

// Which index pieces to take: one bit per piece id.
class PieceMarks {
public:
    explicit PieceMarks(std::uint32_t pieces) : bits_((pieces + 63) / 64, 0) {}
    void set(std::uint32_t id) { bits_[id >> 6] |= std::uint64_t{1} << (id & 63); }
    [[nodiscard]] bool has(std::uint32_t id) const {
        return (id >> 6) < bits_.size() && ((bits_[id >> 6] >> (id & 63)) & 1) != 0;
    }

private:
    std::vector<std::uint64_t> bits_;
};

// The distinct pieces of text the full-text index is made of, each kept once. A piece is
// a run of letters and digits with the spaces and marks after it. The pieces stand in one
// buffer, each ended by a zero byte, so one pass finds every piece that holds a text.
// Id 0 is reserved: it ends a field.
class TokenDictionary {
public:
    TokenDictionary();

    // The id of the piece, which is added when new.
    std::uint32_t idOf(std::string_view piece);
    [[nodiscard]] std::string_view text(std::uint32_t id) const;
    [[nodiscard]] std::uint32_t size() const {
        return static_cast<std::uint32_t>(starts_.size() - 1);
    }
    // Every piece that holds `needle` (not empty).
    [[nodiscard]] PieceMarks containing(std::string_view needle) const;

private:
    void grow();
    [[nodiscard]] std::size_t slotOf(std::string_view piece, std::uint64_t hash) const;

    std::string text_;
    std::vector<std::uint32_t> starts_;  // one more than pieces
    std::vector<std::uint64_t> slots_;   // open addressing, see tagOf(); 0 for free
};

// Letters, digits and every byte of a multi-byte character count as word; the rest
// (spaces, punctuation, control characters) separates.
[[nodiscard]] inline bool isWordByte(unsigned char byte) {
    return byte >= 0x80 || (byte >= '0' && byte <= '9') ||
           ((byte | 0x20) >= 'a' && (byte | 0x20) <= 'z');
}

}  // namespace veltro::fulltext
