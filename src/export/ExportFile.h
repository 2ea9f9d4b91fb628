#pragma once

#include "export/ExportOptions.h"
#include "export/ExportWriter.h"

#include <QString>

#include <filesystem>

namespace veltro::exporting {

enum class ExportStatus {
    Written,    // the file holds the complete export
    NoCard,     // the store holds no card with a heading; no file was touched
    Cancelled,  // stopped through the progress callback; no file was touched
    Failed,     // store or file could not be used; no file was touched, see error
};

struct ExportResult {
    ExportStatus status = ExportStatus::Failed;
    ExportSummary summary;
    QString error;  // German text for the user when Failed
};

// Exports all cards of the store file into the target file. The target is replaced only
// once the export is complete, so a failure or a cancel leaves an existing file as it was.
[[nodiscard]] ExportResult exportToFile(const std::filesystem::path& storeFile,
                                        const QString& target, const ExportOptions& options,
                                        const ProgressCallback& progress = {});

}  // namespace veltro::exporting
