#include "backup/PartialBackups.h"

#include <QRegularExpression>
#include <QString>

#include <cerrno>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace veltro::backup {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPartialSuffix = ".tmp";

// A partial backup's name, or one of the files the engine keeps beside it while it writes.
bool isPartialName(const fs::path& file, bool& companion) {
    static const QRegularExpression pattern(QStringLiteral(
        "^Kartix-\\d{4}-\\d\\d-\\d\\d-\\d{4}(-\\d+)?\\.mdb\\.tmp(-journal|-wal|-shm)?$"));
    const auto match = pattern.match(QString::fromStdString(file.filename().string()));
    companion = match.hasMatch() && !match.captured(2).isEmpty();
    return match.hasMatch();
}

bool tryLock(int fd) {
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

// Removes the partial file when no writer holds it; the lock is kept over the removal.
void removeIfLeft(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    if (tryLock(fd)) {
        std::error_code ec;
        fs::remove(file, ec);
    }
    ::close(fd);
}

}  // namespace

int PartialBackup::claim(const fs::path& target) {
    path_ = fs::path(target).concat(kPartialSuffix);
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        return errno;
    }
    // Nobody else holds the lock of a file just made; where the file system has no locks,
    // the copy is still made, and no later backup takes its file for a left one.
    tryLock(fd_);
    return 0;
}

PartialBackup::~PartialBackup() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void removeLeftPartials(const fs::path& folder, fs::file_time_type startedAt) {
    std::vector<fs::path> partials;
    std::vector<fs::path> companions;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code entryError;
        bool companion = false;
        // A link is never ours, whatever its name.
        if (!isPartialName(it->path(), companion) || !it->is_regular_file(entryError) ||
            it->is_symlink(entryError) || it->last_write_time(entryError) >= startedAt ||
            entryError) {
            continue;
        }
        (companion ? companions : partials).push_back(it->path());
    }
    for (const fs::path& partial : partials) {
        removeIfLeft(partial);
    }
    // The engine's journal of a partial file goes with it; one of a file still written stays.
    for (const fs::path& file : companions) {
        const std::string name = file.string();
        const fs::path partial = name.substr(0, name.rfind(kPartialSuffix) + kPartialSuffix.size());
        if (!fs::exists(partial, ec) && !ec) {
            fs::remove(file, ec);
        }
    }
}

bool hasLeftPartials(const fs::path& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        bool companion = false;
        if (!isPartialName(it->path(), companion) || companion || it->is_symlink(ec)) {
            continue;
        }
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        const bool left = fd >= 0 && tryLock(fd);
        if (fd >= 0) {
            ::close(fd);
        }
        if (left) {
            return true;
        }
    }
    return false;
}

}  // namespace veltro::backup
