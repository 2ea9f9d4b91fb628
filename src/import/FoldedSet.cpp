#include "import/FoldedSet.h"

#include <bit>
#include <cstring>
#include <functional>
#include <stdexcept>

namespace veltro::import {

namespace {

std::uint32_t hashOf(std::string_view text) {
    const std::size_t full = std::hash<std::string_view>{}(text);
    return static_cast<std::uint32_t>(full ^ (full >> 32U));
}

}  // namespace

void FoldedSet::reserve(std::size_t count) {
    // At most half full, so that probes stay short.
    const std::size_t wanted = std::bit_ceil(std::max<std::size_t>(16, count * 2));
    if (wanted > slots_.size()) {
        grow(wanted);
    }
}

std::string_view FoldedSet::textAt(std::uint32_t place) const {
    std::uint32_t length = 0;
    std::memcpy(&length, texts_.data() + place, sizeof length);
    return {texts_.data() + place + sizeof length, length};
}

std::size_t FoldedSet::find(std::string_view text, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (slot.place == kEmpty || (slot.hash == hash && textAt(slot.place) == text)) {
            return at;
        }
    }
}

bool FoldedSet::contains(std::string_view text) const {
    return !slots_.empty() && slots_[find(text, hashOf(text))].place != kEmpty;
}

bool FoldedSet::insert(std::string_view text) {
    if ((used_ + 1) * 2 > slots_.size()) {
        grow(std::max<std::size_t>(16, slots_.size() * 2));
    }
    const std::uint32_t hash = hashOf(text);
    Slot& slot = slots_[find(text, hash)];
    if (slot.place != kEmpty) {
        return false;
    }
    const auto length = static_cast<std::uint32_t>(text.size());
    if (texts_.size() + sizeof length + text.size() >= kEmpty) {
        throw std::length_error("FoldedSet holds at most 4 GB");
    }
    slot = {hash, static_cast<std::uint32_t>(texts_.size())};
    texts_.append(reinterpret_cast<const char*>(&length), sizeof length).append(text);
    ++used_;
    return true;
}

void FoldedSet::grow(std::size_t slots) {
    std::vector<Slot> old(slots, Slot{});
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.place != kEmpty) {
            std::size_t at = slot.hash & mask;
            while (slots_[at].place != kEmpty) {
                at = (at + 1) & mask;
            }
            slots_[at] = slot;
        }
    }
}

}  // namespace veltro::import
