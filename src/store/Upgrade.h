#pragma once

#include "store/Sqlite.h"

#include <filesystem>
#include <functional>

namespace veltro::store {

// Where the copy of a store made before its upgrade from `version` goes: beside it, as
// Kartix.mdb.bak-v<version>.
[[nodiscard]] std::filesystem::path upgradeBackupFile(const std::filesystem::path& store,
                                                      int version);

// Makes a store fit for writing by this program. A store newer than the program is
// refused. An older one is brought forward step by step: before each step a copy of the
// store is written beside it, then the step runs in one transaction, so a failing step
// leaves the store at the version it had. Both are reported as StoreError with a German
// text. `beforeCommit` runs inside each step's transaction with the new version (tests
// inject failures there).
void upgradeStore(Database& db, const std::function<void(int version)>& beforeCommit = {});

}  // namespace veltro::store
