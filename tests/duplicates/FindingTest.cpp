#include "duplicates/DuplicateFinder.h"

#include "TestHome.h"
#include "store/DuplicateDecisions.h"

#include <gtest/gtest.h>

using namespace veltro::duplicates;
using namespace veltro::testing;
using veltro::store::Field;

namespace {

CardFacts facts(std::int64_t id, const QString& heading, const QString& first = {},
                const QString& last = {}, const QString& mail = {}, const QString& phone = {},
                const QString& area = {}, const QString& mobile = {}) {
    return {id, QString::number(id), heading, first, last, mail, area, phone, mobile};
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
    const auto groups = findDuplicates({row.a, row.b, facts(99, u"Unbeteiligt"_qs)});
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
        PairCase{"ImportSuffix", facts(1, u"Müller Anna"_qs), facts(2, u"Mueller Anna_1"_qs),
                 SameHeading},
        PairCase{"SameName", facts(1, u"Anna"_qs, u"Anna"_qs, u"Weiß"_qs),
                 facts(2, u"Weiss, Anna"_qs, u"ANNA"_qs, u"Weiss"_qs), SameName | SoundsAlike},
        PairCase{"Phonetic", facts(1, u"Meier"_qs, u"Jens"_qs, u"Meier"_qs),
                 facts(2, u"Mayer"_qs, u"Jens"_qs, u"Mayer"_qs), SoundsAlike},
        PairCase{"PhoneticOtherFirstName", facts(1, u"Meier"_qs, u"Jens"_qs, u"Meier"_qs),
                 facts(2, u"Mayer"_qs, u"Jan"_qs, u"Mayer"_qs), 0},
        PairCase{"Mail", facts(1, u"A"_qs, {}, {}, u"Anna@Example.de"_qs),
                 facts(2, u"B"_qs, {}, {}, u"x@y.de, anna@example.DE"_qs), SameMail},
        PairCase{"PhoneWithAreaCode", facts(1, u"A"_qs, {}, {}, {}, u"12 34 56"_qs, u"0951"_qs),
                 facts(2, u"B"_qs, {}, {}, {}, u"+49 951 123456"_qs), SamePhone},
        PairCase{"MobileAgainstPhone", facts(1, u"A"_qs, {}, {}, {}, {}, {}, u"0171/2345678"_qs),
                 facts(2, u"B"_qs, {}, {}, {}, u"+49 171 2345678"_qs), SamePhone},
        PairCase{
            "Everything",
            facts(1, u"Dr. Schmidt Jens"_qs, u"Jens"_qs, u"Schmidt"_qs, u"j@s.de"_qs,
                  u"0951 1234"_qs),
            facts(2, u"Schmidt Jens_2"_qs, u"Jens"_qs, u"Schmidt"_qs, u"J@S.DE"_qs, u"09511234"_qs),
            SameHeading | SameName | SoundsAlike | SameMail | SamePhone},
        PairCase{"ShortNumbersAndEmptyFields", facts(1, u"A"_qs, {}, {}, {}, u"110"_qs),
                 facts(2, u"B"_qs, {}, {}, {}, u"110"_qs), 0},
        PairCase{"DifferentPeople", facts(1, u"Schmidt Jens"_qs, u"Jens"_qs, u"Schmidt"_qs),
                 facts(2, u"Schneider Jens"_qs, u"Jens"_qs, u"Schneider"_qs), 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Finding, JoinsCardsLinkedThroughOthersIntoOneGroup) {
    const auto groups = findDuplicates({
        facts(5, u"Anna"_qs, {}, {}, u"anna@x.de"_qs),
        facts(7, u"A. M."_qs, {}, {}, u"ANNA@x.de"_qs, u"0951 123456"_qs),
        facts(9, u"Büro"_qs, {}, {}, {}, u"0951-123456"_qs),
        facts(11, u"Jemand"_qs),
    });
    ASSERT_EQ(groups.size(), 1U);
    EXPECT_EQ(groups[0].cards, (std::vector<std::int64_t>{5, 7, 9}));
    ASSERT_EQ(groups[0].pairs.size(), 2U);
    EXPECT_EQ(groups[0].pairs[0].reasons, SameMail);  // best first
    EXPECT_EQ(groups[0].pairs[1].reasons, SamePhone);
}

TEST(Finding, PassesOverAKeyThatVeryManyCardsShare) {
    std::vector<CardFacts> cards;
    for (std::int64_t id = 1; id <= static_cast<std::int64_t>(kLargestBlock) + 1; ++id) {
        cards.push_back(facts(id, QStringLiteral("Firma %1").arg(id), {}, {}, u"info@firma.de"_qs));
    }
    cards.push_back(facts(100, u"Eva"_qs, {}, {}, {}, u"0951 777777"_qs));
    cards.push_back(facts(101, u"Eva B."_qs, {}, {}, {}, u"0951777777"_qs));
    const auto groups = findDuplicates(cards);
    ASSERT_EQ(groups.size(), 1U);
    EXPECT_EQ(groups[0].cards, (std::vector<std::int64_t>{100, 101}));
}

TEST(Finding, LeavesOutPairsCalledNoDuplicatesButKeepsTheRestOfTheGroup) {
    const std::vector<CardFacts> cards = {facts(1, u"Koch Eva"_qs), facts(2, u"koch eva"_qs),
                                          facts(3, u"Koch Eva_1"_qs)};
    const auto groups = findDuplicates(cards, {veltro::store::orderedPair(u"3"_qs, u"1"_qs),
                                               veltro::store::orderedPair(u"2"_qs, u"3"_qs)});
    ASSERT_EQ(groups.size(), 1U);
    EXPECT_EQ(groups[0].cards, (std::vector<std::int64_t>{1, 2}));
}

TEST(Finding, GroupsAgainstNewCardsKeepOnlyPairsWithCardsThereBefore) {
    const auto groups = findDuplicates({facts(1, u"Koch Eva"_qs), facts(2, u"Bauer Max"_qs),
                                        facts(3, u"Koch Eva_1"_qs), facts(4, u"Neu Nina"_qs),
                                        facts(5, u"Neu Nina_1"_qs)});
    const auto against = groupsAgainst(groups, {3, 4, 5});
    ASSERT_EQ(against.size(), 1U);
    EXPECT_EQ(against[0].cards, (std::vector<std::int64_t>{1, 3}));
}

TEST(Finding, SearchesAStoreAndRemembersWhatTheUserDecided) {
    TestHome home;
    makeStore(home.dir(), {u"K"_qs},
              {{u"Müller Anna"_qs, u"K"_qs, {{Field::EMailAdresse, u"anna@x.de"_qs}}},
               {u"Bauer Max"_qs, u"K"_qs, {{Field::Telefon, u"0951 4711 00"_qs}}},
               {u"Mueller Anna_1"_qs, u"K"_qs, {{Field::EMailAdresse, u"ANNA@x.de"_qs}}},
               {u"Max Bauer"_qs,
                u"K"_qs,
                {{Field::Vorwahl, u"0951"_qs}, {Field::Telefon, u"471100"_qs}}}});
    auto store = veltro::store::CardStore::open(home.storeFile());
    auto groups = findDuplicates(store);
    ASSERT_EQ(groups.size(), 2U);
    EXPECT_EQ(groups[0].pairs[0].reasons, SameHeading | SameMail);
    EXPECT_EQ(groups[1].pairs[0].reasons, SamePhone);
    veltro::store::markNotDuplicates(store.db(), groups[1].cards[0], groups[1].cards[1]);
    groups = findDuplicates(store);
    ASSERT_EQ(groups.size(), 1U);
    EXPECT_EQ(groups[0].pairs[0].reasons, SameHeading | SameMail);
}

}  // namespace
