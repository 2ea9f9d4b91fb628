#include "sync/SyncRun.h"

#include "sync/SyncError.h"
#include "sync/SyncPlan.h"
#include "sync/VcardMerge.h"

#include "base/Counted.h"
#include "richtext/StoredText.h"
#include "store/CardExtrasTable.h"
#include "store/Snapshot.h"
#include "store/UndoLog.h"

#include <QDateTime>

#include <algorithm>
#include <map>
#include <optional>

namespace veltro::sync {

namespace {

using store::Field;

constexpr int kAttempts = 3;

// One card identity in this sync: what is here, what the store knows from the last sync,
// and what the server holds now. Hrefs are keys (hrefKey).
struct Entry {
    QString uid;
    std::int64_t localId = 0;
    std::optional<store::Card> local;
    store::CardExtras localExtras;
    std::optional<SyncedCard> state;
    QString href;
    QString remoteEtag;
    std::optional<QByteArray> remoteText;  // nothing: not on the server
    bool fetch = false;
    bool sent = false;  // written to or deleted on the server by this sync
    CardPlan plan;
};

struct Run {
    store::CardStore& store;
    const Pairing& pairing;
    DavClient& client;
    const SyncOptions& options;
    std::vector<Entry> entries;
    SyncReport report;
    QString heading;

    void step(int done, int total, const QString& what) const {
        if (options.progress) {
            options.progress(done, total, what);
        }
    }
    [[nodiscard]] Entry* byHref(const QString& href) {
        for (Entry& entry : entries) {
            if (entry.href == href) {
                return &entry;
            }
        }
        return nullptr;
    }
};

struct LocalCard {
    std::int64_t id;
    store::Card card;
    store::CardExtras extras;
};

std::map<QString, LocalCard> localCards(Run& run) {
    auto stmt = run.store.db().prepare(
        "SELECT Kontakte.rowid, KartenInfo.Uid FROM Kontakte JOIN KartenInfo ON "
        "KartenInfo.KarteId = Kontakte.rowid WHERE vfold(Kontakte.Kategorien) = vfold(?1)");
    stmt.bind(1, run.pairing.category);
    std::vector<std::pair<std::int64_t, QString>> ids;
    while (stmt.step()) {
        ids.emplace_back(stmt.integer(0), stmt.textOrEmpty(1));
    }
    std::map<QString, LocalCard> cards;
    store::CardExtrasReader extras(run.store.db());
    for (const auto& [id, uid] : ids) {
        if (auto card = run.store.loadCard(id)) {
            cards.emplace(uid, LocalCard{id, std::move(*card), extras.read(id)});
        }
    }
    return cards;
}

// Where a card new to the server goes: its identity, percent-encoded, in the book.
QString newHref(const QUrl& book, const QString& uid) {
    return hrefKey(book,
                   QString::fromLatin1(QUrl::toPercentEncoding(uid)) + QStringLiteral(".vcf"));
}

void collectEntries(Run& run, const Listing& listing) {
    auto local = localCards(run);
    const QUrl& book = run.pairing.book;
    for (auto& [uid, state] : syncedCards(run.store.db(), run.pairing.id)) {
        Entry entry;
        entry.uid = uid;
        entry.href = hrefKey(book, state.href);
        entry.state = std::move(state);
        if (const auto found = local.find(uid); found != local.end()) {
            entry.localId = found->second.id;
            entry.local = std::move(found->second.card);
            entry.localExtras = std::move(found->second.extras);
            local.erase(found);
        }
        run.entries.push_back(std::move(entry));
    }
    for (auto& [uid, card] : local) {
        Entry entry;
        entry.uid = uid;
        entry.href = newHref(book, uid);
        entry.localId = card.id;
        entry.local = std::move(card.card);
        entry.localExtras = std::move(card.extras);
        run.entries.push_back(std::move(entry));
    }
    std::map<QString, QString> unmatched = listing.members;
    for (Entry& entry : run.entries) {
        const auto member = unmatched.find(entry.href);
        if (member != unmatched.end()) {
            entry.remoteEtag = member->second;
            if (entry.state && entry.state->etag == member->second) {
                entry.remoteText = entry.state->text;
            } else {
                entry.fetch = true;
            }
            unmatched.erase(member);
        } else if (!listing.complete && entry.state && !listing.gone.contains(entry.href)) {
            entry.remoteEtag = entry.state->etag;
            entry.remoteText = entry.state->text;
        }
    }
    for (const auto& [href, etag] : unmatched) {
        Entry entry;
        entry.href = href;
        entry.remoteEtag = etag;
        entry.fetch = true;
        run.entries.push_back(std::move(entry));
    }
}

void fetchChanged(Run& run) {
    QStringList hrefs;
    for (const Entry& entry : run.entries) {
        if (entry.fetch) {
            hrefs << entry.href;
        }
    }
    if (hrefs.isEmpty()) {
        return;
    }
    run.step(0, 1,
             QStringLiteral("%1 %2 vom Server geholt …")
                 .arg(counted(hrefs.size(), "Karte", "Karten"),
                      agreeing(hrefs.size(), "wird", "werden")));
    // A card listed but gone by the time it is fetched counts as not on the server.
    for (Fetched& fetched : run.client.fetch(run.pairing.book, hrefs)) {
        if (Entry* entry = run.byHref(fetched.href)) {
            entry->remoteEtag = fetched.etag;
            entry->remoteText = std::move(fetched.text);
        }
    }
}

std::optional<store::Card> remoteCard(const Run& run, const Entry& entry) {
    return entry.remoteText ? cardFromText(*entry.remoteText, run.pairing.category) : std::nullopt;
}

// False for a server card without a name: it is left alone on both sides.
bool plan(Run& run, Entry& entry) {
    const auto remote = remoteCard(run, entry);
    if (entry.remoteText && !remote) {
        return false;
    }
    CardStates states;
    states.remote = remote;
    if (entry.remoteText) {
        states.remoteExtras = extrasFromText(*entry.remoteText);
    }
    if (entry.local) {
        auto here = comparable(*entry.local, entry.localExtras, run.pairing.category);
        states.local = std::move(here.card);
        states.local->id = entry.localId;
        states.localExtras = std::move(here.extras);
    }
    if (entry.state) {
        states.base = cardFromText(entry.state->text, run.pairing.category);
        states.baseExtras = extrasFromText(entry.state->text);
    }
    entry.plan = planCard(states, run.heading);
    return true;
}

MassDelete deletionsOf(const Run& run) {
    MassDelete deletes;
    for (const Entry& entry : run.entries) {
        deletes.hereOf += entry.local ? 1 : 0;
        deletes.here += entry.plan.local == CardPlan::Local::Delete ? 1 : 0;
        deletes.thereOf += entry.remoteText ? 1 : 0;
        deletes.there += entry.plan.remote == CardPlan::Remote::Delete ? 1 : 0;
    }
    return deletes;
}

void guardDeletions(const Run& run) {
    const MassDelete deletes = deletionsOf(run);
    if (!needsConsent(deletes) ||
        (run.options.allowManyDeletes && run.options.allowManyDeletes(deletes))) {
        return;
    }
    throw SyncError(SyncError::Kind::ManyDeletes,
                    QStringLiteral("Der Abgleich würde %1 von %2 Karten der Kategorie „%3“ hier "
                                   "und %4 von %5 Karten auf dem Server löschen. Er wurde nicht "
                                   "ausgeführt; hier und auf dem Server wurde nichts geändert.")
                        .arg(deletes.here)
                        .arg(deletes.hereOf)
                        .arg(run.pairing.category)
                        .arg(deletes.there)
                        .arg(deletes.thereOf));
}

// What the server keeps besides our fields can show through them (its second number where
// ours was emptied); the card here then takes the fields of the text sent, so both sides
// agree and the next sync sees no change.
void takeFieldsSent(const Run& run, Entry& entry, const QByteArray& sent) {
    auto fields = cardFromText(sent, run.pairing.category);
    store::CardExtras extras = extrasFromText(sent);
    if (!fields || (sameFields(*fields, entry.plan.merged) && extras == entry.plan.mergedExtras)) {
        return;
    }
    fields->id = entry.plan.merged.id;
    entry.plan.merged = *fields;
    entry.plan.mergedExtras = std::move(extras);
    if (entry.local && entry.plan.local == CardPlan::Local::Keep) {
        entry.plan.local = CardPlan::Local::Write;
    }
}

void refetch(Run& run, Entry& entry) {
    const auto fetched = run.client.fetch(run.pairing.book, {entry.href});
    entry.remoteText.reset();
    if (!fetched.empty()) {
        entry.remoteEtag = fetched.front().etag;
        entry.remoteText = fetched.front().text;
    }
}

// Writes the entry's change to the server; after a 412 (changed meanwhile) it reads the
// card again, plans anew and retries.
void sendToServer(Run& run, Entry& entry) {
    const QUrl url = memberUrl(run.pairing.book, entry.href);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const CardPlan::Remote action = entry.plan.remote;
        if (action == CardPlan::Remote::Keep) {
            return;
        }
        HttpAnswer answer;
        QByteArray sent;
        if (action == CardPlan::Remote::Delete) {
            answer = run.client.remove(url, entry.remoteEtag);
        } else {
            const QByteArray& serverText = entry.remoteText ? *entry.remoteText
                                           : entry.state    ? entry.state->text
                                                            : QByteArray();
            sent = mergedVcard(serverText, entry.plan.merged, entry.plan.mergedExtras, entry.uid,
                               QDateTime::currentDateTimeUtc());
            takeFieldsSent(run, entry, sent);
            const bool create = action == CardPlan::Remote::Create || !entry.remoteText;
            answer = run.client.put(url, sent, create ? QString() : entry.remoteEtag);
        }
        if (answer.status != 412) {
            entry.sent = true;
            if (action == CardPlan::Remote::Delete) {
                entry.remoteText.reset();
                ++run.report.deletedThere;
                return;
            }
            entry.remoteText = sent;
            entry.remoteEtag = answer.etag;
            if (answer.etag.isEmpty()) {
                refetch(run, entry);
            }
            ++run.report.uploaded;
            return;
        }
        refetch(run, entry);
        if (!plan(run, entry)) {
            return;
        }
    }
    throw SyncError(SyncError::Kind::Http,
                    QStringLiteral("Die Karte %1 wurde auf dem Server immer wieder geändert, "
                                   "während sie gesendet wurde (HTTP 412).")
                        .arg(entry.href),
                    412);
}

// The token to keep: the listing's, or after our own uploads one the server gives for them,
// so that what others change or delete after them is seen next time even on servers that
// leave out what was made and deleted since an older token. Where other changes came in
// between, none: the next sync compares a full listing.
QString tokenAfterSending(Run& run, const Listing& listing) {
    const bool sentAny =
        std::any_of(run.entries.begin(), run.entries.end(), [](const Entry& e) { return e.sent; });
    if (listing.token.isEmpty() || !sentAny) {
        return listing.token;
    }
    const Listing since = run.client.list(run.pairing.book, listing.token);
    if (since.complete) {
        return {};
    }
    for (const auto& [href, etag] : since.members) {
        const Entry* entry = run.byHref(href);
        if (entry == nullptr || !entry->sent || !entry->remoteText || entry->remoteEtag != etag) {
            return {};
        }
    }
    for (const QString& href : since.gone) {
        const Entry* entry = run.byHref(href);
        if (entry == nullptr || !entry->sent || entry->remoteText) {
            return {};
        }
    }
    return since.token;
}

// The notes keep their formatting where only our own paragraphs were added to them.
QString notesToWrite(const Entry& entry, const store::Card& before) {
    const QString& merged = entry.plan.merged.text(Field::Notizen);
    const QString& added = entry.plan.appendedToNotes;
    if (added.isEmpty() || !merged.endsWith(added)) {
        return merged;
    }
    QString ours = merged.chopped(added.size());
    if (ours.endsWith(QStringLiteral("\n\n"))) {
        ours.chop(2);
    }
    if (ours != before.text(Field::Notizen)) {
        return merged;
    }
    return richtext::withParagraphsAppended(entry.local->text(Field::Notizen), added);
}

void writeFields(Run& run, const Entry& entry) {
    const auto [before, extrasBefore] =
        comparable(*entry.local, entry.localExtras, run.pairing.category);
    if (extrasBefore != entry.plan.mergedExtras) {
        store::writeCardExtras(run.store.db(), entry.localId, entry.plan.mergedExtras);
    }
    std::vector<std::pair<Field, QString>> changed;
    for (std::size_t i = 0; i < store::kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        if (field != Field::Kategorien && before.text(field) != entry.plan.merged.text(field)) {
            changed.emplace_back(field, field == Field::Notizen ? notesToWrite(entry, before)
                                                                : entry.plan.merged.text(field));
        }
    }
    if (!changed.empty()) {
        run.store.writeFields(entry.localId, changed);
    }
}

bool uidInUse(store::Database& db, const QString& uid) {
    auto cards = db.prepare("SELECT 1 FROM KartenInfo WHERE Uid = ?1");
    auto synced = db.prepare("SELECT 1 FROM SyncKarten WHERE Uid = ?1");
    return cards.bind(1, uid).step() || synced.bind(1, uid).step();
}

// A card from the server keeps the server's UID as its identity, so that it is the same card
// wherever it is exported to; one taken here already gets an identity of its own.
QString createHere(Run& run, Entry& entry) {
    store::Database& db = run.store.db();
    store::Card card = entry.plan.merged;
    card.set(Field::Kategorien, run.pairing.category);
    entry.localId = run.store.insertCard(card);
    store::writeCardExtras(db, entry.localId, entry.plan.mergedExtras);
    if (const QString uid = uidOf(*entry.remoteText); !uid.isEmpty() && !uidInUse(db, uid)) {
        auto stmt = db.prepare("UPDATE KartenInfo SET Uid = ?1 WHERE KarteId = ?2");
        stmt.bind(1, uid).bind(2, entry.localId).run();
    }
    auto stmt = db.prepare("SELECT Uid FROM KartenInfo WHERE KarteId = ?1");
    stmt.bind(1, entry.localId);
    return stmt.step() ? stmt.textOrEmpty(0) : QString();
}

void applyEntry(Run& run, Entry& entry) {
    store::Database& db = run.store.db();
    switch (entry.plan.local) {
        case CardPlan::Local::Keep:
            break;
        case CardPlan::Local::Write:
            writeFields(run, entry);
            ++run.report.downloaded;
            break;
        case CardPlan::Local::Create:
            // A card deleted here but changed there comes back as a new card.
            if (entry.state) {
                forgetSyncedCard(db, entry.state->uid);
            }
            entry.uid = createHere(run, entry);
            entry.local = entry.plan.merged;
            entry.localExtras = entry.plan.mergedExtras;
            ++run.report.downloaded;
            break;
        case CardPlan::Local::Delete:
            run.store.deleteCard(entry.localId);
            entry.local.reset();
            ++run.report.deletedHere;
            break;
    }
    if (!entry.plan.conflicts.empty()) {
        run.report.conflicts << entry.plan.merged.text(Field::Schlagworte);
    }
    if (entry.local && entry.remoteText) {
        saveSyncedCard(db, run.pairing.id,
                       {entry.uid, entry.href, entry.remoteEtag, *entry.remoteText});
    } else if (entry.state) {
        forgetSyncedCard(db, entry.state->uid);
    }
}

std::optional<std::int64_t> categoryRow(store::Database& db, const QString& category) {
    auto stmt = db.prepare("SELECT rowid FROM tblAdrCfg WHERE KategorieName = ?1");
    stmt.bind(1, category);
    return stmt.step() ? std::optional(stmt.integer(0)) : std::nullopt;
}

// What the sync brought in step stays so when the user discards the rest of the run: the
// server keeps it anyway, and the pairing and per-card state must go on matching the cards.
void settleForTheRun(Run& run, std::vector<std::int64_t> syncedBefore) {
    store::Database& db = run.store.db();
    std::vector<std::int64_t> cards;
    for (const Entry& entry : run.entries) {
        if (entry.localId != 0) {
            cards.push_back(entry.localId);
        }
    }
    const auto syncedNow = syncedRowIds(db, run.pairing.id);
    syncedBefore.insert(syncedBefore.end(), syncedNow.begin(), syncedNow.end());
    store::Snapshot::settle(db, "Kontakte", cards);
    store::Snapshot::settle(db, "KartenInfo", cards);
    store::settleCardExtras(db, cards);
    store::Snapshot::settle(db, "SyncKarten", syncedBefore);
    store::Snapshot::settle(db, "SyncKonten", {run.pairing.id});
    if (const auto category = categoryRow(db, run.pairing.category)) {
        store::Snapshot::settle(db, "tblAdrCfg", {*category});
    }
}

void applyHere(Run& run, const QString& token) {
    const bool changesCards =
        std::any_of(run.entries.begin(), run.entries.end(),
                    [](const Entry& e) { return e.plan.local != CardPlan::Local::Keep; });
    if (changesCards && run.options.beforeChangesHere) {
        run.options.beforeChangesHere();
    }
    store::Database& db = run.store.db();
    store::Transaction tx(db);
    const auto syncedBefore = syncedRowIds(db, run.pairing.id);
    for (Entry& entry : run.entries) {
        applyEntry(run, entry);
    }
    if (!categoryRow(db, run.pairing.category)) {
        run.store.addCategory(run.pairing.category);
    }
    saveSyncToken(db, run.pairing.id, token);
    // An undo of an earlier step would put back rows over what the server just brought.
    if (run.report.downloaded > 0 || run.report.deletedHere > 0) {
        store::UndoLog::clear(db);
    }
    settleForTheRun(run, syncedBefore);
    tx.commit();
}

}  // namespace

bool needsConsent(const MassDelete& deletes) {
    const auto many = [](int count, int of) {
        return count > kDeletesWithoutAsking && count * 4 > of;
    };
    return many(deletes.here, deletes.hereOf) || many(deletes.there, deletes.thereOf);
}

SyncReport synchronize(store::CardStore& store, const Pairing& pairing, DavClient& client,
                       const SyncOptions& options) {
    Run run{store, pairing, client, options, {}, {}, {}};
    run.heading =
        QStringLiteral("Konflikt beim Abgleich am %1 – hier stand:")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")));
    run.step(0, 1, QStringLiteral("Das Adressbuch wird gelesen …"));
    const Listing listing = client.list(pairing.book, pairing.syncToken);
    collectEntries(run, listing);
    fetchChanged(run);
    std::erase_if(run.entries, [&](Entry& entry) {
        if (plan(run, entry)) {
            return false;
        }
        ++run.report.skipped;
        return true;
    });
    guardDeletions(run);
    std::vector<Entry*> toSend;
    for (Entry& entry : run.entries) {
        if (entry.plan.remote != CardPlan::Remote::Keep) {
            toSend.push_back(&entry);
        }
    }
    const int total = static_cast<int>(toSend.size()) + 1;
    for (int i = 0; i < static_cast<int>(toSend.size()); ++i) {
        run.step(i, total,
                 QStringLiteral("Karte %1 von %2 wird zum Server gesendet …")
                     .arg(i + 1)
                     .arg(toSend.size()));
        sendToServer(run, *toSend[static_cast<std::size_t>(i)]);
    }
    const QString token = tokenAfterSending(run, listing);
    if (client.cancelled()) {
        throw SyncError(SyncError::Kind::Cancelled, QStringLiteral("Abgebrochen."));
    }
    run.step(total - 1, total, QStringLiteral("Die Kartei wird geschrieben …"));
    applyHere(run, token);
    run.step(total, total, QStringLiteral("Fertig."));
    return run.report;
}

QString reportText(const SyncReport& report) {
    QString text = QStringLiteral(
                       "%1 vom Server übernommen, %2 zum Server gesendet, %3 hier "
                       "gelöscht, %4 auf dem Server gelöscht.")
                       .arg(counted(report.downloaded, "Karte", "Karten"))
                       .arg(report.uploaded)
                       .arg(report.deletedHere)
                       .arg(report.deletedThere);
    if (report.skipped > 0) {
        text += QStringLiteral(" %1 des Servers ohne Namen %2 unberührt.")
                    .arg(counted(report.skipped, "Karte", "Karten"),
                         agreeing(report.skipped, "blieb", "blieben"));
    }
    if (!report.conflicts.isEmpty()) {
        text += QStringLiteral("\nKonflikte (der Wert von hier steht in den Notizen):\n  ") +
                report.conflicts.join(QStringLiteral("\n  "));
    }
    return text;
}

QString massDeleteQuestion(const MassDelete& deletes, const QString& category) {
    return QStringLiteral(
               "Der Abgleich würde %1 von %2 Karten der Kategorie „%3“ hier und %4 "
               "von %5 Karten auf dem Server löschen.\n\nVor dem Abgleich wird die "
               "Kartei gesichert. Trotzdem abgleichen?")
        .arg(deletes.here)
        .arg(deletes.hereOf)
        .arg(category)
        .arg(deletes.there)
        .arg(deletes.thereOf);
}

}  // namespace veltro::sync
