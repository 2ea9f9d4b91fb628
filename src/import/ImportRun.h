#pragma once

#include "base/Error.h"
#include "import/PreviewTable.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace veltro::import {

enum class ImportPhase { Duplicates, Writing };

// Called now and then with the phase and the rows done in it; returning false cancels.
using ImportPulse = std::function<bool(ImportPhase phase, std::int64_t done)>;

struct ImportOutcome {
    std::int64_t cards = 0;              // cards written
    std::int64_t renamed = 0;            // of them, cards whose heading got a number appended
    std::vector<QString> newCategories;  // categories of the rows the store lacked
};

// Thrown when the pulse cancels the run; nothing was written.
class ImportCancelled : public Error {
public:
    ImportCancelled() : Error(Kind::Cancelled, QStringLiteral("Der Import wurde abgebrochen.")) {}
};

// Appends every row as a card to the store file, all or nothing in one transaction.
// A heading that the store or an earlier row of this run already holds (without regard to
// case) gets "_1", "_2", ... appended until it is free; the new heading is written back
// into the row. Every field is written as the row holds it; a category the store lacks (without
// regard to case) is added in the same transaction. Throws store::StoreError when
// the store refuses; then no card of the run is left behind. With an `undoStep` name the
// whole run is one step of the undo log.
ImportOutcome runImport(const std::filesystem::path& storeFile, std::vector<PreviewRow>& rows,
                        const ImportPulse& pulse = {}, const QString& undoStep = {});

// Hands out the next row, false after the last.
using RowSource = std::function<bool(PreviewRow& row)>;

// The same for rows made one at a time as a file is read, so a large file never has all
// its rows in memory; the new headings are not handed back.
ImportOutcome runImport(const std::filesystem::path& storeFile, const RowSource& next,
                        const ImportPulse& pulse = {}, const QString& undoStep = {});

}  // namespace veltro::import
