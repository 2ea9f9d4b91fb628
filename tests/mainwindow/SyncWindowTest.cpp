#include "MainWindowFixture.h"
#include "RadicaleServer.h"
#include "StoreState.h"

#include "backup/BackupFiles.h"
#include "store/CardStore.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"
#include "sync/SyncAccounts.h"
#include "sync/SyncDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

using namespace Qt::Literals::StringLiterals;
using veltro::platform::Answer;
using veltro::store::Field;
using veltro::testing::RadicaleServer;

class SyncWindow : public veltro::testing::MainWindowFixture {
protected:
    void SetUp() override {
        if (!RadicaleServer::installed()) {
            GTEST_SKIP() << "Radicale ist nicht installiert (scripts/install-deps installiert es).";
        }
        server_ = std::make_unique<RadicaleServer>(tls());
        ASSERT_TRUE(server_->running());
        book_ = server_->addBook(u"kontakte"_s, u"Kontakte"_s);
        server_->storeDirectly(book_, u"zorn.vcf"_s,
                               "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:zorn\r\nN:Zorn;Eva;;;\r\n"
                               "FN:Eva Zorn\r\nEND:VCARD\r\n");
    }
    [[nodiscard]] virtual bool tls() const { return false; }

    // Fills in the account, finds the books and pairs the first with `category`.
    void pairFirstBook(const QString& category) {
        window().syncDialog().showDialog();
        child<QLineEdit>("txtServer")->setText(server_->root().toString());
        child<QLineEdit>("txtBenutzer")->setText(QLatin1String(RadicaleServer::kUser));
        child<QLineEdit>("txtPasswort")->setText(QLatin1String(RadicaleServer::kPassword));
        findBooks();
        auto* books = child<QTreeWidget>("lstAdressbuecher");
        ASSERT_EQ(books->topLevelItemCount(), 1);
        QTreeWidgetItem* row = books->topLevelItem(0);
        EXPECT_EQ(row->text(0), u"Kontakte"_s);
        row->setCheckState(0, Qt::Checked);
        qobject_cast<QComboBox*>(books->itemWidget(row, 1))->setCurrentText(category);
    }
    // Searching and syncing run off the window's thread; the window waits for their end.
    void findBooks() {
        window().syncDialog().findBooks();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window().syncDialog().running(); }, 60000));
    }
    void syncNow() {
        window().syncDialog().syncNow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window().syncDialog().running(); }, 60000));
    }
    template <typename W>
    W* child(const char* name) {
        auto* found = window().findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    std::unique_ptr<RadicaleServer> server_;
    QUrl book_;
};

TEST_F(SyncWindow, SavesTheShownCardFirstPairsABookAndSaysSoAtExit) {
    open({u"Privat"_s}, {{u"Bauer Anna"_s,
                          u"Privat"_s,
                          {{Field::Nachname, u"Bauer"_s}, {Field::Vorname, u"Anna"_s}}}});
    chooseCategory(u"Privat"_s);
    clickLine(0);
    focus(box(8));
    QTest::keyClicks(box(8), u"Tischlerei"_s);

    pairFirstBook(u"Privat"_s);
    syncNow();

    const QString report = child<QPlainTextEdit>("txtBericht")->toPlainText();
    EXPECT_TRUE(report.contains(u"1 Karte vom Server übernommen, 1 zum Server gesendet"_s))
        << report.toStdString();
    EXPECT_TRUE(platform_->messages.empty());
    EXPECT_EQ(listLines(), (QStringList{u"Bauer Anna"_s, u"Zorn Eva"_s}));
    bool typedReachedServer = false;
    const QJsonObject cards = server_->cards(book_);
    for (auto it = cards.begin(); it != cards.end(); ++it) {
        typedReachedServer =
            typedReachedServer ||
            it.value().toObject().value(u"text"_s).toString().contains(u"Tischlerei"_s);
    }
    EXPECT_TRUE(typedReachedServer);

    // One before the run's first change (the typed firm), one before the sync's.
    EXPECT_EQ(veltro::backup::listBackups(veltro::backup::backupFolder(home_.storeFile())).size(),
              2U);

    platform_->answers.push_back(Answer::No);
    EXPECT_TRUE(window().close());
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_TRUE(platform_->messages[0].text.endsWith(
        u"\n\nWas mit dem Server abgeglichen wurde, bleibt auch bei „Nein“ hier und auf dem "
        u"Server so, wie es abgeglichen wurde."_s));
    // The next run finds the pairing and the synced cards as the server has them.
    window_.reset();
    openExisting();
    EXPECT_EQ(listLines(), (QStringList{u"Bauer Anna"_s, u"Zorn Eva"_s}));
    auto store = veltro::store::CardStore::open(home_.storeFile());
    EXPECT_EQ(veltro::sync::pairings(store.db()).size(), 1U);
    EXPECT_EQ(store.loadCard(*store.findByHeading(u"Bauer Anna"_s))->text(Field::Firma),
              u"Tischlerei"_s);
}

// More than ten cards and a quarter of a side to delete: the window asks, and "Nein" changes
// nothing on either side.
TEST_F(SyncWindow, ASyncThatWouldDeleteManyCardsAsksFirst) {
    std::vector<veltro::testing::GivenCard> many;
    for (int i = 0; i < 12; ++i) {
        many.push_back({u"Karte %1"_s.arg(i), u"Privat"_s, {{Field::Nachname, u"Karte"_s}}});
    }
    open({u"Privat"_s}, many);
    pairFirstBook(u"Privat"_s);
    syncNow();
    ASSERT_EQ(server_->count(book_), 13);
    {
        auto cards = veltro::store::CardStore::open(home_.storeFile());
        for (int i = 0; i < 12; ++i) {
            cards.deleteCard(*cards.findByHeading(u"Karte %1"_s.arg(i)));
        }
    }
    platform_->answers.push_back(Answer::No);
    syncNow();
    ASSERT_EQ(platform_->messages.size(), 2U);
    EXPECT_TRUE(platform_->messages[0].text.startsWith(
        u"Der Abgleich würde 0 von 1 Karten der Kategorie „Privat“ hier und 12 von 13 Karten "
        u"auf dem Server löschen."_s))
        << platform_->messages[0].text.toStdString();
    EXPECT_EQ(server_->count(book_), 13);
    platform_->answers.push_back(Answer::Yes);
    syncNow();
    EXPECT_EQ(server_->count(book_), 1);
}

TEST_F(SyncWindow, AnAutomaticSyncKeepsItsMinutesAndRunsOnItsOwnAfterTheNextStart) {
    open({u"Privat"_s}, {{u"Bauer Anna"_s,
                          u"Privat"_s,
                          {{Field::Nachname, u"Bauer"_s}, {Field::Vorname, u"Anna"_s}}}});
    pairFirstBook(u"Privat"_s);
    syncNow();
    ASSERT_EQ(server_->count(book_), 2);
    child<QSpinBox>("txtMinuten")->setValue(5);
    child<QCheckBox>("chkAutomatisch")->setChecked(true);
    EXPECT_EQ(veltro::settings::number(veltro::settings::key::SyncMinuten), 5.0);

    // The next start syncs on its own, without the window ever being opened.
    window_.reset();
    openExisting();
    QTimer* timer = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        timer = window().findChild<QTimer*>(u"tmrSync"_s);
        return timer != nullptr && timer->isActive();
    }));
    EXPECT_EQ(timer->interval(), 5 * 60000);
    server_->put(book_, book_.path() + u"huber.vcf"_s,
                 "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:huber\r\nN:Huber;Max;;;\r\n"
                 "FN:Max Huber\r\nEND:VCARD\r\n");
    timer->start(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listLines().contains(u"Huber Max"_s); }, 20000));
    timer->stop();
    EXPECT_TRUE(platform_->messages.empty());

    child<QCheckBox>("chkAutomatisch")->setChecked(false);
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(veltro::settings::number(veltro::settings::key::SyncMinuten), 0.0);
}

TEST_F(SyncWindow, AStoreHeldByAnotherProgramIsToldInGermanAndTheNextSyncCatchesUp) {
    const veltro::testing::BriefBusyWait brief;  // before the window opens its store
    open({u"Privat"_s}, {{u"Bauer Anna"_s,
                          u"Privat"_s,
                          {{Field::Nachname, u"Bauer"_s}, {Field::Vorname, u"Anna"_s}}}});
    pairFirstBook(u"Privat"_s);
    {
        auto other = veltro::store::Database::open(home_.storeFile());
        other.exec("BEGIN EXCLUSIVE");
        syncNow();
        other.exec("ROLLBACK");
    }
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_TRUE(platform_->messages[0].text.contains(u"belegt"_s))
        << platform_->messages[0].text.toStdString();
    EXPECT_EQ(server_->count(book_), 1);

    syncNow();
    EXPECT_EQ(platform_->messages.size(), 1U);
    EXPECT_EQ(server_->count(book_), 2);
    EXPECT_EQ(listLines(), (QStringList{u"Bauer Anna"_s, u"Zorn Eva"_s}));
}

class SyncWindowTls : public SyncWindow {
protected:
    [[nodiscard]] bool tls() const override { return true; }
};

TEST_F(SyncWindowTls, AnUntrustedCertificateIsTrustedOnlyWhenTheUserSaysSoAndThenKept) {
    open({u"Privat"_s}, {});
    window().syncDialog().showDialog();
    child<QLineEdit>("txtServer")->setText(server_->root().toString());
    child<QLineEdit>("txtBenutzer")->setText(QLatin1String(RadicaleServer::kUser));
    child<QLineEdit>("txtPasswort")->setText(QLatin1String(RadicaleServer::kPassword));
    platform_->answers.push_back(Answer::No);
    findBooks();
    ASSERT_EQ(platform_->messages.size(), 1U);
    EXPECT_TRUE(platform_->messages[0].text.contains(server_->fingerprint()));
    EXPECT_TRUE(platform_->messages[0].text.endsWith(u"dem Zertifikat vertrauen?"_s));
    EXPECT_EQ(child<QTreeWidget>("lstAdressbuecher")->topLevelItemCount(), 0);

    platform_->answers.push_back(Answer::Yes);
    pairFirstBook(u"Privat"_s);
    EXPECT_EQ(platform_->messages.size(), 2U);
    syncNow();
    EXPECT_EQ(platform_->messages.size(), 2U) << "asked again";
    EXPECT_EQ(listLines(), (QStringList{u"Zorn Eva"_s}));
    const auto kept = veltro::sync::pairings(window().cardStore()->db());
    ASSERT_EQ(kept.size(), 1U);
    EXPECT_EQ(kept.front().fingerprint, server_->fingerprint());
}

}  // namespace
