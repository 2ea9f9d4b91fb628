#include "store/Compaction.h"

#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"

namespace veltro::store {

namespace {

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

}  // namespace

void DatenbankKomprimieren(const std::filesystem::path& directory, CompactWhen when) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path store = fs::absolute(directory, ec) / kStoreFileName;
    const fs::path copy = store.parent_path() / kCompactFileName;

    if (!fs::exists(store, ec)) {
        if (fs::exists(copy, ec)) {
            fs::rename(copy, store, ec);  // an earlier compaction stopped half-way
        }
        return;
    }
    if (fs::exists(copy, ec) && !fs::remove(copy, ec)) {
        return;
    }
    try {
        {
            Database db = Database::open(store);
            if (when == CompactWhen::Worthwhile && !worthCompacting(db)) {
                return;
            }
            auto vacuum = db.prepare("VACUUM INTO ?1");
            vacuum.bind(1, QString::fromStdString(copy.string()));
            vacuum.run();
        }
        // Check the copy before it takes the store's place.
        {
            Database check = Database::open(copy);
            verifySchema(check);
        }
        fs::rename(copy, store, ec);
    } catch (const StoreError&) {
        // Silent by design; the open that follows reports a broken store.
    }
    if (fs::exists(copy, ec) && fs::exists(store, ec)) {
        fs::remove(copy, ec);
    }
}

}  // namespace veltro::store
