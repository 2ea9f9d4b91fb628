#include "store/CardIndex.h"
#include "store/CaseFold.h"
#include "store/FoldedUtf8.h"
#include "store/HeadingOrder.h"
#include "store/Schema.h"

#include <QCollator>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using veltro::store::CardIndex;
using veltro::store::CardStore;
using veltro::store::CategoryFilter;
using veltro::store::Field;
using veltro::store::HeadingRow;
using veltro::store::LikePattern;

namespace {

// Characters the store meets: ASCII, umlauts, accents, ß, other scripts, symbols.
const QString kAlphabet =
    QString::fromUtf8("aAbBeEmMrRsSuUzZ0159 -.,'&/_()äÄöÖüÜßéÉèàçñøæłŁşĳΣσςДжİı€–„“\t") +
    QString::fromUcs4(U"\U0001F600", 1);

// Printable ASCII and the Latin-1 letters German text meets.
QString latinAlphabet() {
    QString letters = QString::fromUtf8("äÄöÖüÜéÉèàçñÿÅ");
    for (char16_t c = 0x20; c < 0x7F; ++c) {
        letters += QChar(c);
    }
    return letters;
}

QString randomText(std::mt19937& rng, int maxLength, const QString& alphabet = kAlphabet) {
    QString text;
    const int length = static_cast<int>(rng() % static_cast<unsigned>(maxLength + 1));
    for (int i = 0; i < length; ++i) {
        auto at = static_cast<qsizetype>(rng() % static_cast<unsigned>(alphabet.size()));
        at -= alphabet[at].isLowSurrogate() ? 1 : 0;
        text += alphabet[at];
        if (alphabet[at].isHighSurrogate()) {
            text += alphabet[at + 1];
        }
    }
    return text;
}

QCollator germanCollator() {
    QCollator collator(QLocale(QLocale::German, QLocale::Germany));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

std::vector<HeadingRow> sortedByCollator(std::vector<HeadingRow> rows) {
    const QCollator collator = germanCollator();
    std::sort(rows.begin(), rows.end(), [&](const HeadingRow& a, const HeadingRow& b) {
        const int order = collator.compare(a.heading, b.heading);
        return order != 0 ? order < 0 : a.id < b.id;
    });
    return rows;
}

std::vector<HeadingRow> contentOf(const CardIndex& index) {
    std::vector<HeadingRow> rows;
    for (std::int32_t i = 0; i < index.size(); ++i) {
        const auto entry = index.at(i);
        rows.push_back({entry.id, entry.heading, entry.category});
    }
    return rows;
}

void expectSameRows(const std::vector<HeadingRow>& actual, const std::vector<HeadingRow>& expected,
                    const std::string& context) {
    ASSERT_EQ(actual.size(), expected.size()) << context;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].id, expected[i].id) << context << " at " << i;
        EXPECT_EQ(actual[i].heading, expected[i].heading) << context << " at " << i;
        EXPECT_EQ(actual[i].category, expected[i].category) << context << " at " << i;
    }
}

const std::vector<QString> kCategories = {QStringLiteral("Ärzte"), QStringLiteral("ärzte"),
                                          QStringLiteral("Kunden"), QString()};

std::vector<QString> patterns() {
    return {QStringLiteral("*"),    QStringLiteral("*m*"),  QStringLiteral("*MÜ*"),
            QStringLiteral("*ß*"),  QStringLiteral("a*"),   QStringLiteral("*e"),
            QStringLiteral("ä"),    QStringLiteral("*?u*"), QStringLiteral("[a-m]*"),
            QStringLiteral("*#*"),  QStringLiteral("*σ*"),  QStringLiteral("*\U0001F600*"),
            QStringLiteral("* -*"), QStringLiteral("*")};
}

// Every lookup of the two indexes answers alike.
void expectSameAnswers(const CardIndex& incremental, const CardIndex& rebuilt,
                       const std::vector<HeadingRow>& rows, const std::string& context) {
    expectSameRows(contentOf(incremental), contentOf(rebuilt), context);
    for (const QString& text : patterns()) {
        const auto pattern = LikePattern::compile(text);
        for (const auto& category : {CategoryFilter(), CategoryFilter(kCategories[0])}) {
            EXPECT_EQ(incremental.filter(category, *pattern), rebuilt.filter(category, *pattern))
                << context << " " << text.toStdString();
        }
    }
    for (std::size_t i = 0; i < rows.size(); i += 7) {
        const QString probe = rows[i].heading.toUpper();
        EXPECT_EQ(incremental.idOfHeading(probe), rebuilt.idOfHeading(probe)) << context;
    }
}

TEST(CardIndex, KeepsTheCollatorsOrder) {
    std::mt19937 rng(11);
    std::vector<HeadingRow> rows;
    for (std::int64_t id = 1; id <= 3000; ++id) {
        rows.push_back({id, randomText(rng, 8), kCategories[rng() % kCategories.size()]});
    }
    rows.push_back({3001, rows[5].heading, QStringLiteral("Kunden")});  // equal: by row id
    rows.push_back({3002, rows[5].heading.toUpper(), QStringLiteral("Kunden")});
    CardIndex index;
    index.reset(rows);
    expectSameRows(contentOf(index), sortedByCollator(rows), "load");
}

TEST(CardIndex, IncrementalChangesEqualARebuild) {
    std::mt19937 rng(5);
    std::vector<HeadingRow> rows;
    for (std::int64_t id = 1; id <= 400; ++id) {
        rows.push_back({id, randomText(rng, 6), kCategories[rng() % kCategories.size()]});
    }
    CardIndex incremental;
    incremental.reset(rows);
    std::int64_t nextId = 1000;
    for (int step = 0; step < 600; ++step) {
        const std::size_t pick = rng() % rows.size();
        switch (rng() % 5) {
            case 0: {
                const HeadingRow row{nextId++, randomText(rng, 6), kCategories[rng() % 4]};
                rows.push_back(row);
                incremental.insert(row);
                break;
            }
            case 1:
                rows[pick].heading = randomText(rng, 6);
                incremental.rename(rows[pick].id, rows[pick].heading);
                break;
            case 2:
                incremental.remove(rows[pick].id);
                rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(pick));
                break;
            case 3:
                rows[pick].category = kCategories[rng() % kCategories.size()];
                incremental.setCategory(rows[pick].id, rows[pick].category);
                break;
            default:
                if (step % 3 == 0) {
                    // A reload after a category command: the headings all as they were.
                    for (std::size_t k = 0; k < rows.size(); k += 3) {
                        rows[k].category = kCategories[rng() % kCategories.size()];
                    }
                    std::shuffle(rows.begin(), rows.end(), rng);
                    incremental.reset(rows);
                    break;
                }
                // A reload: a few or many headings changed behind the index's back.
                for (std::size_t k = 0; k < (step % 2 == 0 ? 3 : rows.size() / 3); ++k) {
                    rows[rng() % rows.size()].heading = randomText(rng, 6);
                }
                rows.push_back({nextId++, randomText(rng, 6), kCategories[0]});
                std::shuffle(rows.begin(), rows.end(), rng);
                incremental.reset(rows);
                break;
        }
        if (step % 50 == 49) {
            CardIndex rebuilt;
            rebuilt.reset(rows);
            expectSameAnswers(incremental, rebuilt, rows, "step " + std::to_string(step));
            expectSameRows(contentOf(rebuilt), sortedByCollator(rows), "collator");
        }
    }
}

TEST(CardIndex, AReloadWithFarApartRowIdsEqualsARebuild) {
    std::mt19937 rng(8);
    std::vector<HeadingRow> rows;
    for (std::int64_t i = 0; i < 300; ++i) {
        rows.push_back({i * 1000003 + 7, randomText(rng, 5), kCategories[rng() % 3]});
    }
    CardIndex index;
    index.reset(rows);
    rows[4].heading = QStringLiteral("geändert");
    rows[9].category = QStringLiteral("Kunden");
    rows.erase(rows.begin() + 20);
    rows.push_back({5, QStringLiteral("neu"), QStringLiteral("Kunden")});
    index.reset(rows);
    CardIndex rebuilt;
    rebuilt.reset(rows);
    expectSameAnswers(index, rebuilt, rows, "far apart");
}

TEST(CardIndex, FilterMatchesEachHeadingLikeThePattern) {
    std::mt19937 rng(3);
    std::vector<HeadingRow> rows;
    for (std::int64_t id = 1; id <= 800; ++id) {
        rows.push_back({id, randomText(rng, 7), kCategories[rng() % kCategories.size()]});
    }
    CardIndex index;
    index.reset(rows);
    for (const QString& text : patterns()) {
        const auto pattern = LikePattern::compile(text);
        // Empty and "-Alle-" in any case take every card; a name takes its cards in any case.
        const std::pair<QString, std::optional<QString>> categories[] = {
            {QString(), std::nullopt},
            {QStringLiteral("-ALLE-"), std::nullopt},
            {QStringLiteral("ÄRZTE"), QStringLiteral("Ärzte")},
            {QStringLiteral("Fehlt"), QStringLiteral("Fehlt")}};
        for (const auto& [choice, wanted] : categories) {
            const CategoryFilter category(choice);
            std::vector<std::int32_t> expected;
            for (std::int32_t i = 0; i < index.size(); ++i) {
                const auto entry = index.at(i);
                const bool inCategory = !wanted || veltro::store::foldCase(entry.category) ==
                                                       veltro::store::foldCase(*wanted);
                if (inCategory && pattern->matches(entry.heading)) {
                    expected.push_back(i);
                }
            }
            EXPECT_EQ(index.filter(category, *pattern), expected) << text.toStdString();
        }
    }
}

TEST(CardIndex, FindsTheLowestIdOfAHeadingWithoutRegardToCase) {
    CardIndex index;
    index.reset({{7, QStringLiteral("Müller"), QStringLiteral("A")},
                 {3, QStringLiteral("MÜLLER"), QStringLiteral("A")},
                 {5, QStringLiteral("Straße"), QStringLiteral("A")}});
    EXPECT_EQ(index.idOfHeading(u"müller"), 3);
    EXPECT_EQ(index.idOfHeading(u"STRASSE"), std::nullopt) << "folding keeps ß";
    EXPECT_EQ(index.idOfHeading(u"straße"), 5);
    index.remove(3);
    EXPECT_EQ(index.idOfHeading(u"müller"), 7);
    index.rename(7, QStringLiteral("Meier"));
    EXPECT_EQ(index.idOfHeading(u"müller"), std::nullopt);
    EXPECT_EQ(index.idOfHeading(u"MEIER"), 7);
}

TEST(HeadingOrder, KeysSortAsTheCollator) {
    ASSERT_TRUE(veltro::store::HeadingOrder::keysAvailable());
    const veltro::store::HeadingOrder order;
    const QCollator collator = germanCollator();
    std::mt19937 rng(17);
    const QString latin = latinAlphabet();
    for (int i = 0; i < 40000; ++i) {
        const QString a = i % 4 == 0 ? randomText(rng, 6) : randomText(rng, 8, latin);
        const QString b = i % 2 == 0 ? randomText(rng, 8, latin) : a.toUpper() + randomText(rng, 1);
        const QByteArray ua = a.toUtf8();
        const QByteArray ub = b.toUtf8();
        const int expected = collator.compare(a, b);
        const int actual = order.compare({ua.constData(), static_cast<std::size_t>(ua.size())},
                                         {ub.constData(), static_cast<std::size_t>(ub.size())});
        ASSERT_EQ((actual > 0) - (actual < 0), (expected > 0) - (expected < 0))
            << a.toStdString() << " / " << b.toStdString();
    }
}

TEST(FoldedUtf8, FoldsAsQString) {
    std::mt19937 rng(23);
    for (int i = 0; i < 5000; ++i) {
        QString text;
        const int length = 1 + static_cast<int>(rng() % 40);
        for (int k = 0; k < length; ++k) {
            // ASCII (often, in runs long and short), Latin, Greek, Cyrillic, Armenian,
            // Cherokee, Glagolitic, fullwidth, Deseret.
            static const char32_t kBlocks[] = {0x20,   0x20,   0x20,   0x20,   0x20,
                                               0xC0,   0x100,  0x370,  0x400,  0x530,
                                               0x13A0, 0x1E00, 0x2C00, 0xFF20, 0x10400};
            const char32_t c = kBlocks[rng() % std::size(kBlocks)] + rng() % 0x60;
            text += QString::fromUcs4(&c, 1);
        }
        const QByteArray utf8 = text.toUtf8();
        std::string folded;
        veltro::store::appendFoldedUtf8({utf8.constData(), static_cast<std::size_t>(utf8.size())},
                                        folded);
        EXPECT_EQ(QString::fromStdString(folded), veltro::store::foldCase(text))
            << text.toStdString();
    }
}

TEST(FoldedUtf8, TellsWellFormedUtf8) {
    struct Case {
        const char* bytes;
        bool valid;
    };
    for (const Case& c :
         {Case{"M\xC3\xBCller", true}, Case{"\xF0\x9F\x98\x80", true}, Case{"\xC3", false},
          Case{"\xC0\xAF", false}, Case{"\xE0\x80\xAF", false}, Case{"\xED\xA0\x80", false},
          Case{"\xF4\x90\x80\x80", false}, Case{"\x80", false}, Case{"a\xE2\x82", false}}) {
        EXPECT_EQ(veltro::store::isValidUtf8(c.bytes), c.valid) << c.bytes;
    }
}

TEST(CardIndex, LoadsTheStoreAndReadsMalformedBytesAsQStringDoes) {
    QTemporaryDir dir;
    auto store = CardStore::open(veltro::store::createEmptyStore(dir.path().toStdString()));
    veltro::store::Card card;
    card.set(Field::Schlagworte, QStringLiteral("Zander"));
    card.set(Field::Kategorien, QStringLiteral("Kunden"));
    store.insertCard(card);
    store.insertCard(card);
    card.set(Field::Schlagworte, std::nullopt);
    store.insertCard(card);  // no heading: not in the list
    store.db().exec(
        "UPDATE Kontakte SET Schlagworte = CAST(X'4DFC6C6C6572' AS TEXT) "
        "WHERE rowid = 2");
    CardIndex index;
    index.load(store);
    ASSERT_EQ(index.size(), 2);
    EXPECT_EQ(index.heading(0), QString::fromUtf8("M\xFCller"));
    EXPECT_EQ(index.id(0), 2);
    EXPECT_EQ(index.at(1).category, QStringLiteral("Kunden"));
}

}  // namespace
