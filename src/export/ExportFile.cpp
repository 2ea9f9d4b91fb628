#include "export/ExportFile.h"

#include "store/CardStore.h"
#include "store/StoreError.h"
#include "store/SystemReason.h"

#include <QSaveFile>

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
        cardStore = store::CardStore::openForReading(storeFile);
    } catch (const store::StoreError& e) {
        return failure(
            QStringLiteral("Die Kartei lässt sich nicht öffnen:\n%1").arg(store::germanReason(e)));
    }
    ExportWriter writer(*cardStore, options);
    if (writer.cardCount() == 0) {
        return {ExportStatus::NoCard, {}, {}};
    }

    QSaveFile file(target);
    // Where no temporary file can be made beside the target, write the target itself.
    file.setDirectWriteFallback(true);
    // Unbuffered: the writer sends large blocks, and a failure is seen where it happens.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return failure(fileError(target, store::germanFileReason(file)));
    }
    try {
        const auto summary = writer.write(file, progress);
        if (!summary) {
            file.cancelWriting();
            return {ExportStatus::Cancelled, {}, {}};
        }
        if (!file.commit()) {
            return failure(fileError(target, store::germanFileReason(file)));
        }
        return {ExportStatus::Written, *summary, {}};
    } catch (const ExportError&) {
        const QString reason = store::germanFileReason(file);
        file.cancelWriting();
        return failure(fileError(target, reason));
    } catch (const store::StoreError& e) {
        file.cancelWriting();
        return failure(
            QStringLiteral("Die Kartei lässt sich nicht lesen:\n%1").arg(store::germanReason(e)));
    }
}

}  // namespace veltro::exporting
