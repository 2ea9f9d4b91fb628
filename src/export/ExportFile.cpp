#include "export/ExportFile.h"

#include "store/AtomicFile.h"
#include "store/CardStore.h"
#include "store/StoreError.h"

namespace veltro::exporting {

namespace {

ExportResult failure(const QString& text) {
    return {ExportStatus::Failed, {}, text};
}

QString fileError(const QString& target, const QString& reason) {
    return QStringLiteral("Die Datei „%1“ lässt sich nicht schreiben:\n%2").arg(target, reason);
}

}  // namespace

ExportResult exportToFile(const std::filesystem::path& storeFile, const QString& target,
                          const ExportOptions& options, const ProgressCallback& progress) {
    std::optional<store::CardStore> cardStore;
    try {
        // The writer reads on this thread alone; its helper only encodes what was read.
        cardStore =
            store::CardStore::openForReading(storeFile, store::Database::Threads::OneThread);
    } catch (const store::StoreError& e) {
        return failure(
            QStringLiteral("Die Kartei lässt sich nicht öffnen:\n%1").arg(store::germanReason(e)));
    }
    ExportWriter writer(*cardStore, options);
    if (writer.cardCount() == 0) {
        return {ExportStatus::NoCard, {}, {}};
    }

    // Unbuffered: the writer sends large blocks, and a failure is seen where it happens.
    store::AtomicFile file(target, store::AtomicFile::Buffering::Unbuffered);
    file.allowWritingInPlace();
    if (!file.open()) {
        return failure(fileError(target, file.reason()));
    }
    try {
        const auto summary = writer.write(file.device(), progress);
        if (!summary) {
            return {ExportStatus::Cancelled, {}, {}};
        }
        if (!file.commit()) {
            return failure(fileError(target, file.reason()));
        }
        return {ExportStatus::Written, *summary, {}};
    } catch (const ExportError&) {
        file.cancel();
        return failure(fileError(target, file.reason()));
    } catch (const store::StoreError& e) {
        return failure(
            QStringLiteral("Die Kartei lässt sich nicht lesen:\n%1").arg(store::germanReason(e)));
    }
}

}  // namespace veltro::exporting
