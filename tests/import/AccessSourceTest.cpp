#include "ImportTestSupport.h"
#include "TestHome.h"
#include "TestTools.h"

#include "import/AccessSource.h"
#include "import/ImportRun.h"
#include "store/CardStore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace veltro::import;
using veltro::store::CardStore;
using veltro::store::Field;
using veltro::testing::testDataFile;

namespace {

QString northwind() {
    return testDataFile("nwind.mdb");
}

QStringList tableNames(const AccessListing& listing) {
    QStringList names;
    for (const auto& table : listing.tables) {
        names << table.name;
    }
    return names;
}

FieldMapping customersMapping(const QString& category) {
    FieldMapping mapping(category);
    const std::pair<const char16_t*, const char*> pairs[] = {
        {u"Karte", "CompanyName"}, {u"Nachname", "ContactName"}, {u"Straße", "Address"},
        {u"Ort", "City"},          {u"PLZ", "PostalCode"},       {u"Telefon", "Phone"},
        {u"Telefax", "Fax"},       {u"Abteilung", "Region"},
    };
    for (const auto& [target, column] : pairs) {
        mapping.assign(*targetByName(target), 0, QString::fromLatin1(column));
    }
    return mapping;
}

TEST(AccessSourceTables, LeavesOutTheEngineTablesAndTheTableOfFailedImports) {
    const std::pair<const char16_t*, bool> cases[] = {
        {u"Kunden", true},         {u"MSysObjects", false},   {u"MSys", false},
        {u"msysObjects", true},    {u"Einfügefehler", false}, {u"Einfügefehler 2", true},
        {u"Customers_MSys", true},
    };
    for (const auto& [name, user] : cases) {
        EXPECT_EQ(isUserTable(QString::fromUtf16(name)), user)
            << QString::fromUtf16(name).toStdString();
    }
}

TEST(AccessSourceTables, ListsTheUserTablesWithTheirColumnsInTableOrder) {
    const auto listing = AccessSource(northwind()).tables();
    ASSERT_TRUE(listing.complete);
    EXPECT_EQ(tableNames(listing),
              QStringList({"Categories", "Customers", "Employees", "Order Details", "Orders",
                           "Products", "Shippers", "Suppliers", "Umsätze"}));
    const auto customers = std::find_if(listing.tables.begin(), listing.tables.end(),
                                        [](const auto& t) { return t.name == u"Customers"; });
    EXPECT_EQ(customers->columns,
              QStringList({"CustomerID", "CompanyName", "ContactName", "ContactTitle", "Address",
                           "City", "Region", "PostalCode", "Country", "Phone", "Fax"}));
}

TEST(AccessSourcePreview, ReadsEveryCustomerAndImportsThemAsCards) {
    std::int64_t announced = -1;
    std::int64_t lastPulse = 0;
    const auto table =
        AccessSource(northwind())
            .preview(
                "Customers", customersMapping("Kunden"), [&](std::int64_t n) { announced = n; },
                [&](std::int64_t done) {
                    lastPulse = done;
                    return true;
                });
    ASSERT_TRUE(table.complete);
    EXPECT_EQ(announced, 91);
    ASSERT_EQ(table.rows.size(), 91U);
    EXPECT_EQ(lastPulse, 91);
    const PreviewRow& first = table.rows.front();
    EXPECT_EQ(first.text(kCategoryTarget), "Kunden");
    EXPECT_EQ(first.text(kHeadingTarget), "Alfreds Futterkiste");
    EXPECT_EQ(first.text(*targetByName(u"Straße")), "Obere Str. 57");
    EXPECT_EQ(first.text(*targetByName(u"Abteilung")), "");  // Null in the table
    EXPECT_EQ(first.text(*targetByName(u"Anrede")), " ");    // not mapped
    EXPECT_EQ(table.rows[2].text(*targetByName(u"Karte")), "Antonio Moreno Taquería");

    veltro::testing::TestHome home;
    veltro::testing::makeStore(home.dir(), {"Kunden"}, {{"Alfreds Futterkiste", "Privat"}});
    auto rows = table.rows;
    const auto outcome = runImport(home.storeFile(), rows);
    EXPECT_EQ(outcome.cards, 91);
    EXPECT_EQ(outcome.renamed, 1);
    auto store = CardStore::open(home.storeFile());
    EXPECT_EQ(store.cardCount(), 92);
    const auto card = store.loadCard(*store.findByHeading(u"Alfreds Futterkiste_1"));
    ASSERT_TRUE(card.has_value());
    EXPECT_EQ(card->text(Field::Kategorien), "Kunden");
    EXPECT_EQ(card->text(Field::Ort), "Berlin");
    EXPECT_EQ(card->text(Field::Postleitzahl), "12209");
    EXPECT_EQ(card->text(Field::Fax), "030-0076545");
}

TEST(AccessSourcePreview, ReadsATableWithAnUmlautInItsNameAndDatesAsGermanText) {
    FieldMapping mapping("Umsatz");
    mapping.assign(kHeadingTarget, 0, "ShipName");
    mapping.assign(*targetByName(u"Notizen"), 3, "OrderDate");
    const auto table = AccessSource(northwind()).preview("Umsätze", mapping);
    ASSERT_TRUE(table.complete);
    ASSERT_FALSE(table.rows.empty());
    EXPECT_EQ(table.rows.front().text(kHeadingTarget), "LILA-Supermercado");
    EXPECT_EQ(table.rows.front().text(*targetByName(u"Notizen")), "16.11.1994");
}

TEST(AccessSourceDamage, ABadFileEndsTheReadingWithoutACrashOrHang) {
    const QByteArray bytes = veltro::testing::fileBytes(northwind());
    QByteArray corrupted = bytes;
    std::mt19937 random(7);
    for (int i = 0; i < 4000; ++i) {  // the catalog and the first tables' pages
        corrupted[static_cast<qsizetype>(random() % (80 * 2048))] = static_cast<char>(random());
    }
    const QTemporaryDir dir;
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"truncated in the middle of a page", bytes.left(1518879)},
        {"truncated at a page end", bytes.left(200 * 2048)},
        {"corrupted", corrupted},
        {"not a database", QByteArray("Name;Ort\r\nAnna;Hof\r\n")},
        {"empty", QByteArray()},
    };
    for (const auto& c : cases) {
        const QString path = veltro::testing::writeFile(dir, "kaputt.mdb", c.bytes);
        // A reader that hangs is stopped by the source's own time limit.
        const AccessSource source(path, std::chrono::milliseconds(1500));
        const auto listing = source.tables();
        const auto table = source.preview("Customers", customersMapping("K"));
        EXPECT_FALSE(table.complete) << c.name;
        EXPECT_TRUE(table.rows.empty()) << c.name;
    }
    const auto missing = AccessSource(dir.filePath("fehlt.mdb")).tables();
    EXPECT_FALSE(missing.complete);
    EXPECT_TRUE(missing.tables.empty());
}

}  // namespace
