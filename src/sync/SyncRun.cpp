#include "sync/SyncRun.h"

#include "sync/SyncError.h"
#include "sync/SyncPlan.h"
#include "sync/VcardMerge.h"

#include <QDateTime>

#include <map>
#include <optional>

namespace veltro::sync {

namespace {

using store::Field;

constexpr int kAttempts = 3;

// One card identity in this sync: what is here, what the store knows from the last sync,
// and what the server holds now.
struct Entry {
    QString uid;
    std::int64_t localId = 0;
    std::optional<store::Card> local;
    std::optional<SyncedCard> state;
    QString href;
    QString remoteEtag;
    std::optional<QByteArray> remoteText;  // nothing: not on the server
    bool fetch = false;
    CardPlan plan;
};

struct Run {
    store::CardStore& store;
    const Pairing& pairing;
    DavClient& client;
    const SyncProgress& progress;
    std::vector<Entry> entries;
    SyncReport report;
    QString heading;

    void step(int done, int total, const QString& what) const {
        if (progress) {
            progress(done, total, what);
        }
    }
};

QString bookPath(const QUrl& book) {
    QString path = book.path(QUrl::FullyEncoded);
    return path.endsWith(u'/') ? path : path + u'/';
}

std::map<QString, std::pair<std::int64_t, store::Card>> localCards(Run& run) {
    auto stmt = run.store.db().prepare(
        "SELECT Kontakte.rowid, KartenInfo.Uid FROM Kontakte JOIN KartenInfo ON "
        "KartenInfo.KarteId = Kontakte.rowid WHERE vfold(Kontakte.Kategorien) = vfold(?1)");
    stmt.bind(1, run.pairing.category);
    std::vector<std::pair<std::int64_t, QString>> ids;
    while (stmt.step()) {
        ids.emplace_back(stmt.integer(0), stmt.textOrEmpty(1));
    }
    std::map<QString, std::pair<std::int64_t, store::Card>> cards;
    for (const auto& [id, uid] : ids) {
        if (auto card = run.store.loadCard(id)) {
            cards.emplace(uid, std::pair(id, std::move(*card)));
        }
    }
    return cards;
}

void collectEntries(Run& run, const Listing& listing) {
    auto local = localCards(run);
    for (auto& [uid, state] : syncedCards(run.store.db(), run.pairing.id)) {
        Entry entry;
        entry.uid = uid;
        entry.href = state.href;
        entry.state = std::move(state);
        if (const auto found = local.find(uid); found != local.end()) {
            entry.localId = found->second.first;
            entry.local = std::move(found->second.second);
            local.erase(found);
        }
        run.entries.push_back(std::move(entry));
    }
    for (auto& [uid, card] : local) {
        Entry entry;
        entry.uid = uid;
        entry.href = bookPath(run.pairing.book) + uid + QStringLiteral(".vcf");
        entry.localId = card.first;
        entry.local = std::move(card.second);
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
    std::map<QString, Entry*> byHref;
    for (Entry& entry : run.entries) {
        if (entry.fetch) {
            hrefs << entry.href;
            byHref[entry.href] = &entry;
        }
    }
    if (hrefs.isEmpty()) {
        return;
    }
    run.step(0, 1, QStringLiteral("%1 Karten werden vom Server geholt …").arg(hrefs.size()));
    for (Fetched& fetched : run.client.fetch(run.pairing.book, hrefs)) {
        if (const auto found = byHref.find(fetched.href); found != byHref.end()) {
            found->second->remoteEtag = fetched.etag;
            found->second->remoteText = std::move(fetched.text);
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
    if (entry.local) {
        states.local = comparable(*entry.local, run.pairing.category);
        states.local->id = entry.localId;
    }
    if (entry.state) {
        states.base = cardFromText(entry.state->text, run.pairing.category);
    }
    entry.plan = planCard(states, run.heading);
    return true;
}

// What the server keeps besides our fields can show through them (its second number where
// ours was emptied); the card here then takes the fields of the text sent, so both sides
// agree and the next sync sees no change.
void takeFieldsSent(const Run& run, Entry& entry, const QByteArray& sent) {
    auto fields = cardFromText(sent, run.pairing.category);
    if (!fields || sameFields(*fields, entry.plan.merged)) {
        return;
    }
    fields->id = entry.plan.merged.id;
    entry.plan.merged = *fields;
    if (entry.local && entry.plan.local == CardPlan::Local::Keep) {
        entry.plan.local = CardPlan::Local::Write;
    }
}

// Writes the entry's change to the server; after a 412 (changed meanwhile) it reads the
// card again, plans anew and retries.
void sendToServer(Run& run, Entry& entry) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const QUrl url = run.pairing.book.resolved(QUrl::fromEncoded(entry.href.toUtf8()));
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
            sent = mergedVcard(serverText, entry.plan.merged, entry.uid,
                               QDateTime::currentDateTimeUtc());
            takeFieldsSent(run, entry, sent);
            const bool create = action == CardPlan::Remote::Create || !entry.remoteText;
            answer = run.client.put(url, sent, create ? QString() : entry.remoteEtag);
        }
        if (answer.status != 412) {
            if (action == CardPlan::Remote::Delete) {
                entry.remoteText.reset();
                ++run.report.deletedThere;
                return;
            }
            entry.remoteText = sent;
            entry.remoteEtag = answer.etag;
            if (answer.etag.isEmpty()) {
                const auto fetched = run.client.fetch(run.pairing.book, {entry.href});
                if (!fetched.empty()) {
                    entry.remoteEtag = fetched.front().etag;
                    entry.remoteText = fetched.front().text;
                }
            }
            ++run.report.uploaded;
            return;
        }
        const auto fetched = run.client.fetch(run.pairing.book, {entry.href});
        entry.remoteText.reset();
        if (!fetched.empty()) {
            entry.remoteEtag = fetched.front().etag;
            entry.remoteText = fetched.front().text;
        }
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

void writeFields(Run& run, const Entry& entry) {
    const store::Card before = comparable(*entry.local, run.pairing.category);
    std::vector<std::pair<Field, QString>> changed;
    for (std::size_t i = 0; i < store::kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        if (field != Field::Kategorien && before.text(field) != entry.plan.merged.text(field)) {
            changed.emplace_back(field, entry.plan.merged.text(field));
        }
    }
    if (!changed.empty()) {
        run.store.writeFields(entry.localId, changed);
    }
}

QString createHere(Run& run, const Entry& entry) {
    store::Card card = entry.plan.merged;
    card.set(Field::Kategorien, run.pairing.category);
    const std::int64_t id = run.store.insertCard(card);
    auto stmt = run.store.db().prepare("SELECT Uid FROM KartenInfo WHERE KarteId = ?1");
    stmt.bind(1, id);
    return stmt.step() ? stmt.textOrEmpty(0) : QString();
}

void applyHere(Run& run, const Listing& listing) {
    store::Database& db = run.store.db();
    store::Transaction tx(db);
    for (Entry& entry : run.entries) {
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
    if (auto existing = db.prepare("SELECT 1 FROM tblAdrCfg WHERE KategorieName = ?1");
        !existing.bind(1, run.pairing.category).step()) {
        run.store.addCategory(run.pairing.category);
    }
    saveSyncToken(db, run.pairing.id, listing.token);
    tx.commit();
}

}  // namespace

SyncReport synchronize(store::CardStore& store, const Pairing& pairing, DavClient& client,
                       const SyncProgress& progress) {
    Run run{store, pairing, client, progress, {}, {}, {}};
    run.heading =
        QStringLiteral("Konflikt beim Abgleich am %1 – hier stand:")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")));
    run.step(0, 1, QStringLiteral("Das Adressbuch wird gelesen …"));
    const Listing listing = client.list(pairing.book, pairing.syncToken);
    collectEntries(run, listing);
    fetchChanged(run);
    std::vector<Entry*> toSend;
    std::erase_if(run.entries, [&](Entry& entry) {
        if (plan(run, entry)) {
            return false;
        }
        ++run.report.skipped;
        return true;
    });
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
    if (client.cancelled()) {
        throw SyncError(SyncError::Kind::Cancelled, QStringLiteral("Abgebrochen."));
    }
    run.step(total - 1, total, QStringLiteral("Die Kartei wird geschrieben …"));
    applyHere(run, listing);
    run.step(total, total, QStringLiteral("Fertig."));
    return run.report;
}

QString reportText(const SyncReport& report) {
    QString text = QStringLiteral(
                       "%1 Karten vom Server übernommen, %2 zum Server gesendet, %3 hier "
                       "gelöscht, %4 auf dem Server gelöscht.")
                       .arg(report.downloaded)
                       .arg(report.uploaded)
                       .arg(report.deletedHere)
                       .arg(report.deletedThere);
    if (report.skipped > 0) {
        text += QStringLiteral(" %1 Karten des Servers ohne Namen blieben unberührt.")
                    .arg(report.skipped);
    }
    if (!report.conflicts.isEmpty()) {
        text += QStringLiteral("\nKonflikte (der Wert von hier steht in den Notizen):\n  ") +
                report.conflicts.join(QStringLiteral("\n  "));
    }
    return text;
}

}  // namespace veltro::sync
