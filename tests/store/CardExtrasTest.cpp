#include "StoreState.h"
#include "TestHome.h"

#include "store/CardExtrasTable.h"
#include "store/ComingDates.h"
#include "store/StoreError.h"
#include "store/UndoLog.h"

#include <gtest/gtest.h>

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

}  // namespace
