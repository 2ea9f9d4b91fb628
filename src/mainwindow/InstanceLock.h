#pragma once

#include <QLockFile>

#include <filesystem>
#include <memory>

namespace veltro::mainwindow {

// Refuses a second running copy on the same data directory. The lock lives outside
// the data directory and is released when the process ends, even by a crash.
class InstanceLock {
public:
    explicit InstanceLock(const std::filesystem::path& dataDirectory);
    [[nodiscard]] bool acquired() const { return acquired_; }

private:
    std::unique_ptr<QLockFile> lock_;
    bool acquired_ = false;
};

}  // namespace veltro::mainwindow
