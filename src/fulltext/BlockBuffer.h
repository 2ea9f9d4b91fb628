#pragma once

#include "fulltext/IndexImage.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace veltro::fulltext {

// Grows in blocks that are never moved, so a large index never holds two copies of
// itself while it grows. A run of items appended at once stays in one block.
template <typename T>
class BlockBuffer {
public:
    struct Place {
        std::uint32_t block = 0;
        std::uint32_t offset = 0;
    };

    Place append(std::span<const T> items) {
        if (blocks_.empty() || blocks_.back().size() + items.size() > blocks_.back().capacity()) {
            blocks_.emplace_back();
            blocks_.back().reserve(std::max(kBlockItems, items.size()));
        }
        auto& block = blocks_.back();
        const Place place{static_cast<std::uint32_t>(blocks_.size() - 1),
                          static_cast<std::uint32_t>(block.size())};
        block.insert(block.end(), items.begin(), items.end());
        return place;
    }
    [[nodiscard]] std::span<const T> at(Place place, std::size_t count) const {
        return std::span<const T>(blocks_[place.block]).subspan(place.offset, count);
    }
    [[nodiscard]] std::size_t blockCount() const { return blocks_.size(); }
    [[nodiscard]] std::span<const T> block(std::size_t index) const { return blocks_[index]; }
    void clear() { blocks_.clear(); }

    void write(ImageSink& sink) const {
        const std::uint64_t count = blocks_.size();
        sink.put(&count, sizeof count);
        for (const auto& block : blocks_) {
            sink.put(block);
        }
    }
    bool read(ImageSource& source) {
        std::uint64_t count = 0;
        if (!source.get(&count, sizeof count) || count > source.left()) {
            return false;
        }
        blocks_.resize(count);
        for (auto& block : blocks_) {
            // Room for a whole block before it is filled, so that it is never moved.
            block.reserve(std::min<std::uint64_t>(kBlockItems, source.left() / sizeof(T)));
            if (!source.get(block, source.left() / sizeof(T))) {
                return false;
            }
        }
        return true;
    }

private:
    static constexpr std::size_t kBlockItems = std::size_t{1} << 17;
    std::vector<std::vector<T>> blocks_;
};

}  // namespace veltro::fulltext
