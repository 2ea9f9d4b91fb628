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

}  // namespace
