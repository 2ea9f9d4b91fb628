#pragma once

#include <filesystem>

namespace veltro::store {

// The store file DIR/Kartix.mdb with every link followed: those of its folders, and its own
// through any chain, even when the last target is missing. Every path to one store gives
// the same file. Where a path cannot be read, the path up to there stands.
[[nodiscard]] std::filesystem::path realStoreFile(const std::filesystem::path& directory);

}  // namespace veltro::store
