#include "duplicates/DuplicateFinder.h"

#include "TestHome.h"
#include "store/CardExtrasTable.h"
#include "store/DuplicateDecisions.h"

#include <gtest/gtest.h>

using namespace veltro::duplicates;
using namespace veltro::testing;
using veltro::store::EntryKind;
using veltro::store::EntryType;
using veltro::store::Field;

using namespace Qt::Literals::StringLiterals;

namespace {

CardFacts facts(std::int64_t id, const QString& heading, const QString& first = {},
                const QString& last = {}, const QString& mail = {}, const QString& phone = {},
                const QString& area = {}, const QString& mobile = {}) {
    return {id, QString::number(id), heading, first, last, mail, area, phone, mobile, {}, {}};
}

struct PairCase {
    const char* name;
    CardFacts a;
    CardFacts b;
    unsigned reasons;  // 0: no pair
};

void PrintTo(const PairCase& row, std::ostream* out) {
    *out << row.name;
}

class PairFinding : public ::testing::TestWithParam<PairCase> {};

TEST_P(PairFinding, PairsCardsForTheirReasonsOnly) {
    const auto& row = GetParam();
    const auto groups = findDuplicates({row.a, row.b, facts(99, u"Unbeteiligt"_s)});
    if (row.reasons == 0) {
        EXPECT_TRUE(groups.empty());
        return;
    }
    ASSERT_EQ(groups.size(), 1U);
    ASSERT_EQ(groups[0].pairs.size(), 1U);
    EXPECT_EQ(groups[0].cards, (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(groups[0].pairs[0].reasons, row.reasons)
        << reasonText(groups[0].pairs[0].reasons).toStdString();
    EXPECT_EQ(groups[0].pairs[0].score, scoreOf(row.reasons));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PairFinding,
    ::testing::Values(
        PairCase{"ImportSuffix", facts(1, u"Müller Anna"_s), facts(2, u"Mueller Anna_1"_s),
                 SameHeading},
        PairCase{"SameName", facts(1, u"Anna"_s, u"Anna"_s, u"Weiß"_s),
                 facts(2, u"Weiss, Anna"_s, u"ANNA"_s, u"Weiss"_s), SameName | SoundsAlike},
        PairCase{"Phonetic", facts(1, u"Meier"_s, u"Jens"_s, u"Meier"_s),
                 facts(2, u"Mayer"_s, u"Jens"_s, u"Mayer"_s), SoundsAlike},
        PairCase{"PhoneticOtherFirstName", facts(1, u"Meier"_s, u"Jens"_s, u"Meier"_s),
                 facts(2, u"Mayer"_s, u"Jan"_s, u"Mayer"_s), 0},
        PairCase{"Mail", facts(1, u"A"_s, {}, {}, u"Anna@Example.de"_s),
                 facts(2, u"B"_s, {}, {}, u"x@y.de, anna@example.DE"_s), SameMail},
        PairCase{"PhoneWithAreaCode", facts(1, u"A"_s, {}, {}, {}, u"12 34 56"_s, u"0951"_s),
                 facts(2, u"B"_s, {}, {}, {}, u"+49 951 123456"_s), SamePhone},
        PairCase{"MobileAgainstPhone", facts(1, u"A"_s, {}, {}, {}, {}, {}, u"0171/2345678"_s),
                 facts(2, u"B"_s, {}, {}, {}, u"+49 171 2345678"_s), SamePhone},
        PairCase{
            "Everything",
            facts(1, u"Dr. Schmidt Jens"_s, u"Jens"_s, u"Schmidt"_s, u"j@s.de"_s, u"0951 1234"_s),
            facts(2, u"Schmidt Jens_2"_s, u"Jens"_s, u"Schmidt"_s, u"J@S.DE"_s, u"09511234"_s),
            SameHeading | SameName | SoundsAlike | SameMail | SamePhone},
        PairCase{"ShortNumbersAndEmptyFields", facts(1, u"A"_s, {}, {}, {}, u"110"_s),
                 facts(2, u"B"_s, {}, {}, {}, u"110"_s), 0},
        PairCase{"DifferentPeople", facts(1, u"Schmidt Jens"_s, u"Jens"_s, u"Schmidt"_s),
                 facts(2, u"Schneider Jens"_s, u"Jens"_s, u"Schneider"_s), 0}),
    [](const auto& row) { return std::string(row.param.name); });

struct GroupCase {
    const char* name;
    std::vector<CardFacts> cards;
    std::vector<std::vector<std::int64_t>> groups;  // best first
};

void PrintTo(const GroupCase& row, std::ostream* out) {
    *out << row.name;
}

class GroupFinding : public ::testing::TestWithParam<GroupCase> {};

TEST_P(GroupFinding, JoinsOnlyCardsAlikeByNameOrByTwoKindsOfEvidence) {
    std::vector<std::vector<std::int64_t>> found;
    for (const Group& group : findDuplicates(GetParam().cards)) {
        found.push_back(group.cards);
    }
    EXPECT_EQ(found, GetParam().groups);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GroupFinding,
    ::testing::Values(GroupCase{"AMobileSharedWithAFirmMakesAPairOfItsOwn",
                                {facts(1, u"Müller Anna"_s, u"Anna"_s, u"Müller"_s),
                                 facts(2, u"Mueller Anna_1"_s, u"Anna"_s, u"Mueller"_s, {}, {}, {},
                                       u"0171 2345678"_s),
                                 facts(3, u"Müller GmbH"_s, {}, {}, {}, u"0171/2345678"_s)},
                                {{1, 2}, {2, 3}}},
                      GroupCase{"OneSharedMailChainsNothing",
                                {facts(5, u"Anna"_s, {}, {}, u"anna@x.de"_s, u"0951 123456"_s),
                                 facts(7, u"A. M."_s, {}, {}, u"ANNA@x.de"_s, u"0951-123456"_s),
                                 facts(9, u"Büro"_s, {}, {}, u"anna@x.de"_s)},
                                {{5, 7}, {5, 9}, {7, 9}}},
                      GroupCase{"NamesChainAndKeepAWeakPairWithin",
                                {facts(1, u"Koch Eva"_s, {}, {}, {}, u"0951 777777"_s),
                                 facts(2, u"Koch Eva_1"_s, u"Eva"_s, u"Koch"_s),
                                 facts(3, u"Eva Koch"_s, u"Eva"_s, u"Koch"_s, {}, u"0951777777"_s)},
                                {{1, 2, 3}}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Finding, PassesOverAKeyThatVeryManyCardsShare) {
    std::vector<CardFacts> cards;
    for (std::int64_t id = 1; id <= static_cast<std::int64_t>(kLargestBlock) + 1; ++id) {
        cards.push_back(facts(id, QStringLiteral("Firma %1").arg(id), {}, {}, u"info@firma.de"_s));
    }
    cards.push_back(facts(100, u"Eva"_s, {}, {}, {}, u"0951 777777"_s));
    cards.push_back(facts(101, u"Eva B."_s, {}, {}, {}, u"0951777777"_s));
    const auto groups = findDuplicates(cards);
    ASSERT_EQ(groups.size(), 1U);
    EXPECT_EQ(groups[0].cards, (std::vector<std::int64_t>{100, 101}));
}

TEST(Finding, LeavesOutPairsCalledNoDuplicatesButKeepsTheRestOfTheGroup) {
    const std::vector<CardFacts> cards = {facts(1, u"Koch Eva"_s), facts(2, u"koch eva"_s),
                                          facts(3, u"Koch Eva_1"_s)};
    const auto groups = findDuplicates(cards, {veltro::store::orderedPair(u"3"_s, u"1"_s),
                                               veltro::store::orderedPair(u"2"_s, u"3"_s)});
    ASSERT_EQ(groups.size(), 1U);
    EXPECT_EQ(groups[0].cards, (std::vector<std::int64_t>{1, 2}));
}

TEST(Finding, GroupsAgainstNewCardsKeepOnlyPairsWithCardsThereBefore) {
    const auto groups = findDuplicates({facts(1, u"Koch Eva"_s), facts(2, u"Bauer Max"_s),
                                        facts(3, u"Koch Eva_1"_s), facts(4, u"Neu Nina"_s),
                                        facts(5, u"Neu Nina_1"_s)});
    const auto against = groupsAgainst(groups, {3, 4, 5});
    ASSERT_EQ(against.size(), 1U);
    EXPECT_EQ(against[0].cards, (std::vector<std::int64_t>{1, 3}));
}

TEST(Finding, SearchesAStoreAndRemembersWhatTheUserDecided) {
    TestHome home;
    makeStore(home.dir(), {u"K"_s},
              {{u"Müller Anna"_s, u"K"_s, {{Field::EMailAdresse, u"anna@x.de"_s}}},
               {u"Bauer Max"_s, u"K"_s, {{Field::Telefon, u"0951 4711 00"_s}}},
               {u"Mueller Anna_1"_s, u"K"_s, {{Field::EMailAdresse, u"ANNA@x.de"_s}}},
               {u"Max Bauer"_s, u"K"_s, {}}});
    auto store = veltro::store::CardStore::open(home.storeFile());
    // Numbers and addresses beyond the card's own fields count as theirs.
    veltro::store::CardExtras more;
    more.entries = {{EntryKind::Telefon, EntryType::Mobil, u"0951 471100"_s},
                    {EntryKind::EMail, EntryType::Privat, u"max@bauer.de"_s}};
    veltro::store::writeCardExtras(store.db(), 4, more);
    veltro::store::writeCardExtras(store.db(), 2, more);
    auto groups = findDuplicates(store);
    ASSERT_EQ(groups.size(), 2U);
    EXPECT_EQ(groups[0].pairs[0].reasons, SamePhone | SameMail);
    EXPECT_EQ(groups[1].pairs[0].reasons, SameHeading | SameMail);
    veltro::store::markNotDuplicates(store.db(), groups[0].cards[0], groups[0].cards[1]);
    groups = findDuplicates(store);
    ASSERT_EQ(groups.size(), 1U);
    EXPECT_EQ(groups[0].pairs[0].reasons, SameHeading | SameMail);
}

}  // namespace
