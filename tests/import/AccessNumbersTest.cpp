#include "ImportTestSupport.h"

#include "import/AccessNumbers.h"
#include "import/AccessSource.h"

#include <gtest/gtest.h>

using namespace veltro::import;

namespace {

TEST(AccessNumbers, ReadAsAGermanReaderExpects) {
    const struct {
        const char* text;
        NumberKind kind;
        const char* german;
    } cases[] = {
        {"214.2700", NumberKind::Currency, "214,27"},
        {"12.5000", NumberKind::Currency, "12,50"},
        {"18.0000", NumberKind::Currency, "18,00"},
        {"0.1234", NumberKind::Currency, "0,1234"},
        {"-7.5000", NumberKind::Currency, "-7,50"},
        {"3", NumberKind::Currency, "3,00"},
        {"123.4500", NumberKind::Decimal, "123,45"},
        {"12.000", NumberKind::Decimal, "12"},
        {"-0.5", NumberKind::Decimal, "-0,5"},
        {"0.15000001", NumberKind::Single, "0,15"},
        {"0.050000001", NumberKind::Single, "0,05"},
        {"0", NumberKind::Single, "0"},
        {"0.1", NumberKind::Double, "0,1"},
        {"1234.5678901234", NumberKind::Double, "1234,5678901234"},
        {"", NumberKind::Currency, ""},
        {"1.2.3", NumberKind::Decimal, "1.2.3"},
        {"keine Zahl", NumberKind::Single, "keine Zahl"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(germanNumber(c.text, c.kind), c.german) << c.text;
    }
}

// Products.UnitPrice is Currency, UnitsInStock an integer, "Order Details".Discount a Single,
// Orders.OrderDate a date.
TEST(AccessNumbers, NorthwindColumnsReadAsTheyShowInAccess) {
    const QString file = veltro::testing::testDataFile("nwind.mdb");
    const struct {
        const char* table;
        const char* key;
        const char* column;
        int row;
        const char* expected;
    } cases[] = {
        {"Products", "ProductName", "UnitPrice", 0, "18,00"},
        {"Products", "ProductName", "UnitPrice", 19, "81,00"},
        {"Products", "ProductName", "UnitPrice", 8, "97,00"},
        {"Products", "ProductName", "UnitsInStock", 0, "39"},
        {"Products", "ProductName", "ProductID", 76, "77"},
        {"Order Details", "OrderID", "UnitPrice", 0, "14,00"},
        {"Order Details", "OrderID", "UnitPrice", 1, "9,80"},
        {"Order Details", "OrderID", "Discount", 6, "0,15"},
        {"Orders", "ShipName", "Freight", 0, "12,75"},
        {"Orders", "ShipName", "OrderDate", 0, "16.11.1994"},
    };
    for (const auto& c : cases) {
        FieldMapping mapping("K");
        mapping.assign(kHeadingTarget, 0, c.key);
        mapping.assign(*targetByName(u"Notizen"), 1, c.column);
        const auto table = AccessSource(file).preview(c.table, mapping);
        ASSERT_GT(table.rows.size(), static_cast<std::size_t>(c.row)) << c.table;
        EXPECT_EQ(table.rows[static_cast<std::size_t>(c.row)].text(*targetByName(u"Notizen")),
                  c.expected)
            << c.table << '.' << c.column << " row " << c.row;
    }
}

}  // namespace
