#pragma once

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <vector>

namespace veltro::fulltext {

// A set of card ids. Row ids are small and dense in practice, so a bitmap answers
// most of them without hashing; the rare far-off id goes to a hash set.
class IdSet {
public:
    void insert(std::int64_t id) {
        if (id < 0 || id >= kDenseLimit) {
            sparse_.insert(id);
            return;
        }
        const auto at = static_cast<std::size_t>(id);
        if (at >= dense_.size()) {
            dense_.resize(std::max(at + 1, dense_.size() * 2));
        }
        dense_[at] = true;
    }
    void erase(std::int64_t id) {
        if (id < 0 || id >= kDenseLimit) {
            sparse_.erase(id);
        } else if (static_cast<std::size_t>(id) < dense_.size()) {
            dense_[static_cast<std::size_t>(id)] = false;
        }
    }
    [[nodiscard]] bool contains(std::int64_t id) const {
        if (id < 0 || id >= kDenseLimit) {
            return sparse_.contains(id);
        }
        const auto at = static_cast<std::size_t>(id);
        return at < dense_.size() && dense_[at];
    }

private:
    static constexpr std::int64_t kDenseLimit = std::int64_t{1} << 26;
    std::vector<bool> dense_;
    std::unordered_set<std::int64_t> sparse_;
};

}  // namespace veltro::fulltext
