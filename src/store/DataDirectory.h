#pragma once

#include <filesystem>

namespace veltro::store {

// Where the card store lives: $VELTRO_HOME when set, else the program's own directory.
[[nodiscard]] std::filesystem::path dataDirectory();

}  // namespace veltro::store
