#pragma once

#include <filesystem>

namespace veltro::backup {

// A backup is written under its name plus ".tmp" and renamed when whole. Its writer holds an
// flock() on that file while it writes; the kernel drops it when the writer ends, however it
// ends, so a partial file nobody locks was left by a writer that is gone.
class PartialBackup {
public:
    // Creates TARGET.tmp anew, private to its owner, and locks it; the errno when that
    // failed (EEXIST: the name is taken), else 0.
    [[nodiscard]] int claim(const std::filesystem::path& target);
    PartialBackup() = default;
    PartialBackup(const PartialBackup&) = delete;
    PartialBackup& operator=(const PartialBackup&) = delete;
    ~PartialBackup();

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    // The claimed file, open for writing.
    [[nodiscard]] int fd() const { return fd_; }

private:
    std::filesystem::path path_;
    int fd_ = -1;
};

// Removes the partial backups in FOLDER that a killed writer left: files of the partial
// name only (with the engine's journal beside them), older than `startedAt` and locked by
// no writer. Other files, links and partial files still being written stay.
void removeLeftPartials(const std::filesystem::path& folder,
                        std::filesystem::file_time_type startedAt);
// Whether FOLDER holds a partial backup no writer holds: a copy was cut off.
[[nodiscard]] bool hasLeftPartials(const std::filesystem::path& folder);

}  // namespace veltro::backup
