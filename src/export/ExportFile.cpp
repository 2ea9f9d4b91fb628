#include "export/ExportFile.h"

#include "store/CardStore.h"
#include "store/StoreError.h"

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
        return failure(QStringLiteral("Die Kartei lässt sich nicht öffnen:\n%1")
                           .arg(QString::fromUtf8(e.what())));
    }
    ExportWriter writer(*cardStore, options);
    if (writer.cardCount() == 0) {
        return {ExportStatus::NoCard, {}, {}};
    }

    QSaveFile file(target);
    // Where no temporary file can be made beside the target, write the target itself.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        return failure(fileError(target, file.errorString()));
    }
    try {
        const auto summary = writer.write(file, progress);
        if (!summary) {
            file.cancelWriting();
            return {ExportStatus::Cancelled, {}, {}};
        }
        if (!file.commit()) {
            return failure(fileError(target, file.errorString()));
        }
        return {ExportStatus::Written, *summary, {}};
    } catch (const ExportError& e) {
        file.cancelWriting();
        return failure(fileError(target, QString::fromStdString(e.what())));
    } catch (const store::StoreError& e) {
        file.cancelWriting();
        return failure(QStringLiteral("Die Kartei lässt sich nicht lesen:\n%1")
                           .arg(QString::fromUtf8(e.what())));
    }
}

}  // namespace veltro::exporting
