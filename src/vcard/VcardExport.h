#pragma once

#include "export/ExportFile.h"
#include "store/Categories.h"
#include "store/Sqlite.h"
#include "vcard/VcardWriter.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <filesystem>

namespace veltro::vcard {

struct VcardExportOptions {
    Version version = Version::V3;
    store::CategoryFilter category;
};

// Writes the cards of the store file (all, or those of one category) as one vCard file.
// UID and REV come from the card's row in KartenInfo. A store of the old layout, which an
// export reads without upgrading it, has no such table; there the UID is derived from the
// store file and the card's row id, so that it too stays the same from one export to the
// next. The target is replaced only once the export is complete.
[[nodiscard]] exporting::ExportResult exportToFile(
    const std::filesystem::path& storeFile, const QString& target,
    const VcardExportOptions& options, const exporting::ProgressCallback& progress = {});

// The UID of a card that has no identity stored: a name-based UUID of store and row id.
[[nodiscard]] QString derivedUid(const std::filesystem::path& storeFile, std::int64_t rowId);
// The same from the store's canonical path, found once for a whole export.
[[nodiscard]] QString canonicalStorePath(const std::filesystem::path& storeFile);
[[nodiscard]] QString derivedUid(const QString& canonicalStore, std::int64_t rowId);

// UID and REV of one card as an export writes them (for copying a single card).
struct CardIdentity {
    QString uid;
    QDateTime rev;
};
[[nodiscard]] CardIdentity cardIdentity(store::Database& db, const std::filesystem::path& storeFile,
                                        std::int64_t rowId);

// REV from a stored change time: seconds or milliseconds since 1970, or ISO 8601 text
// (without a zone it is UTC, as SQLite writes it). Invalid when there is none.
[[nodiscard]] QDateTime changeTime(const QString& stored);

}  // namespace veltro::vcard
