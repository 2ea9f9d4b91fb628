#include "TestHome.h"
#include "TestTools.h"

#include "richtext/StoredText.h"
#include "store/CardStore.h"
#include "store/SampleCards.h"
#include "store/Schema.h"
#include "store/StoreError.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace veltro::store;
using veltro::testing::makeStore;
using veltro::testing::TestHome;
using veltro::testing::writeBytes;

namespace {

// The card columns in table order, with changes: a name mapped to "" is left out.
std::string cardColumns(const std::map<std::string_view, std::string>& changes = {}) {
    std::string list;
    for (const auto name : kColumnNames) {
        const auto change = changes.find(name);
        const std::string column = change != changes.end() ? change->second : std::string(name);
        if (!column.empty()) {
            list += (list.empty() ? "\"" : ", \"") + column + "\" TEXT";
        }
    }
    return list;
}

TEST(CardStoreOpen, ADamagedOrIncompleteStoreIsRefusedNamingWhatIsMissing) {
    const std::string all = cardColumns();
    const std::string categories = "CREATE TABLE tblAdrCfg (KategorieName TEXT)";
    const std::string snapshot = "CREATE TABLE zKontakte (" + all + ")";
    const std::string snapshotCategories = "CREATE TABLE ztblAdrCfg (KategorieName TEXT)";
    const struct {
        const char* name;
        std::vector<std::string> sql;
        const char* message;  // empty: the store opens
    } cases[] = {
        {"sound",
         {"CREATE TABLE Kontakte (" + all + ")", categories, snapshot, snapshotCategories},
         ""},
        {"names in another case",
         {"CREATE TABLE KONTAKTE (" + cardColumns({{"Notizen", "NOTIZEN"}}) + ")", categories,
          snapshot, "CREATE TABLE ztblAdrCfg (kategoriename TEXT)"},
         ""},
        {"a column missing",
         {"CREATE TABLE Kontakte (" + cardColumns({{"Notizen", ""}}) + ")", categories, snapshot,
          snapshotCategories},
         "Der Kartei fehlt die Spalte „Notizen“ in der Tabelle „Kontakte“."},
        {"two columns missing in the snapshot",
         {"CREATE TABLE Kontakte (" + all + ")", categories,
          "CREATE TABLE zKontakte (" + cardColumns({{"Straße", ""}, {"Fax", "Telefax"}}) + ")",
          snapshotCategories},
         "Der Kartei fehlen die Spalten „Straße“, „Fax“ in der Tabelle „zKontakte“."},
        {"a table missing",
         {"CREATE TABLE Kontakte (" + all + ")", categories, snapshot},
         "Der Kartei fehlt die Tabelle „ztblAdrCfg“."},
        {"the category table missing",
         {"CREATE TABLE Kontakte (Schlagworte TEXT)"},
         "Der Kartei fehlen die Spalten"},
        {"Kontakte as a view",
         {"CREATE TABLE Karten (" + all + ")", "CREATE VIEW Kontakte AS SELECT * FROM Karten",
          categories, snapshot, snapshotCategories},
         "In der Kartei ist „Kontakte“ eine Sicht, keine Tabelle."},
        {"a table without row ids",
         {"CREATE TABLE Kontakte (" + all + ")",
          "CREATE TABLE tblAdrCfg (KategorieName TEXT PRIMARY KEY) WITHOUT ROWID", snapshot,
          snapshotCategories},
         "In der Kartei ist „tblAdrCfg“ keine gewöhnliche Tabelle."},
    };
    for (const auto& c : cases) {
        TestHome home;
        {
            auto db = Database::open(home.storeFile(), Database::Mode::Create);
            for (const auto& sql : c.sql) {
                db.exec(sql);
            }
        }
        try {
            CardStore::open(home.storeFile());
            EXPECT_STREQ(c.message, "") << c.name << ": opened";
        } catch (const StoreError& e) {
            EXPECT_NE(*c.message, '\0') << c.name << ": " << e.what();
            EXPECT_EQ(std::string(e.what()).find(c.message), 0U) << c.name << ": " << e.what();
        }
    }
}

TEST(CardStoreOpen, AFileThatIsNoDatabaseIsRefused) {
    TestHome home;
    ASSERT_TRUE(
        writeBytes(QString::fromStdString(home.storeFile().string()), QByteArray(4096, 'x')));
    EXPECT_THROW(CardStore::open(home.storeFile()), StoreError);
}

TEST(CardStoreOpen, DoubleQuotesNameAColumnAndNeverAString) {
    TestHome home;
    createEmptyStore(home.dir());
    auto store = CardStore::open(home.storeFile());
    EXPECT_NO_THROW(store.db().exec("SELECT \"Notizen\" FROM Kontakte"));
    EXPECT_THROW(store.db().exec("SELECT \"Notiz\" FROM Kontakte"), StoreError);
    EXPECT_THROW(store.db().exec("CREATE INDEX Falsch ON Kontakte (\"Notiz\")"), StoreError);
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

TEST(CardStoreCards, ATransactionInsideAnotherTakesBackOnlyItsOwnChanges) {
    TestHome home;
    makeStore(home.dir(), {QStringLiteral("K")}, {});
    auto store = CardStore::open(home.storeFile());
    {
        Transaction outer(store.db());
        store.addCategory(QStringLiteral("Außen"));
        {
            Transaction failed(store.db());
            store.addCategory(QStringLiteral("Verworfen"));
        }
        {
            Transaction inner(store.db());
            store.addCategory(QStringLiteral("Innen"));
            inner.commit();
        }
        EXPECT_TRUE(store.db().inTransaction());
        outer.commit();
    }
    EXPECT_FALSE(store.db().inTransaction());
    EXPECT_EQ(store.categories(),
              (std::vector<QString>{QStringLiteral("K"), QStringLiteral("Außen"),
                                    QStringLiteral("Innen")}));
}

// The pages the inner transaction changes were changed before in the same transaction,
// so the engine keeps them aside a second time: well past what it holds in memory.
TEST(CardStoreCards, AChangeOfManyCardsInsideAnotherTransactionSucceeds) {
    TestHome home;
    makeStore(home.dir(), {QStringLiteral("K")}, {});
    auto store = CardStore::open(home.storeFile());
    {
        Transaction fill(store.db());
        CardInserter inserter(store.db());
        for (int i = 0; i < 1500; ++i) {
            inserter.insert(veltro::testing::cardFrom({QStringLiteral("Karte %1").arg(i),
                                                       QStringLiteral("K"),
                                                       {{Field::Notizen, QString(1000, u'n')}}}));
        }
        fill.commit();
    }
    Transaction outer(store.db());
    store.db().exec("UPDATE Kontakte SET Ort = 'A'");
    {
        Transaction inner(store.db());
        store.db().exec("UPDATE Kontakte SET Ort = 'B', Notizen = Notizen || 'x'");
        inner.commit();
    }
    outer.commit();
    auto changed = store.db().prepare("SELECT count(*) FROM Kontakte WHERE Ort = 'B'");
    ASSERT_TRUE(changed.step());
    EXPECT_EQ(changed.integer(0), 1500);
}

}  // namespace

namespace {

// A statement run once per row keeps each parameter's text between rows; every row must
// still get exactly its own texts, an empty one as empty and never as Null.
TEST(StoreStatements, ReboundTextsAreEachRowsOwnAndEmptyIsNotNull) {
    TestHome home;
    auto db = Database::open(home.dir() / "t.db", Database::Mode::Create);
    db.exec("CREATE TABLE t (a TEXT, b TEXT)");
    auto insert = db.prepare("INSERT INTO t (a, b) VALUES (?1, ?2)");
    const std::vector<std::pair<QString, QString>> rows = {
        {QStringLiteral("Müller-Lüdenscheidt, Hauptstraße 1"), QStringLiteral("x")},
        {QStringLiteral("ß"), QString()},
        {QString(), QStringLiteral("Ein längerer Text als zuvor, mit € und 😀")},
    };
    for (const auto& [a, b] : rows) {
        insert.reset();
        insert.bind(1, a).bind(2, b).run();
    }
    Statement moved = std::move(insert);  // the kept texts move with the statement
    moved.reset();
    moved.bind(1, QStringLiteral("nach dem Verschieben")).run();

    auto read = db.prepare("SELECT a, b FROM t ORDER BY rowid");
    for (const auto& [a, b] : rows) {
        ASSERT_TRUE(read.step());
        EXPECT_EQ(read.text(0), a);
        EXPECT_EQ(read.text(1), b);
    }
    ASSERT_TRUE(read.step());
    EXPECT_EQ(read.text(0), QStringLiteral("nach dem Verschieben"));
    EXPECT_EQ(read.text(1), std::nullopt);  // a reset statement starts without values
    EXPECT_THROW(moved.bind(3, QStringLiteral("zu viel")), StoreError);
}

// One call, one statement: text after it is refused rather than skipped, so nothing a caller
// meant to run is silently left out. A script says so and runs all of its statements.
TEST(StoreStatements, ExecRunsOneStatementAndAScriptRunsAll) {
    TestHome home;
    auto db = Database::open(home.dir() / "t.db", Database::Mode::Create);
    db.exec("CREATE TABLE t (a INTEGER)");
    struct Case {
        const char* sql;
        bool accepted;
    };
    const Case cases[] = {
        {"INSERT INTO t VALUES (1)", true},
        {"INSERT INTO t VALUES (1);", true},
        {"INSERT INTO t VALUES (1) ; ;\n  ", true},
        {"INSERT INTO t VALUES (1); -- noch ein Wort\n/* und mehr */", true},
        {"INSERT INTO t VALUES (1); INSERT INTO t VALUES (2)", false},
        {"INSERT INTO t VALUES (1); DROP TABLE t", false},
        {"INSERT INTO t VALUES (1); kein SQL", false},
    };
    for (const Case& c : cases) {
        db.exec("DELETE FROM t");
        if (c.accepted) {
            EXPECT_NO_THROW(db.exec(c.sql)) << c.sql;
        } else {
            EXPECT_THROW(db.exec(c.sql), StoreError) << c.sql;
            EXPECT_THROW((void)db.prepare(c.sql), StoreError) << c.sql;
        }
        auto count = db.prepare("SELECT count(*) FROM t");
        ASSERT_TRUE(count.step());
        EXPECT_EQ(count.integer(0), c.accepted ? 1 : 0) << c.sql;
    }
    db.execScript("INSERT INTO t VALUES (7); ; /* Pause */ INSERT INTO t VALUES (8);\n");
    auto sum = db.prepare("SELECT sum(a) FROM t");
    ASSERT_TRUE(sum.step());
    EXPECT_EQ(sum.integer(0), 15);
    EXPECT_THROW(db.execScript("DELETE FROM t; INSERT INTO fehlt VALUES (1)"), StoreError);
}

// The program's RTF reader gives back every character of a sample block, those outside
// Windows-1252 included (the demo and generated cards' blocks).
TEST(SampleCards, TheirBlocksKeepEveryCharacter) {
    const QStringList lines = {u"Herrn Emre Yıldız"_qs, u"Łódź – Ωμέγα {1} \\ 😀 Straße"_qs};
    const QString read = veltro::richtext::plainTextFromStored(simpleRtf(lines, true),
                                                               veltro::richtext::LineBreak::Lf);
    EXPECT_EQ(read.trimmed().toStdString(), lines.join(u'\n').toStdString());
}

}  // namespace
