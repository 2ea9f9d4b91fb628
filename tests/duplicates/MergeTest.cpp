#include "duplicates/CardMerge.h"

#include "StoreState.h"
#include "TestHome.h"
#include "richtext/StoredText.h"
#include "store/DuplicateDecisions.h"
#include "store/SampleCards.h"
#include "store/StoreError.h"
#include "store/UndoLog.h"

#include <gtest/gtest.h>

using namespace veltro::duplicates;
using namespace veltro::testing;
using veltro::store::CardStore;
using veltro::store::Field;

using namespace Qt::Literals::StringLiterals;

namespace {

QString notesText(const veltro::store::Card& card) {
    return veltro::richtext::plainTextFromStored(card.text(Field::Notizen),
                                                 veltro::richtext::LineBreak::Lf);
}

class Merge : public ::testing::Test {
protected:
    void SetUp() override {
        using veltro::store::simpleRtf;
        makeStore(home_.dir(), {u"Privat"_s, u"Kunden"_s},
                  {{u"Müller Anna"_s,
                    u"Privat"_s,
                    {{Field::Vorname, u"Anna"_s},
                     {Field::Nachname, u"Müller"_s},
                     {Field::Telefon, u"0951 123456"_s},
                     {Field::Ort, u"Bamberg"_s},
                     {Field::Notizen, simpleRtf({u"Kennt uns seit 1999."_s})}}},
                   {u"Bauer Max"_s, u"Privat"_s},
                   {u"Mueller Anna_1"_s,
                    u"Kunden"_s,
                    {{Field::Vorname, u"Anna"_s},
                     {Field::Nachname, u"Mueller"_s},
                     {Field::Telefon, u"+49 951 654321"_s},
                     {Field::EMailAdresse, u"anna@x.de"_s},
                     {Field::Ort, u"Bamberg"_s},
                     {Field::Notizen, simpleRtf({u"Bestellt jeden Monat."_s, u"Zahlt bar."_s})}}}});
        store_.emplace(CardStore::open(home_.storeFile()));
        keep_ = *store_->findByHeading(u"Müller Anna");
        other_ = *store_->findByHeading(u"Mueller Anna_1");
        keepUid_ = *veltro::store::cardUid(store_->db(), keep_);
    }

    TestHome home_;
    std::optional<CardStore> store_;
    std::int64_t keep_ = 0;
    std::int64_t other_ = 0;
    QString keepUid_;
};

TEST_F(Merge, ProposesTheKeptValuesAndFillsGapsFromTheOther) {
    const auto plan = proposedMerge(*store_->loadCard(keep_), *store_->loadCard(other_));
    EXPECT_FALSE(plan.takes(Field::Schlagworte));
    EXPECT_FALSE(plan.takes(Field::Telefon));
    EXPECT_TRUE(plan.takes(Field::EMailAdresse));
    EXPECT_FALSE(plan.takes(Field::Ort));
}

TEST_F(Merge, KeepsTheIdentityTakesTheTickedValuesAndLosesNoText) {
    auto plan = proposedMerge(*store_->loadCard(keep_), *store_->loadCard(other_));
    plan.take(Field::Telefon, true);
    plan.take(Field::Kategorien, true);
    mergeCards(*store_, plan);

    EXPECT_FALSE(store_->loadCard(other_));
    EXPECT_FALSE(veltro::store::cardUid(store_->db(), other_));
    EXPECT_EQ(veltro::store::cardUid(store_->db(), keep_), keepUid_);
    EXPECT_EQ(store_->cardCount(), 2);

    const auto merged = *store_->loadCard(keep_);
    EXPECT_EQ(merged.text(Field::Schlagworte), u"Müller Anna"_s);
    EXPECT_EQ(merged.text(Field::Telefon), u"+49 951 654321"_s);
    EXPECT_EQ(merged.text(Field::EMailAdresse), u"anna@x.de"_s);
    EXPECT_EQ(merged.text(Field::Kategorien), u"Kunden"_s);
    EXPECT_EQ(merged.text(Field::Ort), u"Bamberg"_s);
    // Both notes, then every value the card no longer shows.
    EXPECT_EQ(notesText(merged),
              u"Kennt uns seit 1999.\n\nBestellt jeden Monat.\nZahlt bar.\n\n"
              "Beim Zusammenführen nicht übernommen:\n"
              "Kategorien: Privat\n"
              "Nachname: Mueller\nTelefon: 0951 123456"_s);
}

TEST_F(Merge, IsOneStepThatUndoTakesBackWholly) {
    const QStringList before = cardsAndCategories(store_->db()) + kartenInfoRows(store_->db());
    {
        veltro::store::UndoStep step(store_->db(), u"Karten zusammenführen"_s);
        mergeCards(*store_, proposedMerge(*store_->loadCard(keep_), *store_->loadCard(other_)));
        step.commit();
    }
    ASSERT_EQ(veltro::store::UndoLog::undoName(store_->db()), u"Karten zusammenführen"_s);
    ASSERT_TRUE(veltro::store::UndoLog::undo(store_->db()));
    EXPECT_EQ(cardsAndCategories(store_->db()) + kartenInfoRows(store_->db()), before);
    ASSERT_TRUE(veltro::store::UndoLog::redo(store_->db()));
    EXPECT_FALSE(store_->loadCard(other_));
}

TEST_F(Merge, MayTakeTheHeadingOfTheCardThatGoes) {
    auto plan = proposedMerge(*store_->loadCard(keep_), *store_->loadCard(other_));
    plan.take(Field::Schlagworte, true);
    mergeCards(*store_, plan);
    EXPECT_EQ(store_->findByHeading(u"Mueller Anna_1"), keep_);
    EXPECT_FALSE(store_->findByHeading(u"Müller Anna"));
}

TEST_F(Merge, OfEqualCardsAddsNothingToTheNotes) {
    const auto card = *store_->loadCard(keep_);
    auto copy = card;
    copy.set(Field::Schlagworte, u"Müller Anna_1"_s);
    const auto other = store_->insertCard(copy);
    auto plan = proposedMerge(card, *store_->loadCard(other));
    mergeCards(*store_, plan);
    EXPECT_EQ(store_->loadCard(keep_)->value(Field::Notizen), card.value(Field::Notizen));
}

TEST_F(Merge, OfACardThatIsGoneChangesNothing) {
    const auto plan = proposedMerge(*store_->loadCard(keep_), *store_->loadCard(other_));
    const auto before = *store_->loadCard(keep_);
    store_->deleteCard(other_);
    EXPECT_THROW(mergeCards(*store_, plan), veltro::store::StoreError);
    EXPECT_EQ(store_->loadCard(keep_)->values, before.values);
}

TEST_F(Merge, ThreeCardsBecomeOneOrNoneChanges) {
    auto third = *store_->loadCard(keep_);
    third.set(Field::Schlagworte, u"MÜLLER ANNA_2"_s);
    third.set(Field::Notizen, veltro::store::simpleRtf({u"Dritte Notiz"_s}));
    const auto thirdId = store_->insertCard(third);
    const auto before = store_->headings().size();
    const auto planFor = [&](std::int64_t other) {
        return proposedMerge(*store_->loadCard(keep_), *store_->loadCard(other));
    };
    const std::vector<MergePlan> plans = {planFor(other_), planFor(thirdId)};

    // A plan whose card has gone takes back the ones before it.
    auto broken = plans;
    broken.push_back(MergePlan{keep_, 4711, {}});
    EXPECT_THROW(mergeCards(*store_, broken), veltro::store::StoreError);
    EXPECT_EQ(store_->headings().size(), before);

    mergeCards(*store_, plans);
    EXPECT_EQ(store_->headings().size(), before - 2);
    const QString notes = notesText(*store_->loadCard(keep_));
    for (const auto* part : {u"Kennt uns seit 1999.", u"Zahlt bar.", u"Dritte Notiz"}) {
        EXPECT_TRUE(notes.contains(QString::fromUtf16(part))) << notes.toStdString();
    }
}

TEST(MergePlan, ComparesRichTextByWhatItShows) {
    veltro::store::Card a;
    veltro::store::Card b;
    a.set(Field::Anschrift, veltro::store::simpleRtf({u"Anna"_s, u"Bamberg"_s}, true));
    b.set(Field::Anschrift, veltro::store::simpleRtf({u"Anna"_s, u"Bamberg"_s}, false));
    EXPECT_FALSE(differs(a, b, Field::Anschrift));
    b.set(Field::Anschrift, veltro::store::simpleRtf({u"Anna"_s, u"Coburg"_s}));
    EXPECT_TRUE(differs(a, b, Field::Anschrift));
    EXPECT_TRUE(differs(a, b, Field::Vorname) == false);
}

}  // namespace
