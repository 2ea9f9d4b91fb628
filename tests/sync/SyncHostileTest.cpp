#include "HostileProxy.h"
#include "StoreState.h"
#include "SyncFixture.h"

#include "sync/SyncError.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace Qt::Literals::StringLiterals;
using veltro::store::Field;
using veltro::testing::HostileProxy;
namespace sync = veltro::sync;
using Kind = sync::SyncError::Kind;
using Reply = HostileProxy::Reply;
using Request = HostileProxy::Request;

const QByteArray kMaintenance =
    "<!DOCTYPE html><html><head><title>Wartung</title></head><body><h1>Wartungsarbeiten</h1>"
    "<p>Der Dienst ist bald wieder da.</p></body></html>";

bool isListing(const Request& request) {
    return request.method == "REPORT" && request.body.contains("sync-collection");
}

bool withToken(const Request& request) {
    static const QRegularExpression token(u"sync-token>[^<]+<"_s);
    return isListing(request) && token.match(QString::fromUtf8(request.body)).hasMatch();
}

Reply own(const QByteArray& status, const QByteArray& type, const QByteArray& body) {
    return {Reply::Kind::Own, HostileProxy::answer(status, type, body), {}};
}

// The given kind for the requests meant, else the server's answer.
Reply onlyIf(bool meant, Reply::Kind kind) {
    Reply reply;
    reply.kind = meant ? kind : Reply::Kind::Pass;
    return reply;
}

Reply html() {
    return own("200 OK", "text/html; charset=utf-8", kMaintenance);
}

Reply conflict() {
    return own("409 Conflict", "text/xml; charset=utf-8",
               R"(<?xml version="1.0"?><error xmlns="DAV:"><valid-sync-token/></error>)");
}

std::string described(const std::vector<Request>& requests) {
    std::string text;
    for (const Request& request : requests) {
        text += (request.method + ' ' + request.path).toStdString() +
                (request.authorized ? " with login\n" : "\n");
    }
    return text;
}

// Twenty cards here and on the server, in step.
class SyncHostile : public veltro::testing::SyncFixture {
protected:
    void SetUp() override {
        SyncFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        std::vector<veltro::testing::GivenCard> cards;
        for (int i = 1; i <= 20; ++i) {
            const QString last = u"Name%1"_s.arg(i, 2, 10, QChar(u'0'));
            cards.push_back({last + u" Vera"_s,
                             u"Privat"_s,
                             {{Field::Nachname, last}, {Field::Vorname, u"Vera"_s}}});
        }
        addCards(cards);
        ASSERT_EQ(syncNow().uploaded, 20);
    }

    // Syncs through the proxy, with a client whose login goes only there.
    void syncThrough(const HostileProxy& proxy, int timeoutMs = 30000) const {
        auto cards = openStore();
        auto pairing = *sync::pairingForBook(cards.db(), book_);
        pairing.book = proxy.through(book_);
        sync::DavClient client({QLatin1String(veltro::testing::RadicaleServer::kUser),
                                QLatin1String(veltro::testing::RadicaleServer::kPassword)},
                               proxy.through(server_->root()));
        client.setTimeout(timeoutMs);
        sync::synchronize(cards, pairing, client);
    }

    // A refused sync changed nothing here, and the next normal one deletes nothing.
    void expectUntouched(const QStringList& before) const {
        EXPECT_EQ(syncState(), before);
        sync::SyncReport report;
        EXPECT_NO_THROW(report = syncNow());
        EXPECT_EQ(report.deletedHere, 0);
        EXPECT_EQ(report.deletedThere, 0);
        EXPECT_EQ(localCards().size(), 20U);
        EXPECT_EQ(server_->count(book_), 20);
    }
};

TEST_F(SyncHostile, AnAnswerThatIsNotWhatWasAskedEndsTheSyncWithNothingChanged) {
    struct Case {
        const char* name;
        std::function<Reply(Request&)> rule;
        Kind kind = Kind::Unreadable;
        int timeoutMs = 30000;
    };
    const std::vector<Case> cases = {
        {"maintenance page for the listing",
         [](Request& r) { return isListing(r) ? html() : Reply{}; }},
        {"maintenance page for the first PROPFIND",
         [](Request& r) { return r.method == "PROPFIND" ? html() : Reply{}; }},
        {"empty 207",
         [](Request& r) {
             return isListing(r) ? own("207 Multi-Status", "text/xml; charset=utf-8", {}) : Reply{};
         }},
        {"204 twice",
         [left = 2](Request& r) mutable {
             return isListing(r) && left-- > 0 ? own("204 No Content", "text/xml", {}) : Reply{};
         }},
        {"409, then a maintenance page",
         [](Request& r) { return withToken(r)   ? conflict()
                                 : isListing(r) ? html()
                                                : Reply{}; }},
        {"409, then half the listing with a length to match",
         [](Request& r) {
             return withToken(r) ? conflict() : onlyIf(isListing(r), Reply::Kind::Cut);
         }},
        {"409, then half the listing and the connection closed",
         [](Request& r) {
             return withToken(r) ? conflict() : onlyIf(isListing(r), Reply::Kind::CloseEarly);
         },
         Kind::Network},
        {"200 MB listing", [](Request& r) { return onlyIf(isListing(r), Reply::Kind::Huge); },
         Kind::TooLarge},
        {"no answer to the listing",
         [](Request& r) { return onlyIf(isListing(r), Reply::Kind::Silent); }, Kind::Timeout, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList before = syncState();
        HostileProxy proxy(server_->port());
        proxy.setRule(c.rule);
        try {
            syncThrough(proxy, c.timeoutMs);
            ADD_FAILURE() << "no error; requests:\n" << described(proxy.seen());
        } catch (const sync::SyncError& e) {
            EXPECT_EQ(e.kind(), c.kind) << e.text().toStdString();
            if (c.kind == Kind::Unreadable) {
                EXPECT_TRUE(e.text().startsWith(u"Die Antwort des Servers ist nicht lesbar"_s))
                    << e.text().toStdString();
            }
        }
        // Its announced length is refused before the body is read.
        if (c.kind == Kind::TooLarge) {
            EXPECT_LT(proxy.hugeBytesSent(), sync::kListingLimit) << "refused on its length";
        }
        expectUntouched(before);
    }
}

// The answers of REPORT show the book's cards elsewhere; requests get the real place back.
HostileProxy::Rule relocated(const QByteArray& real, const QByteArray& shown) {
    return [real, shown](Request& request) {
        Reply reply;
        if (request.method == "REPORT") {
            request.body.replace(shown, real);
            reply.alter = [real, shown](QByteArray body) {
                return body.replace('>' + real, '>' + shown);
            };
        }
        return reply;
    };
}

TEST_F(SyncHostile, CardsListedOutsideTheBookAreRefusedAndNeverWrittenThere) {
    HostileProxy elsewhere(0, QHostAddress(u"127.0.0.2"_s));
    ASSERT_TRUE(elsewhere.isListening());
    const QUrl otherBook = server_->addBook(u"andere"_s, u"Andere"_s);
    const QByteArray real = book_.path().toUtf8();
    const QByteArray otherHost = "http://127.0.0.2:" + QByteArray::number(elsewhere.serverPort());
    struct Case {
        const char* name;
        QByteArray shown;
        QString named;
    };
    for (const Case& c : {Case{"another host", otherHost + real, u"127.0.0.2"_s},
                          Case{"../../", real + "../../anna/andere/", {}}}) {
        SCOPED_TRACE(c.name);
        // A change on either side, so that the listing names a card and a card goes up.
        editOnServer(u"Vera Name01"_s, u"END:VCARD"_s, u"EMAIL:vera@example.de\r\nEND:VCARD"_s);
        openStore().writeFields(localCards().at(u"Name02 Vera"_s).id, {{Field::Ort, u"Hof"_s}});
        const QStringList before = syncState();
        HostileProxy proxy(server_->port());
        proxy.setRule(relocated(real, c.shown));
        try {
            syncThrough(proxy);
            ADD_FAILURE() << "no error; requests:\n" << described(proxy.seen());
        } catch (const sync::SyncError& e) {
            EXPECT_EQ(e.kind(), Kind::Foreign) << e.text().toStdString();
            EXPECT_TRUE(e.text().contains(c.named)) << e.text().toStdString();
        }
        EXPECT_EQ(syncState(), before);
        // Had the listing been taken, changes here would now go where it pointed.
        {
            auto cards = openStore();
            for (const auto& [heading, card] : localCards()) {
                cards.writeFields(card.id, {{Field::Ort, QString::fromLatin1(c.name)}});
            }
        }
        EXPECT_NO_THROW(syncNow());
        EXPECT_EQ(localCards().size(), 20U);
        EXPECT_EQ(server_->count(book_), 20);
        EXPECT_EQ(server_->count(otherBook), 0);
        EXPECT_TRUE(elsewhere.seen().empty()) << described(elsewhere.seen());
    }
}

TEST_F(SyncHostile, DiscoveryDoesNotFollowThePrincipalToAnotherHost) {
    HostileProxy elsewhere(0, QHostAddress(u"127.0.0.2"_s));
    ASSERT_TRUE(elsewhere.isListening());
    const QByteArray otherHost = "http://127.0.0.2:" + QByteArray::number(elsewhere.serverPort());
    HostileProxy proxy(server_->port());
    proxy.setRule([otherHost](Request&) {
        Reply reply;
        reply.alter = [otherHost](QByteArray body) {
            return body.replace("<current-user-principal><href>/",
                                "<current-user-principal><href>" + otherHost + '/');
        };
        return reply;
    });
    const QUrl start = proxy.through(server_->root());
    sync::DavClient client({u"anna"_s, u"geheim"_s}, start);
    try {
        (void)client.discover(start);
        ADD_FAILURE() << "no error; requests:\n" << described(proxy.seen());
    } catch (const sync::SyncError& e) {
        EXPECT_EQ(e.kind(), Kind::Foreign) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains(u"127.0.0.2"_s)) << e.text().toStdString();
    }
    EXPECT_TRUE(elsewhere.seen().empty()) << described(elsewhere.seen());
}

}  // namespace
