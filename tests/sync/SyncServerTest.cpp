#include "HostileProxy.h"
#include "SyncFixture.h"

#include "maintenance/CardOperations.h"
#include "store/CardExtrasTable.h"
#include "store/Snapshot.h"
#include "store/UndoLog.h"
#include "sync/SyncError.h"

#include <QTcpServer>

#include <gtest/gtest.h>

namespace {

using namespace Qt::Literals::StringLiterals;
using veltro::store::Field;
using veltro::testing::GivenCard;
using veltro::testing::HostileProxy;
using ReplyKind = HostileProxy::Reply::Kind;
using veltro::testing::serverCard;
namespace sync = veltro::sync;

class SyncServer : public veltro::testing::SyncFixture {
protected:
    // Two cards here, one of them with a number, one card of another category that stays
    // here, and one card on the server with a photo, a birthday and a second number.
    void startWithCardsOnBothSides() {
        addCards({{u"Bauer Anna"_s,
                   u"Privat"_s,
                   {{Field::Vorname, u"Anna"_s},
                    {Field::Nachname, u"Bauer"_s},
                    {Field::Vorwahl, u"0951"_s},
                    {Field::Telefon, u"11111"_s}}},
                  {u"Meier Hans"_s,
                   u"Privat"_s,
                   {{Field::Vorname, u"Hans"_s},
                    {Field::Nachname, u"Meier"_s},
                    {Field::EMailAdresse, u"hans@example.de"_s}}},
                  {u"Huber Max"_s,
                   u"Privat"_s,
                   {{Field::Vorname, u"Max"_s}, {Field::Nachname, u"Huber"_s}}},
                  {u"Schmidt Jo"_s, u"Arbeit"_s, {{Field::Nachname, u"Schmidt"_s}}}});
        server_->put(
            book_, book_.path() + u"zorn.vcf"_s,
            serverCard(u"Zorn"_s, u"Eva"_s,
                       u"EMAIL:eva@example.de\r\nEMAIL;TYPE=WORK:zorn@firma.example\r\n"
                       u"BDAY:1975-05-05\r\n"
                       u"TEL;TYPE=HOME,VOICE:0911 1234\r\nTEL;TYPE=WORK,VOICE:0911 9999\r\n"
                       u"PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQ==\r\n"_s));
    }
};

TEST_F(SyncServer, FirstSyncBringsCardsBothWaysAndASecondChangesNothing) {
    startWithCardsOnBothSides();
    const auto report = syncNow();
    EXPECT_EQ(report.downloaded, 1);
    EXPECT_EQ(report.uploaded, 3);
    const auto there = serverCards();
    ASSERT_EQ(there.size(), 4U);
    EXPECT_TRUE(there.at(u"Anna Bauer"_s).contains(u"N:Bauer;Anna;;;"_s));
    EXPECT_TRUE(there.at(u"Anna Bauer"_s).contains(u"0951 11111"_s));
    EXPECT_TRUE(there.at(u"Hans Meier"_s).contains(u"hans@example.de"_s));
    const auto here = localCards();
    ASSERT_EQ(here.size(), 4U);
    EXPECT_EQ(here.at(u"Zorn Eva"_s).text(Field::EMailAdresse), u"eva@example.de"_s);
    EXPECT_EQ(here.at(u"Zorn Eva"_s).text(Field::Telefon), u"1234"_s);
    {
        auto cards = openStore();
        auto uid = cards.db().prepare("SELECT Uid FROM KartenInfo WHERE KarteId = ?1");
        ASSERT_TRUE(uid.bind(1, here.at(u"Zorn Eva"_s).id).step());
        EXPECT_EQ(uid.textOrEmpty(0), u"srv-Zorn-Eva"_s) << "the server's identity is kept";
    }

    const auto again = syncNow();
    EXPECT_EQ(again.downloaded + again.uploaded + again.deletedHere + again.deletedThere, 0);
    EXPECT_EQ(serverCards().size(), 4U);
}

TEST_F(SyncServer, ChangesAndDeletesOnEitherSideReachTheOther) {
    startWithCardsOnBothSides();
    syncNow();
    {
        auto cards = openStore();
        const auto here = localCards();
        cards.writeFields(here.at(u"Bauer Anna"_s).id, {{Field::Telefon, u"4711"_s}});
        cards.deleteCard(here.at(u"Meier Hans"_s).id);
    }
    editOnServer(u"Eva Zorn"_s, u"eva@example.de"_s, u"eva.zorn@example.de"_s);
    server_->remove(book_, hrefOf(u"Max Huber"_s));

    const auto report = syncNow();
    EXPECT_EQ(report.uploaded, 1);
    EXPECT_EQ(report.downloaded, 1);
    EXPECT_EQ(report.deletedHere, 1);
    EXPECT_EQ(report.deletedThere, 1);
    auto there = serverCards();
    EXPECT_EQ(there.count(u"Hans Meier"_s), 0U);
    EXPECT_TRUE(there.at(u"Anna Bauer"_s).contains(u"0951 4711"_s));
    auto here = localCards();
    EXPECT_EQ(here.count(u"Huber Max"_s), 0U);
    EXPECT_EQ(here.at(u"Zorn Eva"_s).text(Field::EMailAdresse), u"eva.zorn@example.de"_s);

    // A phone's card changed here, a third number added, arrives whole.
    {
        auto cards = openStore();
        const std::int64_t zorn = here.at(u"Zorn Eva"_s).id;
        cards.writeFields(zorn, {{Field::Ort, u"Fürth"_s}});
        auto extras = veltro::store::loadCardExtras(cards.db(), zorn);
        EXPECT_EQ(extras.birthday, (veltro::store::PartialDate{1975, 5, 5}));
        EXPECT_EQ(extras.photo->mediaType, u"image/jpeg"_s);
        extras.entries.push_back(
            {veltro::store::EntryKind::Telefon, veltro::store::EntryType::Privat, u"0911 5555"_s});
        veltro::store::writeCardExtras(cards.db(), zorn, extras);
    }
    syncNow();
    const QString zorn = serverCards().at(u"Eva Zorn"_s);
    for (const char* kept : {"Fürth", "BDAY:1975-05-05", "PHOTO", "TEL;TYPE=WORK,VOICE:0911 9999",
                             "TEL;TYPE=HOME,VOICE:0911 5555", "eva.zorn@example.de",
                             "EMAIL;TYPE=INTERNET,WORK:zorn@firma.example", "UID:srv-Zorn-Eva"}) {
        EXPECT_TRUE(zorn.contains(QString::fromUtf8(kept))) << kept << "\n" << zorn.toStdString();
    }
}

TEST_F(SyncServer, ConflictsKeepTheServersValueAndNoteOursAndMergeDifferentFields) {
    startWithCardsOnBothSides();
    syncNow();
    const auto before = localCards();
    {
        auto cards = openStore();
        cards.writeFields(before.at(u"Bauer Anna"_s).id, {{Field::Telefon, u"22222"_s}});
        cards.writeFields(before.at(u"Meier Hans"_s).id, {{Field::Ort, u"Hof"_s}});
    }
    editOnServer(u"Anna Bauer"_s, u"0951 11111"_s, u"0951 33333"_s);
    editOnServer(u"Hans Meier"_s, u"hans@example.de"_s, u"hm@example.de"_s);

    const auto report = syncNow();
    EXPECT_EQ(report.conflicts, QStringList{u"Bauer Anna"_s});
    const auto here = localCards();
    const auto& bauer = here.at(u"Bauer Anna"_s);
    EXPECT_EQ(bauer.text(Field::Telefon), u"33333"_s);
    EXPECT_TRUE(bauer.text(Field::Notizen).contains(u"Konflikt"_s));
    EXPECT_TRUE(bauer.text(Field::Notizen).contains(u"Telefon: 22222"_s));
    EXPECT_EQ(here.at(u"Meier Hans"_s).text(Field::Ort), u"Hof"_s);
    EXPECT_EQ(here.at(u"Meier Hans"_s).text(Field::EMailAdresse), u"hm@example.de"_s);
    const auto there = serverCards();
    EXPECT_TRUE(there.at(u"Anna Bauer"_s).contains(u"Telefon: 22222"_s));
    EXPECT_TRUE(there.at(u"Hans Meier"_s).contains(u"Hof"_s));
    EXPECT_TRUE(there.at(u"Hans Meier"_s).contains(u"hm@example.de"_s));
}

TEST_F(SyncServer, AThousandCardsComeDownInAFirstSyncAndAHundredNewOnesGoUp) {
    for (int i = 0; i < 1000; ++i) {
        const QString last = u"Nachname%1"_s.arg(i, 4, 10, QChar(u'0'));
        server_->storeDirectly(book_, last + u".vcf"_s,
                               serverCard(last, u"Vera"_s,
                                          u"TEL;TYPE=HOME,VOICE:0911 %1\r\n"
                                          u"ADR;TYPE=HOME:;;Weg %1;Nürnberg;;90402;\r\n"_s.arg(i)));
    }
    // Radicale reads files put behind its back once, at its first listing.
    ASSERT_EQ(server_->count(book_), 1000);
    EXPECT_EQ(syncNow().downloaded, 1000);
    EXPECT_EQ(localCards().at(u"Nachname0999 Vera"_s).text(Field::Strasse), u"Weg 999"_s);
    EXPECT_EQ(syncNow().uploaded, 0);

    std::vector<GivenCard> many;
    for (int i = 0; i < 100; ++i) {
        const QString last = u"Neu%1"_s.arg(i, 3, 10, QChar(u'0'));
        many.push_back({last + u" Vera"_s,
                        u"Privat"_s,
                        {{Field::Nachname, last},
                         {Field::Vorname, u"Vera"_s},
                         {Field::Telefon, u"%1"_s.arg(i)}}});
    }
    addCards(many);
    EXPECT_EQ(syncNow().uploaded, 100);
    EXPECT_EQ(server_->count(book_), 1100);
}

TEST_F(SyncServer, ABookPairedWithAnotherCategoryStartsAfreshAndDeletesNothing) {
    startWithCardsOnBothSides();
    syncNow();
    auto cards = openStore();
    auto pairing = pairing_;
    pairing.category = u"Arbeit"_s;
    sync::savePairing(cards.db(), pairing);
    pairing = *sync::pairingForBook(cards.db(), book_);
    sync::DavClient client({u"anna"_s, u"geheim"_s}, book_);
    const auto report = sync::synchronize(cards, pairing, client);
    EXPECT_EQ(report.deletedThere, 0);
    EXPECT_EQ(report.downloaded, 4);
    EXPECT_EQ(report.uploaded, 1) << "the card of Arbeit";
    EXPECT_EQ(serverCards().size(), 5U);
    EXPECT_EQ(localCards().size(), 4U) << "Privat keeps its cards";
}

TEST_F(SyncServer, ARenamedCategoryTakesItsBookAlong) {
    startWithCardsOnBothSides();
    syncNow();
    {
        auto cards = openStore();
        veltro::maintenance::renameCategory(cards, u"Privat"_s, u"Familie"_s);
    }
    const auto report = syncNow();
    EXPECT_EQ(report.deletedThere + report.deletedHere + report.uploaded + report.downloaded, 0);
    EXPECT_EQ(serverCards().size(), 4U);
    auto cards = openStore();
    EXPECT_EQ(sync::pairingForBook(cards.db(), book_)->category, u"Familie"_s);
}

TEST_F(SyncServer, AConnectionLostMidwayChangesNothingHereAndTheNextSyncCatchesUp) {
    startWithCardsOnBothSides();
    syncNow();
    {
        auto cards = openStore();
        for (const auto& [heading, card] : localCards()) {
            cards.writeFields(card.id, {{Field::Ort, u"Erlangen"_s}});
        }
    }
    for (const QString& first : {u"Nina"_s, u"Otto"_s}) {
        addCards({{u"Neu "_s + first,
                   u"Privat"_s,
                   {{Field::Nachname, u"Neu"_s},
                    {Field::Vorname, first},
                    {Field::Ort, u"Erlangen"_s}}}});
    }
    const auto before = syncState();

    // The network goes at the third card sent: no answer to it or to anything after it.
    HostileProxy proxy(server_->port());
    int puts = 0;
    proxy.setRule([&puts](const HostileProxy::Request& request) {
        puts += request.method == "PUT" ? 1 : 0;
        return HostileProxy::Reply{puts > 2 ? ReplyKind::Own : ReplyKind::Pass, {}, {}};
    });
    EXPECT_THROW(syncNow(proxy.through(book_)), sync::SyncError);
    EXPECT_GT(puts, 2);
    EXPECT_EQ(syncState(), before);

    const auto report = syncNow();
    EXPECT_TRUE(report.conflicts.isEmpty());
    const auto here = localCards();
    const auto there = serverCards();
    ASSERT_EQ(here.size(), 6U);
    ASSERT_EQ(there.size(), 6U);
    for (const auto& [name, text] : there) {
        EXPECT_TRUE(text.contains(u"Erlangen"_s)) << name.toStdString();
    }
    EXPECT_EQ(syncNow().uploaded, 0);
}

TEST_F(SyncServer, AWrongPasswordIsReportedWithTheServersAnswerAndChangesNothing) {
    startWithCardsOnBothSides();
    const auto before = syncState();
    auto cards = openStore();
    sync::DavClient client({u"anna"_s, u"falsch"_s}, book_);
    try {
        sync::synchronize(cards, pairing_, client);
        ADD_FAILURE() << "no error";
    } catch (const sync::SyncError& e) {
        EXPECT_EQ(e.kind(), sync::SyncError::Kind::Login);
        EXPECT_TRUE(e.text().contains(u"Anmeldung"_s)) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains(u"401"_s)) << e.text().toStdString();
    }
    EXPECT_EQ(syncState(), before);
    EXPECT_EQ(server_->cards(book_).size(), 1);
}

TEST_F(SyncServer, ACardChangedOnTheServerWhileSendingIsReadAgainAndMerged) {
    startWithCardsOnBothSides();
    syncNow();
    openStore().writeFields(localCards().at(u"Bauer Anna"_s).id, {{Field::Ort, u"Coburg"_s}});
    bool changed = false;
    sync::SyncOptions options;
    options.progress = [&](int, int, const QString& step) {
        if (!changed && step.contains(u"gesendet"_s)) {
            changed = true;
            editOnServer(u"Anna Bauer"_s, u"N:Bauer;Anna;;;"_s,
                         u"N:Bauer;Anna;;;\r\nEMAIL:anna@example.de"_s);
        }
    };
    const auto report = syncNow({}, options);
    EXPECT_TRUE(changed);
    EXPECT_TRUE(report.conflicts.isEmpty());
    const QString bauer = serverCards().at(u"Anna Bauer"_s);
    EXPECT_TRUE(bauer.contains(u"Coburg"_s)) << bauer.toStdString();
    EXPECT_TRUE(bauer.contains(u"anna@example.de"_s)) << bauer.toStdString();
    EXPECT_EQ(localCards().at(u"Bauer Anna"_s).text(Field::EMailAdresse), u"anna@example.de"_s);
}

// "Nein" at exit cannot take back what the server holds: what a sync brought in step stays
// as it is, the pairing and its state with it, so a later edit is a plain change, no conflict.
TEST_F(SyncServer, DiscardAtExitKeepsWhatASyncSettledAndALaterEditIsNoConflict) {
    startWithCardsOnBothSides();
    {
        auto cards = openStore();
        veltro::store::Snapshot::take(cards.db());
        sync::removePairing(cards.db(), pairing_.id);
        pairing_.id = sync::savePairing(cards.db(), pairing_);
        cards.writeFields(localCards().at(u"Bauer Anna"_s).id, {{Field::Ort, u"Hof"_s}});
    }
    EXPECT_EQ(syncNow().uploaded, 3) << "a sync that only uploads";
    openStore().writeFields(localCards().at(u"Meier Hans"_s).id, {{Field::Ort, u"Selb"_s}});
    {
        auto cards = openStore();
        veltro::store::Snapshot::discard(cards.db());
        ASSERT_TRUE(sync::pairingForBook(cards.db(), book_).has_value());
    }
    const auto here = localCards();
    EXPECT_EQ(here.at(u"Bauer Anna"_s).text(Field::Ort), u"Hof"_s) << "synced, so kept";
    EXPECT_EQ(here.at(u"Meier Hans"_s).text(Field::Ort), u""_s) << "back to what the sync settled";
    EXPECT_EQ(here.count(u"Zorn Eva"_s), 1U);

    openStore().writeFields(here.at(u"Bauer Anna"_s).id, {{Field::Telefon, u"4711"_s}});
    const auto report = syncNow();
    EXPECT_TRUE(report.conflicts.isEmpty());
    EXPECT_TRUE(serverCards().at(u"Anna Bauer"_s).contains(u"0951 4711"_s));
    EXPECT_EQ(localCards().at(u"Bauer Anna"_s).text(Field::Telefon), u"4711"_s);
}

// A server that takes the connection and never answers.
TEST(SyncSilence, ATimeOutAndACancelEachEndTheRequestWithAGermanReason) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const QUrl url(u"http://127.0.0.1:%1/"_s.arg(silent.serverPort()));
    struct Case {
        const char* name;
        bool cancel;
        sync::SyncError::Kind kind;
        QString says;
    };
    for (const Case& c :
         {Case{"time-out", false, sync::SyncError::Kind::Timeout,
               u"nicht innerhalb von 1 Sekunden geantwortet"_s},
          Case{"cancel", true, sync::SyncError::Kind::Cancelled, u"Abgebrochen"_s}}) {
        SCOPED_TRACE(c.name);
        sync::DavClient client({u"anna"_s, u"geheim"_s}, url);
        client.setTimeout(c.cancel ? 30000 : 1000);
        const QObject thisCase;  // ends the connection below before the client goes
        if (c.cancel) {          // once the request has reached the server
            QObject::connect(&silent, &QTcpServer::newConnection, &thisCase,
                             [&client] { client.cancel(); });
        }
        try {
            (void)client.discover(url);
            ADD_FAILURE() << "no error";
        } catch (const sync::SyncError& e) {
            EXPECT_EQ(e.kind(), c.kind) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains(c.says)) << e.text().toStdString();
        }
    }
}

TEST(SyncTls, AnUntrustedCertificateIsRefusedWithItsFingerprintUntilAcceptedByIt) {
    if (!veltro::testing::RadicaleServer::installed()) {
        GTEST_SKIP() << "Radicale ist nicht installiert.";
    }
    veltro::testing::RadicaleServer server(true);
    ASSERT_TRUE(server.running());
    ASSERT_FALSE(server.fingerprint().isEmpty());
    const QUrl book = server.addBook(u"sicher"_s, u"Sicher"_s);
    try {
        sync::DavClient client({u"anna"_s, u"geheim"_s}, server.root());
        (void)client.discover(server.root());
        ADD_FAILURE() << "a self-signed certificate was trusted";
    } catch (const sync::SyncError& e) {
        EXPECT_EQ(e.kind(), sync::SyncError::Kind::Certificate) << e.text().toStdString();
        EXPECT_EQ(e.fingerprint(), server.fingerprint());
        EXPECT_TRUE(e.text().contains(server.fingerprint())) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains(u"selbst signiert"_s)) << "in German, not Qt's English";
    }
    sync::DavClient other({u"anna"_s, u"geheim"_s}, server.root(), u"00:11"_s);
    EXPECT_THROW((void)other.discover(server.root()), sync::SyncError) << "another fingerprint";
    sync::DavClient accepted({u"anna"_s, u"geheim"_s}, server.root(), server.fingerprint());
    const auto books = accepted.discover(server.root());
    ASSERT_EQ(books.size(), 1U);
    EXPECT_EQ(books.front().url, book);
}

// Undoing a step from before a sync would write old rows over what the server brought.
TEST_F(SyncServer, ASyncThatChangesCardsHereEndsWhatCouldBeUndone) {
    startWithCardsOnBothSides();
    {
        auto cards = openStore();
        veltro::store::UndoStep step(cards.db(), u"Karte löschen"_s);
        cards.deleteCard(cards.findByHeading(u"Huber Max"_s).value());
        step.commit();
        ASSERT_TRUE(veltro::store::UndoLog::undoName(cards.db()).has_value());
    }
    ASSERT_EQ(syncNow().downloaded, 1);
    auto cards = openStore();
    EXPECT_FALSE(veltro::store::UndoLog::undoName(cards.db()).has_value());
}

// A conflict on one field adds its note to the notes as they are, formatting and all.
TEST_F(SyncServer, AConflictKeepsTheFormattingOfTheNotes) {
    const QString rich =
        u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
        u"\\f0 Bitte {\\b fett} und {\\cf1 rot}.\\par}"_s;
    addCards({{u"Bauer Anna"_s,
               u"Privat"_s,
               {{Field::Nachname, u"Bauer"_s},
                {Field::Vorname, u"Anna"_s},
                {Field::Telefon, u"11111"_s},
                {Field::Notizen, rich}}}});
    syncNow();
    openStore().writeFields(localCards().at(u"Bauer Anna"_s).id, {{Field::Telefon, u"22222"_s}});
    editOnServer(u"Anna Bauer"_s, u"11111"_s, u"33333"_s);
    EXPECT_EQ(syncNow().conflicts, QStringList{u"Bauer Anna"_s});
    const QString notes = localCards().at(u"Bauer Anna"_s).text(Field::Notizen);
    EXPECT_TRUE(notes.startsWith(u"{\\rtf"_s)) << notes.toStdString();
    EXPECT_TRUE(notes.contains(u"\\b"_s)) << notes.toStdString();
    EXPECT_TRUE(notes.contains(u"Telefon: 22222"_s)) << notes.toStdString();
    const auto again = syncNow();
    EXPECT_EQ(again.uploaded + again.downloaded, 0) << "both sides agree on the notes' text";
}

// Consent to many deletions is asked by the command line's and the window's own tests.
TEST_F(SyncServer, ABackupComesBeforeChangesHereOnly) {
    startWithCardsOnBothSides();
    int backups = 0;
    sync::SyncOptions options;
    options.beforeChangesHere = [&] { ++backups; };
    EXPECT_EQ(syncNow({}, options).downloaded, 1);
    EXPECT_EQ(backups, 1);
    syncNow({}, options);
    EXPECT_EQ(backups, 1) << "nothing changed here, nothing to back up";
}

}  // namespace
