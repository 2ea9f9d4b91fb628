// What the card and category commands do to the store, without a window.
#include "TestHome.h"

#include "maintenance/CardOperations.h"
#include "store/CardStore.h"

#include <gtest/gtest.h>

using namespace veltro;
using namespace Qt::Literals::StringLiterals;

namespace {

class CardOperations : public ::testing::Test {
protected:
    void SetUp() override {
        veltro::testing::makeStore(home_.dir(), {QStringLiteral("Privat"), QStringLiteral("Firma")},
                                   {{QStringLiteral("Müller"), QStringLiteral("Privat")},
                                    {QStringLiteral("Bau"), QStringLiteral("privat")},
                                    {QStringLiteral("Schulz"), QStringLiteral("Firma")}});
        store_.emplace(store::CardStore::open(home_.storeFile()));
    }
    QStringList cards() {
        QStringList rows;
        for (const auto& row : store_->headings()) {
            rows << row.heading + u'/' + row.category;
        }
        return rows;
    }
    veltro::testing::TestHome home_;
    std::optional<store::CardStore> store_;
};

// With the card index or without it, as the window and the command line add cards.
TEST_F(CardOperations, ANewCardNeedsAHeadingNoCardHasInAnyCase) {
    for (const bool withIndex : {false, true}) {
        store::CardIndex index;
        index.load(*store_);
        const auto add = [&](const QString& heading) {
            return withIndex ? maintenance::addCard(*store_, index, heading, u"Firma"_s)
                             : maintenance::addCard(*store_, heading, u"Firma"_s);
        };
        const auto clash = add(withIndex ? u"müLLER"_s : u"MÜLLER"_s);
        EXPECT_FALSE(clash.id);
        EXPECT_EQ(clash.clash, std::optional<std::int64_t>(1));
        const QString heading = withIndex ? u"Neu2"_s : u"Neu"_s;
        const auto added = add(heading);
        ASSERT_TRUE(added.id);
        EXPECT_EQ(added.number, withIndex ? u"5"_s : u"4"_s);
        EXPECT_EQ(cards().last(), heading + u"/Firma"_s);
    }
}

TEST_F(CardOperations, CategoryCommandsTakeEveryCardOfTheNameInAnyCase) {
    maintenance::renameCategory(*store_, QStringLiteral("PRIVAT"), QStringLiteral("Freunde"));
    EXPECT_EQ(cards(), (QStringList{u"Müller/Freunde"_s, u"Bau/Freunde"_s, u"Schulz/Firma"_s}));
    EXPECT_EQ(store_->categories(), (std::vector<QString>{u"Freunde"_s, u"Firma"_s}));
    maintenance::assignCategory(*store_, QStringLiteral("bau"), QStringLiteral("Firma"));
    maintenance::deleteCategory(*store_, QStringLiteral("firma"));
    EXPECT_EQ(cards(), (QStringList{u"Müller/Freunde"_s}));
    // The category record of exactly that name goes; another spelling stays.
    EXPECT_EQ(store_->categories(), (std::vector<QString>{u"Freunde"_s, u"Firma"_s}));
}

TEST_F(CardOperations, RenamingWritesExactlyTheGivenCard) {
    maintenance::renameCard(*store_, 2, QStringLiteral("Baumann"),
                            {{store::Field::Firma, QStringLiteral("Bau GmbH")}});
    EXPECT_EQ(store_->loadCard(2)->text(store::Field::Schlagworte), QStringLiteral("Baumann"));
    EXPECT_EQ(store_->loadCard(2)->text(store::Field::Firma), QStringLiteral("Bau GmbH"));
    EXPECT_EQ(store_->loadCard(1)->text(store::Field::Schlagworte), QStringLiteral("Müller"));
}

}  // namespace
