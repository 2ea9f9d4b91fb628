#include "ImportTestSupport.h"
#include "StoreState.h"
#include "TestHome.h"

#include "import/ImportRun.h"
#include "import/RowsAhead.h"
#include "store/CardStore.h"
#include "store/StoreError.h"
#include "store/UndoLog.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

using namespace veltro::import;
using veltro::store::CardStore;
using veltro::store::Field;
using veltro::testing::makeStore;
using veltro::testing::TestHome;

namespace {

PreviewRow rowNamed(const QString& heading, const QString& category = "Kunden") {
    PreviewRow::Fields fields;
    fields.fill(kUnmappedValue);
    fields[kCategoryTarget] = category;
    fields[kHeadingTarget] = heading;
    return PreviewRow(fields);
}

std::vector<PreviewRow> rowsNamed(const QStringList& headings) {
    std::vector<PreviewRow> rows;
    for (const auto& heading : headings) {
        rows.push_back(rowNamed(heading));
    }
    return rows;
}

QStringList headingsOf(const std::vector<PreviewRow>& rows) {
    QStringList headings;
    for (const auto& row : rows) {
        headings << row.text(kHeadingTarget);
    }
    return headings;
}

QStringList storedHeadings(const TestHome& home) {
    QStringList headings;
    for (const auto& row : CardStore::open(home.storeFile()).headings()) {
        headings << row.heading;
    }
    return headings;
}

ImportOutcome importOneByOne(const TestHome& home, const std::vector<PreviewRow>& rows) {
    std::size_t next = 0;
    return runImport(home.storeFile(), [&](PreviewRow& row) {
        return next < rows.size() && (row = rows[next++], true);
    });
}

struct DuplicateCase {
    const char* name;
    QStringList existing;
    QStringList imported;
    QStringList expected;
};

TEST(ImportRunDuplicates, EveryCardKeepsAHeadingOfItsOwn) {
    const DuplicateCase cases[] = {
        {"a new name stays", {"Anna"}, {"Ben"}, {"Ben"}},
        {"_1 for an existing name", {"Anna"}, {"Anna"}, {"Anna_1"}},
        {"_2 when _1 exists", {"Anna", "Anna_1"}, {"Anna"}, {"Anna_2"}},
        {"_3 when _1 and _2 exist", {"Anna", "Anna_1", "Anna_2"}, {"Anna"}, {"Anna_3"}},
        {"counting goes on past _4",
         {"Anna", "Anna_1", "Anna_2", "Anna_3", "Anna_4"},
         {"Anna"},
         {"Anna_5"}},
        {"without regard to case", {"MÜLLER"}, {"müller", "Müller"}, {"müller_1", "Müller_2"}},
        {"two equal new rows", {}, {"Neu", "Neu", "neu"}, {"Neu", "Neu_1", "neu_2"}},
        {"a name given earlier in the run is taken", {"A"}, {"A", "A_1"}, {"A_1", "A_1_1"}},
        {"quotes and pattern signs are plain text",
         {"O'Neill", "A*", "B?"},
         {"O'Neill", "A*", "Ax", "B?", "Bx"},
         {"O'Neill_1", "A*_1", "Ax", "B?_1", "Bx"}},
    };
    for (const auto& c : cases) {
        TestHome home;
        std::vector<veltro::testing::GivenCard> cards;
        for (const auto& name : c.existing) {
            cards.push_back({name, "Privat"});  // another category than the import's
        }
        makeStore(home.dir(), {"Privat", "Kunden"}, cards);
        auto rows = rowsNamed(c.imported);
        const auto outcome = runImport(home.storeFile(), rows);
        EXPECT_EQ(headingsOf(rows), c.expected) << c.name;
        EXPECT_EQ(outcome.cards, c.imported.size()) << c.name;
        EXPECT_EQ(storedHeadings(home), c.existing + c.expected) << c.name;

        // Rows handed out one at a time are named alike.
        TestHome streamed;
        makeStore(streamed.dir(), {"Privat", "Kunden"}, cards);
        const auto oneByOne = importOneByOne(streamed, rowsNamed(c.imported));
        EXPECT_EQ(storedHeadings(streamed), c.existing + c.expected) << c.name;
        EXPECT_EQ(oneByOne.renamed, outcome.renamed) << c.name;
        EXPECT_EQ(oneByOne.cards, outcome.cards) << c.name;
    }
}

std::int64_t furtherDetails(veltro::store::Database& db) {
    auto count = db.prepare(
        "SELECT (SELECT COUNT(*) FROM KartenAngaben) + (SELECT COUNT(*) FROM KartenEintraege)");
    count.step();
    return count.integer(0);
}

// With the further details of a Google Contacts file, which go with the cards.
TEST(ImportRunUndo, ANamedRunIsOneStepWithItsNewCategoriesAndFurtherDetails) {
    TestHome home;
    makeStore(home.dir(), {"Privat"}, {{"Anna", "Privat"}});
    auto store = CardStore::open(home.storeFile());
    const QStringList before = veltro::testing::cardsAndCategories(store.db());
    auto rows =
        veltro::testing::presetRows(veltro::testing::testDataFile("csv/google.csv"), "Kunden");
    rows.push_back(rowNamed("Anna"));
    runImport(home.storeFile(), rows, {}, QStringLiteral("Import"));
    EXPECT_EQ(furtherDetails(store.db()), 7);
    EXPECT_EQ(veltro::store::UndoLog::undoName(store.db()), QStringLiteral("Import"));
    ASSERT_TRUE(veltro::store::UndoLog::undo(store.db()));
    EXPECT_EQ(veltro::testing::cardsAndCategories(store.db()), before);
    EXPECT_EQ(furtherDetails(store.db()), 0);
    EXPECT_EQ(veltro::store::UndoLog::undoName(store.db()), std::nullopt);
}

TEST(ImportRunCategories, RowsOneAtATimeAddTheMissingCategoriesInTheirOrder) {
    TestHome home;
    makeStore(home.dir(), {"Kunden"}, {});
    const auto outcome = importOneByOne(home, {rowNamed("A", "Neu"), rowNamed("B", "kunden"),
                                               rowNamed("C", "Zweite"), rowNamed("D", "NEU")});
    EXPECT_EQ(outcome.newCategories, (std::vector<QString>{"Neu", "Zweite"}));
    EXPECT_EQ(CardStore::open(home.storeFile()).categories(),
              (std::vector<QString>{"Kunden", "Neu", "Zweite"}));
}

TEST(ImportRunFields, WritesEveryFieldAsThePreviewHoldsIt) {
    TestHome home;
    makeStore(home.dir(), {"Kunden"}, {});
    PreviewRow row = rowNamed("Meier");
    row.set(*targetByName(u"Vorname"), QStringLiteral("-"));
    row.set(*targetByName(u"Straße"), QStringLiteral("Hauptstraße 1"));
    row.set(*targetByName(u"KartenNr."), QStringLiteral("K-17"));
    row.set(*targetByName(u"Notizen"), QStringLiteral("Zeile 1\r\nZeile 2"));
    std::vector<PreviewRow> rows{row};
    runImport(home.storeFile(), rows);

    auto store = CardStore::open(home.storeFile());
    const auto card = store.loadCard(*store.findByHeading(u"Meier"));
    ASSERT_TRUE(card.has_value());
    const std::map<Field, QString> expected = {
        {Field::Kategorien, "Kunden"},
        {Field::Vorname, "-"},
        {Field::Strasse, "Hauptstraße 1"},
        {Field::Nr, "K-17"},
        {Field::Notizen, "Zeile 1\r\nZeile 2"},
        {Field::Telefon, " "},
        {Field::Anschrift, " "},
    };
    for (const auto& [field, text] : expected) {
        EXPECT_EQ(card->value(field), std::optional<QString>(text))
            << veltro::store::columnName(field).toStdString();
    }
}

TEST(ImportRunFailure, AFailedOrCancelledRunLeavesNoCardBehind) {
    TestHome home;
    makeStore(home.dir(), {"Kunden"}, {{"Alt", "Kunden"}});
    CardStore::open(home.storeFile())
        .db()
        .exec(
            "CREATE TRIGGER refuse BEFORE INSERT ON Kontakte WHEN NEW.Schlagworte = 'Kaputt' "
            "BEGIN SELECT RAISE(ABORT, 'abgelehnt'); END");
    auto rows = rowsNamed({"Eins", "Zwei", "Kaputt", "Vier"});
    EXPECT_THROW(runImport(home.storeFile(), rows), veltro::store::StoreError);
    EXPECT_EQ(storedHeadings(home), QStringList({"Alt"}));

    auto many = rowsNamed(QStringList(1000, "Viele"));
    const auto cancelLate = [](ImportPhase phase, std::int64_t done) {
        return phase != ImportPhase::Writing || done < 900;
    };
    EXPECT_THROW(runImport(home.storeFile(), many, cancelLate), ImportCancelled);
    EXPECT_EQ(storedHeadings(home), QStringList({"Alt"}));
    EXPECT_EQ(headingsOf(many).count("Viele"), 1000) << "rows are renamed only on success";
}

}  // namespace

namespace {

// A renamed heading is written into its row; the other fields stay as they were, whatever
// the new text's length, and a value taken from the row itself is read before it changes.
TEST(PreviewRows, SettingOneFieldKeepsTheOthers) {
    PreviewRow::Fields fields;
    for (std::size_t target = 0; target < kTargetCount; ++target) {
        fields[target] = target % 3 == 0 ? QStringView() : QStringView(u"Feld");
    }
    PreviewRow row(fields);
    row.set(kHeadingTarget, u"Müller_12");
    row.set(kTargetCount - 1, u"");
    row.set(kCategoryTarget, row[kHeadingTarget]);
    row.set(kHeadingTarget, row[kHeadingTarget].first(3));
    for (std::size_t target = 0; target < kTargetCount; ++target) {
        const QString expected = target == kCategoryTarget  ? QStringLiteral("Müller_12")
                                 : target == kHeadingTarget ? QStringLiteral("Mül")
                                 : target == kTargetCount - 1 || target % 3 == 0
                                     ? QString()
                                     : QStringLiteral("Feld");
        EXPECT_EQ(row.text(target), expected) << target;
    }
}

}  // namespace

namespace {

PreviewRow numbered(int number) {
    PreviewRow::Fields fields;
    fields.fill(kUnmappedValue);
    const QString heading = QString::number(number);
    fields[kHeadingTarget] = heading;
    return PreviewRow(fields);
}

// Rows made ahead on another thread come in the order made, across many chunks; what the
// maker throws comes after the rows it made before; a taker may leave early.
TEST(RowsAheadOfTheWriter, ComeInOrderAndPassOnWhatWentWrong) {
    int made = 0;
    RowsAhead ahead([&made](PreviewRow& row) {
        if (made == 5500) {
            return false;
        }
        row = numbered(made++);
        return true;
    });
    PreviewRow row;
    for (int expected = 0; expected < 5500; ++expected) {
        ASSERT_TRUE(ahead.next(row));
        ASSERT_EQ(row.text(kHeadingTarget), QString::number(expected));
    }
    EXPECT_FALSE(ahead.next(row));

    RowsAhead broken([](RowsAhead::Sink& sink) {
        sink.put({numbered(1), numbered(2)});
        throw std::runtime_error("Lesefehler");
    });
    ASSERT_TRUE(broken.next(row));
    ASSERT_TRUE(broken.next(row));
    EXPECT_THROW(broken.next(row), std::runtime_error);

    RowsAhead endless([](PreviewRow& next) {
        next = numbered(0);
        return true;
    });
    ASSERT_TRUE(endless.next(row));
}

}  // namespace
