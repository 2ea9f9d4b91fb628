#include "store/Compaction.h"

#include "store/AtomicFile.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"
#include "store/StorePath.h"

#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace veltro::store {

namespace {

namespace fs = std::filesystem;

// Below this share of free pages a rewrite costs more than it gains.
constexpr double kWorthwhileFreeShare = 0.10;
constexpr std::int64_t kWorthwhileFreePages = 64;

bool worthCompacting(Database& db) {
    auto pages = db.prepare("PRAGMA page_count");
    auto free = db.prepare("PRAGMA freelist_count");
    if (!pages.step() || !free.step()) {
        return false;
    }
    const auto total = pages.integer(0);
    const auto unused = free.integer(0);
    return unused >= kWorthwhileFreePages &&
           static_cast<double>(unused) >= kWorthwhileFreeShare * static_cast<double>(total);
}

// Creates the empty copy, private to its owner, with the store's owner and group where the
// system permits that. Returns the mode the copy takes once written; nothing when the copy
// cannot be made.
std::optional<mode_t> createCopyLike(const fs::path& store, const fs::path& copy) {
    struct stat original {};
    if (::stat(store.c_str(), &original) != 0) {
        return std::nullopt;
    }
    const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        return std::nullopt;
    }
    if (::fchown(fd, original.st_uid, original.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly =
            ::fchown(fd, static_cast<uid_t>(-1), original.st_gid);
    }
    ::close(fd);
    return original.st_mode & 07777;
}

void compact(const fs::path& store, const fs::path& copy, CompactWhen when) {
    {
        Database db = Database::open(store);
        if (when == CompactWhen::Worthwhile && !worthCompacting(db)) {
            return;
        }
        // The cards never stand in a copy that others may read, whatever the umask.
        const auto mode = createCopyLike(store, copy);
        if (!mode) {
            return;
        }
        auto vacuum = db.prepare("VACUUM INTO ?1");
        vacuum.bind(1, QString::fromStdString(copy.string()));
        vacuum.run();
        // Only now: a store without write permission for its owner still gets compacted.
        if (::chmod(copy.c_str(), *mode) != 0) {
            return;
        }
    }
    // Check the copy before it takes the store's place.
    {
        Database check = Database::open(copy);
        verifySchema(check);
    }
    [[maybe_unused]] const auto failed = putInPlace(copy, store);  // the caller removes a copy left
}

}  // namespace

void DatenbankKomprimieren(const std::filesystem::path& directory, CompactWhen when) {
    std::error_code ec;
    // A linked store is replaced where it lies, so the link stays a link.
    const fs::path store = realStoreFile(directory);
    const fs::path copy = store.parent_path() / kCompactFileName;

    if (!fs::exists(store, ec)) {
        if (fs::exists(copy, ec)) {
            // An earlier compaction stopped half-way.
            [[maybe_unused]] const auto failed = putInPlace(copy, store);
        }
        return;
    }
    if (fs::exists(copy, ec) && !fs::remove(copy, ec)) {
        return;
    }
    try {
        compact(store, copy, when);
    } catch (const StoreError&) {
        // Silent by design; the open that follows reports a broken store.
    }
    if (fs::exists(copy, ec) && fs::exists(store, ec)) {
        fs::remove(copy, ec);
    }
}

}  // namespace veltro::store
