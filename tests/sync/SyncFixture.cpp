#include "SyncFixture.h"

#include "StoreState.h"

#include "store/Schema.h"

#include <QJsonObject>
#include <QRegularExpression>

namespace veltro::testing {

std::unique_ptr<RadicaleServer> SyncFixture::server_;

void SyncFixture::SetUpTestSuite() {
    if (RadicaleServer::installed()) {
        server_ = std::make_unique<RadicaleServer>();
    }
}

void SyncFixture::TearDownTestSuite() {
    server_.reset();
}

void SyncFixture::SetUp() {
    if (!server_) {
        GTEST_SKIP() << "Radicale ist nicht installiert (Debian-Paket radicale, python3-requests; "
                        "scripts/install-deps installiert beide).";
    }
    ASSERT_TRUE(server_->running()) << "Radicale did not start";
    static int books = 0;
    book_ = server_->addBook(QStringLiteral("buch%1").arg(++books), QStringLiteral("Kontakte"));
    makeStore(home_.dir(), {QStringLiteral("Privat"), QStringLiteral("Arbeit")}, {});
    auto cards = openStore();
    pairing_.server = server_->root();
    pairing_.user = QLatin1String(RadicaleServer::kUser);
    pairing_.book = book_;
    pairing_.category = QStringLiteral("Privat");
    pairing_.id = sync::savePairing(cards.db(), pairing_);
}

store::CardStore SyncFixture::openStore() const {
    return store::CardStore::open(home_.storeFile());
}

sync::SyncReport SyncFixture::syncNow(const QUrl& through, const sync::SyncOptions& options) const {
    auto cards = openStore();
    auto pairing = *sync::pairingForBook(cards.db(), book_);
    if (!through.isEmpty()) {
        pairing.book = through;
    }
    sync::DavClient client(
        {QLatin1String(RadicaleServer::kUser), QLatin1String(RadicaleServer::kPassword)},
        pairing.book);
    return sync::synchronize(cards, pairing, client, options);
}

void SyncFixture::addCards(const std::vector<GivenCard>& given) const {
    auto cards = openStore();
    store::Transaction tx(cards.db());
    store::CardInserter inserter(cards.db());
    for (const auto& wanted : given) {
        inserter.insert(cardFrom(wanted));
    }
    tx.commit();
}

std::map<QString, store::Card> SyncFixture::localCards() const {
    auto cards = openStore();
    std::map<QString, store::Card> found;
    cards.forEachCard([&](const store::Card& card) {
        if (card.text(store::Field::Kategorien) == u"Privat") {
            found[card.text(store::Field::Schlagworte)] = card;
        }
    });
    return found;
}

std::map<QString, QString> SyncFixture::serverCards() const {
    std::map<QString, QString> found;
    const QJsonObject all = server_->cards(book_);
    static const QRegularExpression fn(QStringLiteral("(?:^|\\n)FN:([^\\r\\n]*)"));
    for (auto it = all.begin(); it != all.end(); ++it) {
        // Unfolded, so that long values can be looked for whole.
        const QString text = it.value()
                                 .toObject()
                                 .value(QStringLiteral("text"))
                                 .toString()
                                 .replace(QStringLiteral("\r\n "), QString());
        found[fn.match(text).captured(1)] = text;
    }
    return found;
}

QStringList SyncFixture::syncState() const {
    auto cards = openStore();
    auto& db = cards.db();
    return rowsOf(db, "Kontakte", store::cardColumnList()) +
           rowsOf(db, "KartenInfo", "KarteId, Uid, Geaendert") +
           rowsOf(db, "SyncKarten", "Uid, Href, ETag, Text") +
           rowsOf(db, "SyncKonten", "SyncToken");
}

QString SyncFixture::hrefOf(const QString& formattedName) const {
    const QJsonObject all = server_->cards(book_);
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (it.value()
                .toObject()
                .value(QStringLiteral("text"))
                .toString()
                .contains(QStringLiteral("FN:") + formattedName + u'\r')) {
            return it.key();
        }
    }
    ADD_FAILURE() << "no card " << formattedName.toStdString() << " on the server";
    return {};
}

void SyncFixture::editOnServer(const QString& formattedName, const QString& from,
                               const QString& to) const {
    QString text = serverCards()[formattedName];
    ASSERT_TRUE(text.contains(from)) << text.toStdString();
    text.replace(from, to);
    server_->put(book_, hrefOf(formattedName), text.toUtf8());
}

QByteArray serverCard(const QString& last, const QString& first, const QString& extra) {
    return (QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:srv-%1-%2\r\nN:%1;%2;;;\r\n"
                           "FN:%2 %1\r\n")
                .arg(last, first) +
            extra + QStringLiteral("END:VCARD\r\n"))
        .toUtf8();
}

}  // namespace veltro::testing
