#include "TestHome.h"
#include "TestTools.h"

#include "store/CardStore.h"
#include "store/Schema.h"
#include "store/StoreError.h"

#include <gtest/gtest.h>

using namespace veltro::store;
using veltro::testing::makeStore;
using veltro::testing::TestHome;
using veltro::testing::writeBytes;

namespace {

TEST(CardStoreOpen, ADamagedOrIncompleteStoreIsRefused) {
    TestHome home;
    ASSERT_TRUE(
        writeBytes(QString::fromStdString(home.storeFile().string()), QByteArray(4096, 'x')));
    EXPECT_THROW(CardStore::open(home.storeFile()), StoreError);

    std::filesystem::remove(home.storeFile());
    {
        auto db = Database::open(home.storeFile(), Database::Mode::Create);
        db.exec("CREATE TABLE Kontakte (Schlagworte TEXT)");
    }
    try {
        CardStore::open(home.storeFile());
        FAIL() << "opened a store without its category table";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("tblAdrCfg"), std::string::npos) << e.what();
    }
}

TEST(CardStoreOpen, ANewStoreHasTheFourTablesAndTheNineteenColumns) {
    TestHome home;
    createEmptyStore(home.dir());
    auto store = CardStore::open(home.storeFile());
    auto columns = store.db().prepare("SELECT name FROM pragma_table_info('Kontakte')");
    QStringList names;
    while (columns.step()) {
        names << columns.textOrEmpty(0);
    }
    ASSERT_EQ(names.size(), 19);
    EXPECT_EQ(names[8], QStringLiteral("Straße"));
    EXPECT_EQ(names[18], QStringLiteral("Notizen"));
    EXPECT_EQ(store.cardCount(), 0);
    EXPECT_TRUE(store.categories().empty());
    EXPECT_THROW(createEmptyStore(home.dir()), StoreError);
}

TEST(CardStoreCards, HeadingsComeInStoreOrderAndNullHeadingsAreNeverListed) {
    TestHome home;
    makeStore(home.dir(), {QStringLiteral("Privat")},
              {{QStringLiteral("Zeta"), QStringLiteral("Privat")},
               {QStringLiteral("alpha"), QStringLiteral("Privat")}});
    auto store = CardStore::open(home.storeFile());
    Card headless;
    headless.set(Field::Vorname, QStringLiteral("Ohne"));
    store.insertCard(headless);
    const auto rows = store.headings();
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0].heading, QStringLiteral("Zeta"));
    EXPECT_EQ(rows[1].heading, QStringLiteral("alpha"));
    EXPECT_EQ(store.cardCount(), 2);
}

TEST(CardStoreCards, FindByHeadingIsEqualityWithoutCaseNeverAPattern) {
    TestHome home;
    makeStore(home.dir(), {QStringLiteral("K")},
              {{QStringLiteral("Ab"), QStringLiteral("K")},
               {QStringLiteral("A*"), QStringLiteral("K")},
               {QStringLiteral("Müller"), QStringLiteral("K")},
               {QStringLiteral("O'Neill"), QStringLiteral("K")}});
    auto store = CardStore::open(home.storeFile());
    const auto idOf = [&](const char16_t* h) { return store.findByHeading(QString::fromUtf16(h)); };
    const auto rows = store.headings();
    EXPECT_EQ(idOf(u"A*"), rows[1].id);
    EXPECT_EQ(idOf(u"MÜLLER"), rows[2].id);
    EXPECT_EQ(idOf(u"o'neill"), rows[3].id);
    EXPECT_FALSE(idOf(u"A").has_value());
    EXPECT_FALSE(idOf(u"*").has_value());
}

TEST(CardStoreCards, WritingFieldsKeepsNullAndEmptyApartAndTouchesOneCard) {
    TestHome home;
    makeStore(home.dir(), {QStringLiteral("K")},
              {{QStringLiteral("Bau"), QStringLiteral("K")},
               {QStringLiteral("Baumann"),
                QStringLiteral("K"),
                {{Field::Telefon, QStringLiteral("12")}}}});
    auto store = CardStore::open(home.storeFile());
    const auto rows = store.headings();
    auto before = store.loadCard(rows[0].id);
    ASSERT_TRUE(before.has_value());
    EXPECT_FALSE(before->value(Field::Anrede).has_value());

    store.writeFields(rows[0].id,
                      {{Field::Anrede, QString()}, {Field::Firma, QStringLiteral("ACME")}});
    const auto after = store.loadCard(rows[0].id);
    ASSERT_TRUE(after->value(Field::Anrede).has_value());
    EXPECT_EQ(*after->value(Field::Anrede), QString());
    EXPECT_EQ(after->text(Field::Firma), QStringLiteral("ACME"));
    EXPECT_EQ(store.loadCard(rows[1].id)->text(Field::Firma), QString());
    EXPECT_EQ(store.loadCard(rows[1].id)->text(Field::Telefon), QStringLiteral("12"));
}

TEST(CardStoreCards, LikeInQueriesUsesOurPatternsAndReportsBadOnes) {
    TestHome home;
    makeStore(home.dir(), {QStringLiteral("K")},
              {{QStringLiteral("Müller"), QStringLiteral("K")},
               {QStringLiteral("Maier"), QStringLiteral("K")}});
    auto store = CardStore::open(home.storeFile());
    auto count = [&](const QString& pattern) {
        auto stmt = store.db().prepare("SELECT count(*) FROM Kontakte WHERE Schlagworte LIKE ?1");
        stmt.bind(1, QStringView(pattern));
        stmt.step();
        return stmt.integer(0);
    };
    EXPECT_EQ(count(QStringLiteral("*ÜLL*")), 1);
    EXPECT_EQ(count(QStringLiteral("M?[!x]er")), 1);
    EXPECT_EQ(count(QStringLiteral("*")), 2);
    EXPECT_THROW(count(QStringLiteral("M[a")), StoreError);
}

}  // namespace
