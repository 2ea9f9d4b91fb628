#include "app/cli/CliCommands.h"

#include "base/Counted.h"
#include "duplicates/DuplicateFinder.h"
#include "store/CardStore.h"
#include "store/DuplicateDecisions.h"
#include "store/Schema.h"
#include "store/StoreError.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <filesystem>

namespace veltro::cli {

namespace {

using duplicates::Group;

QJsonArray reasonNames(unsigned reasons) {
    QJsonArray names;
    const std::pair<unsigned, const char*> all[] = {
        {duplicates::SameHeading, "heading"}, {duplicates::SameName, "name"},
        {duplicates::SoundsAlike, "sound"},   {duplicates::SameMail, "mail"},
        {duplicates::SamePhone, "phone"},
    };
    for (const auto& [reason, name] : all) {
        if ((reasons & reason) != 0U) {
            names.append(QLatin1String(name));
        }
    }
    return names;
}

void printJson(const std::vector<Group>& groups, const QHash<std::int64_t, QString>& headings) {
    QJsonArray list;
    for (const Group& group : groups) {
        QJsonArray cards;
        for (const auto id : group.cards) {
            cards.append(QJsonObject{{QStringLiteral("id"), static_cast<qint64>(id)},
                                     {QStringLiteral("heading"), headings.value(id)}});
        }
        QJsonArray pairs;
        for (const auto& pair : group.pairs) {
            pairs.append(QJsonObject{{QStringLiteral("a"), static_cast<qint64>(pair.a)},
                                     {QStringLiteral("b"), static_cast<qint64>(pair.b)},
                                     {QStringLiteral("score"), pair.score},
                                     {QStringLiteral("reasons"), reasonNames(pair.reasons)}});
        }
        list.append(QJsonObject{{QStringLiteral("score"), group.score()},
                                {QStringLiteral("cards"), cards},
                                {QStringLiteral("pairs"), pairs}});
    }
    out() << QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("groups"), list}})
                                   .toJson(QJsonDocument::Indented));
}

void printText(const std::vector<Group>& groups, const QHash<std::int64_t, QString>& headings) {
    if (groups.empty()) {
        out() << "Keine doppelten Karten gefunden.\n";
        return;
    }
    int number = 0;
    for (const Group& group : groups) {
        out() << "Gruppe " << ++number << " (Übereinstimmung " << group.score() << " %):\n";
        for (const auto id : group.cards) {
            out() << "  " << headings.value(id) << '\n';
        }
        for (const auto& pair : group.pairs) {
            out() << "    " << headings.value(pair.a) << " – " << headings.value(pair.b) << ": "
                  << duplicates::reasonText(pair.reasons) << '\n';
        }
    }
    out() << counted(static_cast<long long>(groups.size()), "Gruppe", "Gruppen")
          << " möglicher Dubletten.\n";
}

}  // namespace

int findDuplicates(const QStringList& args) {
    const bool json = args.contains(QStringLiteral("--json"));
    QStringList plain;
    for (const QString& arg : args) {
        if (arg != u"--json") {
            plain << arg;
        }
    }
    if (plain.size() != 1) {
        return usage("duplicates",
                     QStringLiteral("Das Verzeichnis fehlt oder es ist mehr angegeben."));
    }
    const auto file = std::filesystem::path(plain[0].toStdString()) / store::kStoreFileName;
    std::optional<store::CardStore> cardStore;
    try {
        cardStore.emplace(store::CardStore::openForReading(file));
    } catch (const store::StoreError& e) {
        err() << "Die Kartei in " << plain[0]
              << " lässt sich nicht öffnen: " << store::germanReason(e) << Qt::endl;
        return kFailed;
    }
    const auto facts = duplicates::readCardFacts(*cardStore);
    const auto groups =
        duplicates::findDuplicates(facts, store::notDuplicatePairs(cardStore->db()));
    QHash<std::int64_t, QString> headings;
    for (const auto& card : facts) {
        headings.insert(card.id, card.heading);
    }
    json ? printJson(groups, headings) : printText(groups, headings);
    out().flush();
    return kOk;
}

}  // namespace veltro::cli
