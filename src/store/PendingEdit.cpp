#include "store/PendingEdit.h"

#include "store/AtomicFile.h"
#include "store/CardStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace veltro::store {

namespace fs = std::filesystem;

namespace {

QString pathText(const fs::path& path) {
    return QString::fromStdString(path.string());
}

QByteArray encoded(const PendingEdit& edit) {
    QJsonArray values;
    for (const auto& [field, text] : edit.values) {
        values.append(QJsonObject{{QStringLiteral("feld"), columnName(field)},
                                  {QStringLiteral("text"), text}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("karte"), QString::number(edit.cardId)},
                                     {QStringLiteral("uid"), edit.uid},
                                     {QStringLiteral("schlagworte"), edit.heading},
                                     {QStringLiteral("werte"), values}})
        .toJson();
}

std::optional<PendingEdit> decoded(const QByteArray& bytes) {
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    PendingEdit edit;
    edit.cardId = root.value(QStringLiteral("karte")).toString().toLongLong();
    edit.uid = root.value(QStringLiteral("uid")).toString();
    edit.heading = root.value(QStringLiteral("schlagworte")).toString();
    for (const auto& value : root.value(QStringLiteral("werte")).toArray()) {
        const QJsonObject pair = value.toObject();
        const auto field = fieldByColumnName(pair.value(QStringLiteral("feld")).toString());
        if (field) {
            edit.values.emplace_back(*field, pair.value(QStringLiteral("text")).toString());
        }
    }
    if (edit.cardId == 0 || edit.values.empty()) {
        return std::nullopt;
    }
    return edit;
}

}  // namespace

fs::path pendingEditFile(const fs::path& storeFile) {
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(storeFile, ec);
    const fs::path& store = ec ? storeFile : real;
    return fs::path(store).concat(".eingaben");
}

bool writePendingEdit(const fs::path& storeFile, const PendingEdit& edit) {
    const fs::path target = pendingEditFile(storeFile);
    AtomicFile file(pathText(target));
    // What was typed into a card is as private as the card.
    file.takePermissionsOf(storeFile);
    return file.open() && file.write(encoded(edit)) && file.commit();
}

std::optional<PendingEdit> readPendingEdit(const fs::path& storeFile) {
    QFile file(pathText(pendingEditFile(storeFile)));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return decoded(file.readAll());
}

void removePendingEdit(const fs::path& storeFile) {
    std::error_code ignored;
    fs::remove(pendingEditFile(storeFile), ignored);
}

std::optional<std::int64_t> cardOfPendingEdit(CardStore& store, const PendingEdit& edit) {
    if (!edit.uid.isEmpty()) {
        auto byUid = store.db().prepare("SELECT KarteId FROM KartenInfo WHERE Uid = ?1");
        if (byUid.bind(1, edit.uid).step()) {
            return byUid.integer(0);
        }
        return std::nullopt;
    }
    return store.loadCard(edit.cardId) ? std::optional(edit.cardId) : std::nullopt;
}

}  // namespace veltro::store
