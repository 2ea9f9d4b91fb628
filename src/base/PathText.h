#pragma once

#include <QString>

#include <filesystem>

namespace veltro {

// A path as the user reads it in a message.
[[nodiscard]] inline QString pathText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace veltro
