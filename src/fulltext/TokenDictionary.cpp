#include "fulltext/TokenDictionary.h"

#include "store/ByteSearch.h"

#include <algorithm>
#include <functional>

namespace veltro::fulltext {

namespace {

std::uint64_t hashOf(std::string_view piece) {
    return std::hash<std::string_view>{}(piece);
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
    while (slots_[slot] != 0 && text(slots_[slot] - 1) != piece) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

std::uint32_t TokenDictionary::idOf(std::string_view piece) {
    const std::size_t slot = slotOf(piece, hashOf(piece));
    if (slots_[slot] != 0) {
        return slots_[slot] - 1;
    }
    const std::uint32_t id = size();
    text_.append(piece);
    text_.push_back('\0');
    starts_.push_back(static_cast<std::uint32_t>(text_.size()));
    slots_[slot] = id + 1;
    if (2 * static_cast<std::size_t>(size()) > slots_.size()) {
        grow();
    }
    return id;
}

void TokenDictionary::grow() {
    slots_.assign(slots_.size() * 2, 0);
    for (std::uint32_t id = 1; id < size(); ++id) {
        const std::string_view piece = text(id);
        slots_[slotOf(piece, hashOf(piece))] = id + 1;
    }
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
