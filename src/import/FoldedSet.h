#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltro::import {

// A set of byte strings kept back to back in one buffer, with an open-addressed table of
// their places: for the headings of a large store, a fraction of the allocations and the
// memory of a set of strings, and freed at once.
class FoldedSet {
public:
    void reserve(std::size_t count);
    // False when the text was in the set already.
    bool insert(std::string_view text);
    [[nodiscard]] bool contains(std::string_view text) const;

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t place = kEmpty;  // where the text's length and bytes start in texts_
    };
    static constexpr std::uint32_t kEmpty = UINT32_MAX;

    [[nodiscard]] std::size_t find(std::string_view text, std::uint32_t hash) const;
    [[nodiscard]] std::string_view textAt(std::uint32_t place) const;
    void grow(std::size_t slots);

    std::string texts_;
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

}  // namespace veltro::import
