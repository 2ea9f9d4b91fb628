#include "StoreState.h"
#include "TestHome.h"

#include "store/CardExtrasTable.h"
#include "store/ComingDates.h"
#include "store/ExtrasInput.h"
#include "store/PendingEdit.h"
#include "store/StoreError.h"
#include "store/UndoLog.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace veltro::store;
using namespace veltro::testing;

namespace {

TEST(PartialDate, ReadsTheFormsWithAndWithoutYearAndRefusesDaysThatAreNot) {
    const std::pair<const char*, std::optional<PartialDate>> cases[] = {
        {"1980-02-29", PartialDate{1980, 2, 29}},
        {"19800229", PartialDate{1980, 2, 29}},
        {"--02-29", PartialDate{0, 2, 29}},
        {"--1231", PartialDate{0, 12, 31}},
        {"2001-07-04T10:00:00Z", PartialDate{2001, 7, 4}},
        {"1981-02-29", std::nullopt},
        {"--04-31", std::nullopt},
        {"1980-2-9", std::nullopt},
        {"", std::nullopt},
        {"12.03.1970", std::nullopt},
    };
    for (const auto& [text, date] : cases) {
        EXPECT_EQ(PartialDate::parse(QString::fromLatin1(text)), date) << text;
        if (date) {
            EXPECT_EQ(PartialDate::parse(date->text()), date) << text;
        }
    }
}

TEST(CardExtras, ComeBackGroupedByKindChangeTheCardAndGoWithIt) {
    TestHome home;
    makeStore(home.dir(), {QStringLiteral("K")}, {{QStringLiteral("Eins"), QStringLiteral("K")}});
    auto store = CardStore::open(home.storeFile());
    Database& db = store.db();
    const std::int64_t card = *store.findByHeading(u"Eins");
    db.exec("UPDATE KartenInfo SET Geaendert = '2001-01-01T00:00:00Z'");

    CardExtras written;
    written.birthday = PartialDate{0, 2, 29};
    written.anniversary = PartialDate{2001, 12, 31};
    written.nickname = QStringLiteral("Eini");
    written.photo = Photo{QByteArray("\x89PNG\r\n\x1a\n\0\0\xff", 11), QStringLiteral("image/png")};
    written.entries = {
        {EntryKind::Webseite, EntryType::Privat, QStringLiteral("https://eins.example")},
        {EntryKind::Telefon, EntryType::Mobil, QStringLiteral("0171 1")},
        {EntryKind::Anschrift, EntryType::Geschaeftlich, QStringLiteral("Hof 1"),
         QStringLiteral("89073"), QStringLiteral("Ulm"), QStringLiteral("Deutschland")},
        {EntryKind::Telefon, EntryType::Fax, QStringLiteral("0711 2")},
        {EntryKind::EMail, EntryType::Andere, QStringLiteral(" ")},  // a line never filled
    };
    writeCardExtras(db, card, written);

    CardExtras expected = written;
    expected.entries = {written.entries[1], written.entries[3], written.entries[2],
                        written.entries[0]};
    EXPECT_EQ(loadCardExtras(db, card), expected);
    EXPECT_EQ(pictureType(expected.photo->bytes), QStringLiteral("image/png"));
    const QString uid = rowsOf(db, "KartenInfo", "Uid").first().section(u'|', 1, 1);
    EXPECT_EQ(cardDates(db),
              (std::vector<CardDate>{
                  {card, QStringLiteral("Eins"), uid, DateKind::Geburtstag, {0, 2, 29}},
                  {card, QStringLiteral("Eins"), uid, DateKind::Jahrestag, {2001, 12, 31}}}));
    EXPECT_GT(numberOf(db, "SELECT Geaendert > '2001-01-01T00:00:00Z' FROM KartenInfo"), 0);

    // The same again changes nothing and leaves no step to undo.
    {
        UndoStep step(db, QStringLiteral("Gleich"));
        writeCardExtras(db, card, expected);
        step.commit();
    }
    EXPECT_EQ(UndoLog::undoName(db), std::nullopt);

    store.deleteCard(card);
    EXPECT_EQ(numberOf(db, "SELECT count(*) FROM KartenAngaben"), 0);
    EXPECT_EQ(numberOf(db, "SELECT count(*) FROM KartenEintraege"), 0);
    EXPECT_THROW(writeCardExtras(db, card, expected), StoreError);
}

// What a German user types: with or without the year; a day the calendar lacks is named.
TEST(GermanDate, ReadsDayMonthAndYearOrNoYearAndSaysWhatIsWrong) {
    const std::tuple<const char*, std::optional<PartialDate>, const char*> cases[] = {
        {"29.02.1980", PartialDate{1980, 2, 29}, ""},
        {" 1.2.1980 ", PartialDate{1980, 2, 1}, ""},
        {"29.02.", PartialDate{0, 2, 29}, ""},
        {"", std::nullopt, ""},
        {"29.02.1981", std::nullopt, "gibt es im Kalender nicht"},
        {"31.04.", std::nullopt, "gibt es im Kalender nicht"},
        {"12.03.70", std::nullopt, "ist kein Datum"},
        {"1970-03-12", std::nullopt, "ist kein Datum"},
        {"01.01.0000", std::nullopt, "ist kein Datum"},
    };
    for (const auto& [text, date, problem] : cases) {
        const TypedDate read = readGermanDate(QString::fromUtf8(text));
        EXPECT_EQ(read.date, date) << text;
        EXPECT_TRUE(read.problem.contains(QString::fromUtf8(problem))) << text;
        EXPECT_EQ(read.problem.isEmpty(), *problem == 0) << text;
    }
}

// A save takes only the parts typed into: what another program wrote meanwhile into the rest
// stays, and a date that is no day keeps the stored one until it is mended.
TEST(GermanDate, ASaveTakesWhatWasTypedAndKeepsTheRest) {
    CardExtras stored;
    stored.birthday = PartialDate{1970, 3, 12};
    stored.title = QStringLiteral("von anderswo");
    stored.entries = {{EntryKind::Telefon, EntryType::Privat, QStringLiteral("1")},
                      {EntryKind::EMail, EntryType::Privat, QStringLiteral("a@b.de")}};
    const TypedExtras shown{QStringLiteral("12.03.1970"), {}, {}, {}, {}, {stored.entries[0]}};
    TypedExtras typed = shown;
    typed.birthday = QStringLiteral("30.02.1970");
    typed.nickname = QStringLiteral("Kläuschen");
    typed.entries.emplace_back(EntryKind::Telefon, EntryType::Mobil, QStringLiteral("2"));
    typed.entries.emplace_back(EntryKind::Webseite, EntryType::Andere, QStringLiteral(" "));

    const ExtrasWrite write = typedInto(stored, shown, typed);
    EXPECT_EQ(write.extras.birthday, stored.birthday);
    EXPECT_TRUE(write.problem.contains(QStringLiteral("30.02.1970")));
    EXPECT_EQ(write.extras.nickname, QStringLiteral("Kläuschen"));
    EXPECT_EQ(write.extras.title, QStringLiteral("von anderswo"));
    const std::vector<Entry> entries{typed.entries[0], typed.entries[1], stored.entries[1]};
    EXPECT_EQ(write.extras.entries, entries);
    EXPECT_FALSE(write.shown.sameAs(typed)) << "the date is still to be saved";
    typed.birthday = QStringLiteral("12.3.1970");
    EXPECT_TRUE(write.shown.sameAs(typed));

    // The recovery file beside the store keeps the details as typed.
    TestHome home;
    const auto file = home.dir() / "Kartix.mdb";
    ASSERT_TRUE(writePendingEdit(file, {7, {}, {}, {}, typed}));
    const auto kept = readPendingEdit(file);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->extras, typed);
}

}  // namespace
