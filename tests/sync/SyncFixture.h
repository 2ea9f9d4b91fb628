#pragma once

#include "RadicaleServer.h"
#include "TestHome.h"
#include "store/CardStore.h"
#include "sync/SyncRun.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace veltro::testing {

// One Radicale for the whole test program, a new address book and store for each test,
// the category "Privat" paired with the book.
class SyncFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    [[nodiscard]] store::CardStore openStore() const;
    // Syncs the store with the book, through another address when given.
    sync::SyncReport syncNow(const QUrl& through = {}, const sync::SyncOptions& options = {}) const;
    void addCards(const std::vector<GivenCard>& cards) const;
    // Cards of "Privat" by heading.
    [[nodiscard]] std::map<QString, store::Card> localCards() const;
    // Server cards by their FN.
    [[nodiscard]] std::map<QString, QString> serverCards() const;
    [[nodiscard]] QString hrefOf(const QString& formattedName) const;
    // The cards, what the store knows of the server's and the token.
    [[nodiscard]] QStringList syncState() const;
    // Changes a server card's text with the second client.
    void editOnServer(const QString& formattedName, const QString& from, const QString& to) const;

    static std::unique_ptr<RadicaleServer> server_;
    TestHome home_;
    QUrl book_;
    sync::Pairing pairing_;
};

[[nodiscard]] QByteArray serverCard(const QString& last, const QString& first,
                                    const QString& extra = {});

}  // namespace veltro::testing
