#include "fulltext/TokenDictionary.h"

#include "store/ByteSearch.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace veltro::fulltext {

namespace {

// Pieces are short: a plain multiplicative hash over eight bytes at a time is enough and
// much cheaper than the library's.
std::uint64_t hashPiece(std::string_view piece) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ piece.size();
    std::size_t i = 0;
    for (; i + 8 <= piece.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, piece.data() + i, 8);
        h = (h ^ word) * 0xFF51AFD7ED558CCDULL;
        h ^= h >> 29;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, piece.data() + i, piece.size() - i);
    h = (h ^ tail) * 0xC4CEB9FE1A85EC53ULL;
    return h ^ (h >> 32);
}

// A slot holds the piece id + 1 in its low half and the upper bits of the piece's hash in
// its high half, so most other pieces are told apart without reading their text.
constexpr std::uint64_t tagOf(std::uint64_t hash) {
    return hash & 0xFFFFFFFF00000000ULL;
}

}  // namespace

TokenDictionary::TokenDictionary() : starts_{0}, slots_(1024, 0) {
    text_.push_back('\0');  // piece 0: the end of a field, never found
    starts_.push_back(static_cast<std::uint32_t>(text_.size()));
}

std::string_view TokenDictionary::text(std::uint32_t id) const {
    return {text_.data() + starts_[id], starts_[id + 1] - starts_[id] - 1};
}

std::size_t TokenDictionary::slotOf(std::string_view piece, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash & mask;
    for (;; slot = (slot + 1) & mask) {
        const std::uint64_t entry = slots_[slot];
        if (entry == 0 ||
            (tagOf(entry) == tagOf(hash) && text(static_cast<std::uint32_t>(entry) - 1) == piece)) {
            return slot;
        }
    }
}

std::uint64_t TokenDictionary::hashOf(std::string_view piece) {
    return hashPiece(piece);
}

std::uint32_t TokenDictionary::idOf(std::string_view piece, std::uint64_t hash) {
    const std::size_t slot = slotOf(piece, hash);
    if (slots_[slot] != 0) {
        return static_cast<std::uint32_t>(slots_[slot]) - 1;
    }
    const std::uint32_t id = size();
    text_.append(piece);
    text_.push_back('\0');
    starts_.push_back(static_cast<std::uint32_t>(text_.size()));
    slots_[slot] = tagOf(hash) | (id + 1);
    if (2 * static_cast<std::size_t>(size()) > slots_.size()) {
        grow();
    }
    return id;
}

void TokenDictionary::grow() {
    // Built anew from the pieces: the old table goes first, so both never take room at once.
    const std::size_t doubled = slots_.size() * 2;
    std::vector<std::uint64_t>().swap(slots_);
    slots_.assign(doubled, 0);
    for (std::uint32_t id = 1; id < size(); ++id) {
        const std::string_view piece = text(id);
        const std::uint64_t hash = hashPiece(piece);
        slots_[slotOf(piece, hash)] = tagOf(hash) | (id + 1);
    }
}

void TokenDictionary::write(ImageSink& sink) const {
    const std::uint64_t bytes = text_.size();
    sink.put(&bytes, sizeof bytes);
    sink.put(text_.data(), text_.size());
    sink.put(starts_);
    sink.put(slots_);
}

bool TokenDictionary::read(ImageSource& source) {
    std::uint64_t bytes = 0;
    if (!source.get(&bytes, sizeof bytes) || bytes > source.left()) {
        return false;
    }
    text_.resize(bytes);
    if (!source.get(text_.data(), text_.size()) || !source.get(starts_, source.left() / 4) ||
        !source.get(slots_, source.left() / 8)) {
        return false;
    }
    // Each piece ends with its zero byte, so each is at least one byte long.
    if (starts_.size() < 2 || starts_.front() != 0 || starts_.back() != text_.size() ||
        std::adjacent_find(starts_.begin(), starts_.end(), std::greater_equal<>()) !=
            starts_.end() ||
        slots_.size() < 2 * std::size_t{size()} || (slots_.size() & (slots_.size() - 1)) != 0) {
        return false;
    }
    return std::all_of(slots_.begin(), slots_.end(), [this](std::uint64_t entry) {
        return static_cast<std::uint32_t>(entry) <= size();
    });
}

PieceMarks TokenDictionary::containing(std::string_view needle) const {
    PieceMarks marks(size());
    const std::string_view all(text_);
    std::size_t piece = 0;
    for (std::size_t at = store::findBytes(all, 0, needle); at != std::string_view::npos;
         at = store::findBytes(all, starts_[piece + 1], needle)) {
        piece = static_cast<std::size_t>(
                    std::upper_bound(starts_.begin() + static_cast<std::ptrdiff_t>(piece),
                                     starts_.end(), static_cast<std::uint32_t>(at)) -
                    starts_.begin()) -
                1;
        marks.set(static_cast<std::uint32_t>(piece));
    }
    return marks;
}

}  // namespace veltro::fulltext
