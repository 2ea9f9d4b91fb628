#include "store/PendingEdit.h"

#include "base/PathText.h"
#include "store/AtomicFile.h"
#include "store/CardStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace veltro::store {

namespace fs = std::filesystem;

namespace {

QJsonObject encodedExtras(const TypedExtras& extras) {
    QJsonArray entries;
    for (const Entry& entry : extras.entries) {
        entries.append(QJsonObject{{QStringLiteral("art"), kindName(entry.kind)},
                                   {QStringLiteral("typ"), typeName(entry.type)},
                                   {QStringLiteral("wert"), entry.value},
                                   {QStringLiteral("plz"), entry.postcode},
                                   {QStringLiteral("ort"), entry.town},
                                   {QStringLiteral("land"), entry.country}});
    }
    return {{QStringLiteral("geburtstag"), extras.birthday},
            {QStringLiteral("jahrestag"), extras.anniversary},
            {QStringLiteral("spitzname"), extras.nickname},
            {QStringLiteral("titel"), extras.title},
            {QStringLiteral("rolle"), extras.role},
            {QStringLiteral("eintraege"), entries}};
}

TypedExtras decodedExtras(const QJsonObject& object) {
    const auto text = [&object](const char* key) {
        return object.value(QLatin1String(key)).toString();
    };
    TypedExtras extras{text("geburtstag"), text("jahrestag"), text("spitzname"),
                       text("titel"),      text("rolle"),     {}};
    for (const auto& value : object.value(QStringLiteral("eintraege")).toArray()) {
        const QJsonObject entry = value.toObject();
        const auto field = [&entry](const char* key) {
            return entry.value(QLatin1String(key)).toString();
        };
        const auto kind = kindByName(field("art"));
        if (kind) {
            extras.entries.emplace_back(*kind, typeByName(field("typ")).value_or(EntryType::Andere),
                                        field("wert"), field("plz"), field("ort"), field("land"));
        }
    }
    return extras;
}

QByteArray encoded(const PendingEdit& edit) {
    QJsonArray values;
    for (const auto& [field, text] : edit.values) {
        values.append(QJsonObject{{QStringLiteral("feld"), columnName(field)},
                                  {QStringLiteral("text"), text}});
    }
    QJsonObject root{{QStringLiteral("karte"), QString::number(edit.cardId)},
                     {QStringLiteral("uid"), edit.uid},
                     {QStringLiteral("schlagworte"), edit.heading},
                     {QStringLiteral("werte"), values}};
    if (edit.extras) {
        root.insert(QStringLiteral("angaben"), encodedExtras(*edit.extras));
    }
    return QJsonDocument(root).toJson();
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
    if (const auto extras = root.value(QStringLiteral("angaben")); extras.isObject()) {
        edit.extras = decodedExtras(extras.toObject());
    }
    if (edit.cardId == 0 || (edit.values.empty() && !edit.extras)) {
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
