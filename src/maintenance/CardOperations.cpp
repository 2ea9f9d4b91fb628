#include "maintenance/CardOperations.h"

namespace veltro::maintenance {

using store::Field;
using store::Transaction;

std::optional<std::int64_t> cardWithHeading(store::CardStore& store, QStringView heading) {
    return store.findByHeading(heading);
}

namespace {

// Inside the caller's transaction, so no other writer slips a card in between.
NewCard addUnlessClash(store::CardStore& store, std::optional<std::int64_t> clash,
                       std::int64_t count, const QString& heading, const QString& category) {
    NewCard result;
    result.clash = clash;
    if (result.clash) {
        return result;
    }
    result.number = QString::number(count + 1);
    store::Card card;
    card.set(Field::Schlagworte, heading);
    card.set(Field::Nr, result.number);
    card.set(Field::Kategorien, category);
    result.id = store.insertCard(card);
    return result;
}

}  // namespace

NewCard addCard(store::CardStore& store, const QString& heading, const QString& category) {
    Transaction tx(store.db());
    auto result = addUnlessClash(store, cardWithHeading(store, heading), store.cardCount(), heading,
                                 category);
    tx.commit();
    return result;
}

NewCard addCard(store::CardStore& store, const store::CardIndex& index, const QString& heading,
                const QString& category) {
    Transaction tx(store.db());
    auto result =
        addUnlessClash(store, index.idOfHeading(heading), index.size(), heading, category);
    tx.commit();
    return result;
}

void renameCard(store::CardStore& store, std::int64_t id, const QString& heading,
                const std::vector<std::pair<Field, QString>>& fields) {
    auto values = fields;
    values.emplace_back(Field::Schlagworte, heading);
    Transaction tx(store.db());
    store.writeFields(id, values);
    tx.commit();
}

bool categoryExists(store::CardStore& store, QStringView name) {
    auto stmt = store.db().prepare(
        "SELECT 1 FROM tblAdrCfg WHERE vfold(KategorieName) = vfold(?1) LIMIT 1");
    stmt.bind(1, name);
    return stmt.step();
}

void renameCategory(store::CardStore& store, const QString& oldName, const QString& newName) {
    Transaction tx(store.db());
    auto categories = store.db().prepare(
        "UPDATE tblAdrCfg SET KategorieName = ?2 WHERE vfold(KategorieName) = vfold(?1)");
    categories.bind(1, oldName).bind(2, newName);
    categories.run();
    auto cards = store.db().prepare(
        "UPDATE Kontakte SET Kategorien = ?2 WHERE vfold(Kategorien) = vfold(?1) "
        "AND Kategorien IS NOT ?2");
    cards.bind(1, oldName).bind(2, newName);
    cards.run();
    // An address book paired with the category follows it; left behind, its next sync would
    // take the renamed cards for deleted ones and delete them on the server.
    auto synced = store.db().prepare(
        "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'SyncKonten'");
    if (synced.step()) {
        auto pairings = store.db().prepare(
            "UPDATE SyncKonten SET Kategorie = ?2 WHERE vfold(Kategorie) = vfold(?1)");
        pairings.bind(1, oldName).bind(2, newName);
        pairings.run();
    }
    tx.commit();
}

void deleteCategory(store::CardStore& store, const QString& name) {
    Transaction tx(store.db());
    auto cards = store.db().prepare("DELETE FROM Kontakte WHERE vfold(Kategorien) = vfold(?1)");
    cards.bind(1, name);
    cards.run();
    auto categories = store.db().prepare("DELETE FROM tblAdrCfg WHERE KategorieName = ?1");
    categories.bind(1, name);
    categories.run();
    tx.commit();
}

void assignCategory(store::CardStore& store, const QString& heading, const QString& category) {
    Transaction tx(store.db());
    auto stmt = store.db().prepare(
        "UPDATE Kontakte SET Kategorien = ?2 WHERE vfold(Schlagworte) = vfold(?1)");
    stmt.bind(1, heading).bind(2, category);
    stmt.run();
    tx.commit();
}

}  // namespace veltro::maintenance
