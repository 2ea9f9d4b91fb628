#pragma once

#include "fulltext/IndexImage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veltro::fulltext {

// Which index pieces to take: one bit per piece id, and the ids themselves while they
// are few (a search for a rare text can then look for them directly).
class PieceMarks {
public:
    static constexpr std::size_t kFew = 8;

    explicit PieceMarks(std::uint32_t pieces) : bits_((pieces + 63) / 64, 0) {}
    void set(std::uint32_t id) {
        if (has(id)) {
            return;
        }
        bits_[id >> 6] |= std::uint64_t{1} << (id & 63);
        if (++count_ <= kFew) {
            few_[count_ - 1] = id;
        }
    }
    [[nodiscard]] bool has(std::uint32_t id) const {
        return (id >> 6) < bits_.size() && ((bits_[id >> 6] >> (id & 63)) & 1) != 0;
    }
    [[nodiscard]] std::size_t count() const { return count_; }
    // Every marked id, when there are no more than kFew.
    [[nodiscard]] std::span<const std::uint32_t> few() const {
        return std::span<const std::uint32_t>(few_.data(), std::min(count_, kFew));
    }

private:
    std::vector<std::uint64_t> bits_;
    std::array<std::uint32_t, kFew> few_{};
    std::size_t count_ = 0;
};

// The distinct pieces of text the full-text index is made of, each kept once. A piece is
// a run of letters and digits with the spaces and marks after it. The pieces stand in one
// buffer, each ended by a zero byte, so one pass finds every piece that holds a text.
// Id 0 is reserved: it ends a field.
class TokenDictionary {
public:
    TokenDictionary();

    // The id of the piece, which is added when new.
    std::uint32_t idOf(std::string_view piece) { return idOf(piece, hashOf(piece)); }
    // The same with the piece's hashOf() worked out beforehand.
    std::uint32_t idOf(std::string_view piece, std::uint64_t hash);
    [[nodiscard]] static std::uint64_t hashOf(std::string_view piece);
    [[nodiscard]] std::string_view text(std::uint32_t id) const;
    [[nodiscard]] std::uint32_t size() const {
        return static_cast<std::uint32_t>(starts_.size() - 1);
    }
    // Every piece that holds `needle` (not empty).
    [[nodiscard]] PieceMarks containing(std::string_view needle) const;

    void write(ImageSink& sink) const;
    // False when what was read does not make a dictionary.
    bool read(ImageSource& source);

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
