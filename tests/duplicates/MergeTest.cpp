#include "duplicates/CardMerge.h"

#include "StoreState.h"
#include "TestHome.h"
#include "richtext/StoredText.h"
#include "store/CardExtrasTable.h"
#include "store/DuplicateDecisions.h"
#include "store/SampleCards.h"
#include "store/StoreError.h"
#include "store/UndoLog.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace veltro::duplicates;
using namespace veltro::testing;
using veltro::store::Card;
using veltro::store::CardStore;
using veltro::store::Field;

using namespace Qt::Literals::StringLiterals;

namespace {

// What the user reads of a field.
QString shown(const Card& card, Field field) {
    return field == Field::Anschrift || field == Field::Notizen
               ? veltro::richtext::plainTextFromStored(card.text(field),
                                                       veltro::richtext::LineBreak::Lf)
                     .trimmed()
               : card.text(field);
}

QString notesText(const Card& card) {
    return shown(card, Field::Notizen);
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

TEST_F(Merge, KeepsTheIdentityTakesTheTickedValuesAndLosesNoText) {
    using namespace veltro::store;
    CardExtras mine;
    mine.entries = {{EntryKind::Telefon, EntryType::Mobil, u"0171 1"_s}};
    CardExtras theirs = mine;
    theirs.birthday = PartialDate{1970, 3, 1};
    theirs.entries.push_back({EntryKind::EMail, EntryType::Privat, u"anna@y.de"_s});
    writeCardExtras(store_->db(), keep_, mine);
    writeCardExtras(store_->db(), other_, theirs);
    auto plan = proposedMerge(*store_->loadCard(keep_), *store_->loadCard(other_));
    plan.take(Field::Telefon, true);
    plan.take(Field::Kategorien, true);
    mergeCards(*store_, plan);
    EXPECT_EQ(loadCardExtras(store_->db(), keep_), theirs);

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
              "Schlagworte: Mueller Anna_1\nKategorien: Privat\n"
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

TEST_F(Merge, OfEqualCardsAddsNothingToTheNotes) {
    const auto card = *store_->loadCard(keep_);
    auto copy = card;
    copy.set(Field::Schlagworte, u"Müller Anna_1"_s);
    const auto other = store_->insertCard(copy);
    auto plan = proposedMerge(card, *store_->loadCard(other));
    mergeCards(*store_, plan);
    EXPECT_EQ(store_->loadCard(keep_)->value(Field::Notizen), card.value(Field::Notizen));
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
}

// A card with every field filled, each value its own.
Card filledCard(const QString& heading, int number) {
    Card card;
    const QString tag = QString::number(number);
    for (std::size_t i = 0; i < veltro::store::kFieldCount; ++i) {
        card.set(static_cast<Field>(i), veltro::store::columnName(static_cast<Field>(i)) + tag);
    }
    card.set(Field::Schlagworte, heading);
    card.set(Field::Vorname, u"Eva"_s);
    card.set(Field::Nachname, u"Koch"_s);
    card.set(Field::Anschrift, veltro::store::simpleRtf({u"Hauptstraße "_s + tag, u"Bamberg"_s}));
    card.set(Field::Notizen, veltro::store::simpleRtf({u"Notiz "_s + tag}));
    return card;
}

// The value stands in the merged card's field or as a line of its notes; a heading that
// differs only by an import's "_1" counts as kept.
bool holds(const Card& merged, Field field, const QString& value) {
    const QString kept = shown(merged, field);
    const auto bare = [](QString heading) {
        return heading.remove(QRegularExpression(u"_\\d+$"_s));
    };
    return kept == value || (field == Field::Notizen && kept.contains(value)) ||
           (field == Field::Schlagworte && bare(kept) == bare(value)) ||
           notesText(merged).split(u'\n').contains(veltro::store::columnName(field) + u": "_s +
                                                   QString(value).replace(u'\n', u" / "_s));
}

TEST(MergeOfThree, KeepsEveryValueOfEveryCardOrListsItInTheNotes) {
    for (const bool everyFieldFromTheOthers : {false, true}) {
        SCOPED_TRACE(everyFieldFromTheOthers ? "every field from the others" : "proposed");
        TestHome home;
        makeStore(home.dir(), {u"K"_s}, {});
        auto store = CardStore::open(home.storeFile());
        std::vector<Card> cards = {filledCard(u"Koch Eva"_s, 1), filledCard(u"Dr. Koch Eva"_s, 2),
                                   filledCard(u"Koch Eva_1"_s, 3)};
        cards[0].set(Field::Telefon, u"-"_s);  // an import's empty field
        cards[1].set(Field::Fax, u"-"_s);
        std::vector<MergePlan> plans;
        for (Card& card : cards) {
            card.id = store.insertCard(card);
            if (card.id != cards[0].id) {
                plans.push_back(proposedMerge(cards[0], card));
                if (everyFieldFromTheOthers) {
                    std::fill_n(plans.back().fromOther.begin(), plans.back().fromOther.size() - 1,
                                true);
                }
            }
        }
        const Card merged = mergeCards(store, plans);
        for (const Card& card : cards) {
            for (std::size_t i = 0; i < veltro::store::kFieldCount; ++i) {
                const auto field = static_cast<Field>(i);
                const QString value = shown(card, field);
                EXPECT_TRUE(value == u"-" || holds(merged, field, value))
                    << value.toStdString() << "\n"
                    << notesText(merged).toStdString();
            }
        }
        EXPECT_FALSE(notesText(merged).contains(u": -\n"_s) ||
                     notesText(merged).endsWith(u": -"_s));
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

// A card with a heading, a name and a mobile number.
Card person(const QString& heading, const QString& first, const QString& last,
            const QString& mobile) {
    return cardFrom(
        {heading,
         u"K"_s,
         {{Field::Vorname, first}, {Field::Nachname, last}, {Field::Mobiltelefon, mobile}}});
}

struct ProposalCase {
    const char* name;
    Card keep;
    Card other;
    bool takesMobile;
};

void PrintTo(const ProposalCase& row, std::ostream* out) {
    *out << row.name;
}

class Proposal : public ::testing::TestWithParam<ProposalCase> {};

TEST_P(Proposal, FillsOnlyRealGapsFromACardOfTheSameName) {
    const auto& row = GetParam();
    EXPECT_EQ(proposedMerge(row.keep, row.other).takes(Field::Mobiltelefon), row.takesMobile);
}

const Card kAnna = person(u"Müller Anna"_s, u"Anna"_s, u"Müller"_s, {});

INSTANTIATE_TEST_SUITE_P(
    Cases, Proposal,
    ::testing::Values(
        ProposalCase{"AGap", kAnna,
                     person(u"Mueller Anna_1"_s, u"Anna"_s, u"Mueller"_s, u"0171 1"_s), true},
        ProposalCase{"TheKeptValue", person(u"Müller Anna"_s, u"Anna"_s, u"Müller"_s, u"0171 2"_s),
                     person(u"Müller Anna_1"_s, u"Anna"_s, u"Müller"_s, u"0171 1"_s), false},
        ProposalCase{"NeverAPlaceholder", kAnna,
                     person(u"Müller Anna_1"_s, u"Anna"_s, u"Müller"_s, u"-"_s), false},
        ProposalCase{"APlaceholderIsAGap", person(u"Müller Anna"_s, u"Anna"_s, u"Müller"_s, u"-"_s),
                     person(u"Müller Anna_1"_s, u"Anna"_s, u"Müller"_s, u"0171 1"_s), true},
        ProposalCase{"NothingFromAFirm", kAnna, person(u"Müller GmbH"_s, {}, {}, u"0171 1"_s),
                     false},
        ProposalCase{"SameHeadingWithoutNames", person(u"Müller Anna"_s, {}, {}, {}),
                     person(u"Mueller Anna_1"_s, {}, {}, u"0171 1"_s), true},
        ProposalCase{"SameHeadingOtherFirstName", person(u"Müller"_s, u"Anna"_s, u"Müller"_s, {}),
                     person(u"Müller_1"_s, u"Hans"_s, u"Müller"_s, u"0171 1"_s), false},
        ProposalCase{"NamesSoundingAlike", kAnna,
                     person(u"Möller Anna"_s, u"Anna"_s, u"Möller"_s, u"0171 1"_s), false}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
