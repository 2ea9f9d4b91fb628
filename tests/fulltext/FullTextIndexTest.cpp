// The full-text index kept in step card by card answers as one built afresh would.
#include "FullTextOracle.h"
#include "TestHome.h"

#include "fulltext/FullTextIndex.h"
#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/FoldedUtf8.h"
#include "store/SampleCards.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace veltro;
using fulltext::FullTextIndex;
using store::Field;

namespace {

std::vector<std::int64_t> idsOf(const FullTextIndex& index, const QString& text) {
    std::vector<std::int64_t> ids;
    const auto found = index.search(text);
    EXPECT_TRUE(found.has_value()) << text.toStdString();
    for (std::int64_t id = 0; found && id < 2000; ++id) {
        if (found->contains(id)) {
            ids.push_back(id);
        }
    }
    return ids;
}

FullTextIndex built(store::CardStore& s) {
    FullTextIndex index;
    const std::atomic<bool> never = false;
    EXPECT_TRUE(index.build(s, never));
    return index;
}

class FullTextIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        veltro::testing::makeStore(
            home_.dir(), {QStringLiteral("Privat")},
            {{QStringLiteral("Müller"),
              QStringLiteral("Privat"),
              {{Field::Ort, QStringLiteral("München")},
               {Field::Notizen, store::simpleRtf({QStringLiteral("Kaffee mit Zucker")}, true)}}},
             {QStringLiteral("Ende"),
              QStringLiteral("Privat"),
              {{Field::Telefon, QStringLiteral("5512")}}},
             {QStringLiteral("Anfang"),
              QStringLiteral("Privat"),
              {{Field::Telefon, QStringLiteral("1255")}}}});
        store_.emplace(store::CardStore::open(home_.storeFile()));
        store::CardExtras extras;
        extras.nickname = QStringLiteral("Spätzle");
        extras.entries = {
            {store::EntryKind::Telefon, store::EntryType::Mobil, QStringLiteral("0171 99887")},
            {store::EntryKind::Anschrift, store::EntryType::Privat, QStringLiteral("Am Hang 2"),
             QStringLiteral("96049"), QStringLiteral("Bamberg")}};
        store::writeCardExtras(store_->db(), 2, extras);
    }
    std::string extrasOf(std::int64_t id) { return store::SearchableExtras(store_->db()).of(id); }
    veltro::testing::TestHome home_;
    std::optional<store::CardStore> store_;
};

TEST_F(FullTextIndexTest, FindsVisibleTextIgnoringCaseAndEachFieldInItsWay) {
    const FullTextIndex index = built(*store_);
    EXPECT_EQ(idsOf(index, QStringLiteral("MÜ")), (std::vector<std::int64_t>{1}));
    EXPECT_EQ(idsOf(index, QStringLiteral("zucker")), (std::vector<std::int64_t>{1}));
    EXPECT_TRUE(idsOf(index, QStringLiteral("fs20")).empty());  // RTF codes are no text
    // Telefon ends with the text; "1255" only begins with 12.
    EXPECT_EQ(idsOf(index, QStringLiteral("12")), (std::vector<std::int64_t>{2}));
    EXPECT_FALSE(index.search(QStringLiteral("[a")).has_value());
    // Further entries are found anywhere in their text, each on its own.
    for (const char* text : {"spätz", "99887", "0171", "bamb", "960"}) {
        EXPECT_EQ(idsOf(index, QString::fromUtf8(text)), (std::vector<std::int64_t>{2})) << text;
    }
    EXPECT_TRUE(idsOf(index, QStringLiteral("96049 bamberg")).empty());
}

TEST_F(FullTextIndexTest, UpdatesAndRemovalsMatchARebuildAfterManyRandomChanges) {
    FullTextIndex kept = built(*store_);
    std::mt19937 random(7);
    const QStringList words{QStringLiteral("Bäcker"), QStringLiteral("Maler"),
                            QStringLiteral("Zucker"), QStringLiteral("Ölwechsel"),
                            QStringLiteral("12"),     QString()};
    std::vector<std::int64_t> ids{1, 2, 3};
    store::Transaction quick(store_->db());
    for (int step = 0; step < 600; ++step) {
        const auto pick = [&](const auto& from) { return from[random() % from.size()]; };
        const int action = static_cast<int>(random() % 10);
        if (action == 0 && ids.size() > 1) {
            const auto id = pick(ids);
            store_->deleteCard(id);
            kept.remove(id);
            ids.erase(std::find(ids.begin(), ids.end(), id));
        } else if (action == 1) {
            store::Card card;
            card.set(Field::Schlagworte, QStringLiteral("Neu %1").arg(step));
            card.set(Field::Firma, pick(words));
            const auto id = store_->insertCard(card);
            ids.push_back(id);
            kept.update(*store_->loadCard(id), extrasOf(id));
        } else if (action == 2) {
            const auto id = pick(ids);
            store::CardExtras extras;
            extras.title = pick(words);
            extras.entries = {{store::EntryKind::EMail, store::EntryType::Andere, pick(words)}};
            store::writeCardExtras(store_->db(), id, extras);
            kept.update(*store_->loadCard(id), extrasOf(id));
        } else {
            const auto id = pick(ids);
            store_->writeFields(id, {{Field::Firma, pick(words)},
                                     {Field::Notizen, store::simpleRtf({pick(words)}, false)}});
            kept.update(*store_->loadCard(id), extrasOf(id));
        }
    }
    quick.commit();
    const FullTextIndex fresh = built(*store_);
    EXPECT_EQ(kept.size(), fresh.size());
    for (const QString& word :
         words.mid(0, 5) + QStringList{QStringLiteral("Neu"), QStringLiteral("*cker")}) {
        EXPECT_EQ(idsOf(kept, word), idsOf(fresh, word)) << word.toStdString();
    }
}

using veltro::testing::matchesDirectly;

TEST(FullTextIndexPieces, FindsExactlyWhatEachFieldHoldsWithAndWithoutSeparators) {
    std::mt19937 random(19);
    const std::vector<std::string> words = {"müller", "mül", "anna",   "ab", "b",
                                            "1",      "12",  "straße", "ü",  "x"};
    const std::vector<std::string> gaps = {" ", ", ", ".", "-", "\n", "@", ""};
    const auto text = [&] {
        std::string value;
        const auto parts = random() % 5;
        for (unsigned k = 0; k < parts; ++k) {
            value += words[random() % words.size()] + gaps[random() % gaps.size()];
        }
        return value;
    };
    FullTextIndex index;
    std::vector<FullTextIndex::Values> cards(300);
    for (std::size_t id = 0; id < cards.size(); ++id) {
        for (auto& value : cards[id]) {
            value = text();
        }
        index.append(static_cast<std::int64_t>(id), cards[id]);
    }
    for (int probe = 0; probe < 300; ++probe) {
        std::string needle = text();
        needle = needle.substr(0, 1 + random() % std::max<std::size_t>(1, needle.size()));
        if (needle.empty() || needle.find_first_of("*?#[") != std::string::npos ||
            !store::isValidUtf8(needle)) {
            continue;
        }
        const auto found = index.search(QString::fromStdString(needle));
        ASSERT_TRUE(found.has_value()) << needle;
        for (std::size_t id = 0; id < cards.size(); ++id) {
            ASSERT_EQ(found->contains(static_cast<std::int64_t>(id)),
                      matchesDirectly(cards[id], needle))
                << "\"" << needle << "\" card " << id;
        }
    }
}

TEST(FullTextIndexValues, FromTheStoresUtf8AsFromItsText) {
    const std::vector<std::string> samples = {
        "",
        "MÜLLER, Hauptstraße 3",
        "ǅ ΣΊΣΥΦΟΣ İstanbul ẞ 😀",
        "M\xC3(kaputt\xFF",
        store::simpleRtf({QStringLiteral("Grüße an Jürgen"), QStringLiteral("ZWEI")}, true)
            .toStdString(),
        "{\\rtf1 Gr\\'dc\\'dfe \\u8364? Äpfel\\par}",
    };
    for (const std::string& sample : samples) {
        SCOPED_TRACE(sample);
        store::Card card;
        std::vector<std::string_view> views;
        for (const Field field : store::kFullTextFields) {
            card.set(field,
                     QString::fromUtf8(sample.data(), static_cast<qsizetype>(sample.size())));
            views.push_back(sample);
        }
        EXPECT_EQ(FullTextIndex::valuesOfUtf8(views, sample),
                  FullTextIndex::valuesOf(card, sample));
    }
}

// Over 32768 distinct pieces, so that piece numbers take two units and the second unit of
// one may equal the number of another: rare and common words alike find exactly their cards.
TEST(FullTextIndexPieces, RareAndCommonWordsAmongManyPiecesFindTheirCards) {
    std::mt19937 random(7);
    FullTextIndex index;
    std::vector<FullTextIndex::Values> cards(2500);
    for (std::size_t id = 0; id < cards.size(); ++id) {
        for (int w = 0; w < 30; ++w) {
            cards[id][random() % FullTextIndex::kPieceColumns] +=
                "w" + std::to_string(random() % 90000) + (w % 3 == 0 ? ", " : " ");
        }
        index.append(static_cast<std::int64_t>(id), cards[id]);
    }
    for (const std::string needle : {"w1", "w17", "w123", "w4567", "w89999", "w2", "w60001"}) {
        const auto found = index.search(QString::fromStdString(needle));
        ASSERT_TRUE(found.has_value());
        for (std::size_t id = 0; id < cards.size(); ++id) {
            ASSERT_EQ(found->contains(static_cast<std::int64_t>(id)),
                      matchesDirectly(cards[id], needle))
                << needle << " card " << id;
        }
    }
}

}  // namespace
