#include "FullTextOracle.h"
#include "TestHome.h"

#include "fulltext/FullTextIndex.h"
#include "session/FullTextSearch.h"
#include "store/CardStore.h"
#include "store/CaseFold.h"
#include "store/SampleCards.h"

#include <QTest>

#include <gtest/gtest.h>

#include <set>

using namespace veltro;
using fulltext::FullTextIndex;
using session::FullTextSearch;
using store::Field;

namespace {

using veltro::testing::matchesDirectly;

std::set<std::int64_t> bruteForce(store::CardStore& store, const QString& text) {
    const std::string needle = store::foldCase(text).toStdString();
    std::set<std::int64_t> ids;
    store.forEachCard([&](const store::Card& card) {
        if (card.value(Field::Schlagworte) &&
            matchesDirectly(FullTextIndex::valuesOf(card), needle)) {
            ids.insert(card.id);
        }
    });
    return ids;
}

const QStringList kTexts = {QStringLiteral("MÜL"),     QStringLiteral("nürnberg"),
                            QStringLiteral("rückruf"), QStringLiteral("nr. 12"),
                            QStringLiteral("0912"),    QStringLiteral("bamberg ")};

// Enough cards for two readers, changed while they read.
TEST(FullTextSearchTest, AnswersFromPartOfTheCardsWhileBuildingAndFromAllOnceDone) {
    veltro::testing::TestHome home;
    store::writeSyntheticStore(home.dir(), 24000, 5);
    auto store = store::CardStore::open(home.storeFile());
    bool built = false;
    FullTextSearch search([&] { built = true; });
    search.start(home.storeFile());

    std::vector<std::int64_t> deleted;
    for (std::int64_t id = 7; id < 24000; id += 1500) {
        if (id % 2 == 1) {
            store.deleteCard(id);
            deleted.push_back(id);
        } else {
            store.writeFields(id, {{Field::Ort, QStringLiteral("Mülheim")}});
        }
        search.changed(store, id);
    }
    store::Card added;
    added.set(Field::Schlagworte, QStringLiteral("Rückruf Nürnberg"));
    added.set(Field::Kategorien, QStringLiteral("Privat"));
    const std::int64_t addedId = store.insertCard(added);
    search.changed(store, addedId);

    std::vector<std::pair<QString, fulltext::IdSet>> partial;
    for (int step = 0; !built; ++step) {
        const QString& text = kTexts[step % kTexts.size()];
        auto answer = search.search(store, text);
        ASSERT_TRUE(answer.ids.has_value());
        if (!answer.complete) {
            partial.emplace_back(text, std::move(*answer.ids));
        }
        QTest::qWait(5);
    }
    EXPECT_FALSE(partial.empty());

    for (const QString& text : kTexts) {
        const auto answer = search.search(store, text);
        ASSERT_TRUE(answer.complete);
        const auto expected = bruteForce(store, text);
        EXPECT_TRUE(answer.ids->contains(addedId) == expected.contains(addedId));
        for (std::int64_t id = 1; id <= addedId; ++id) {
            ASSERT_EQ(answer.ids->contains(id), expected.contains(id))
                << text.toStdString() << " card " << id;
        }
        for (const auto& [partText, ids] : partial) {
            if (partText != text) {
                continue;
            }
            for (std::int64_t id = 1; id <= addedId; ++id) {
                ASSERT_FALSE(ids.contains(id) && !expected.contains(id))
                    << "partial answer for " << text.toStdString() << " holds card " << id;
            }
        }
    }
    for (const std::int64_t id : deleted) {
        EXPECT_FALSE(search.search(store, QStringLiteral("e")).ids->contains(id)) << id;
    }
}

TEST(FullTextSearchTest, AStoreThatCannotBeReadInTheBackgroundIsReadOnFirstSearch) {
    veltro::testing::TestHome home;
    store::writeSampleStore(home.dir(), store::demoCards());
    auto store = store::CardStore::open(home.storeFile());
    FullTextSearch search;
    search.start(home.dir() / "missing" / "Kartix.mdb");
    const auto answer = search.search(store, QStringLiteral("a"));
    EXPECT_TRUE(answer.complete);
    EXPECT_EQ(answer.ids.has_value(), true);
    const auto expected = bruteForce(store, QStringLiteral("a"));
    for (const std::int64_t id : expected) {
        EXPECT_TRUE(answer.ids->contains(id)) << id;
    }
}

}  // namespace
