#include "TestHome.h"

#include "import/FoldedSet.h"
#include "import/HeadingRegistry.h"
#include "import/ImportRun.h"
#include "store/CardStore.h"
#include "store/CaseFold.h"

#include <QSet>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_set>

using namespace veltro::import;
using veltro::testing::makeStore;
using veltro::testing::TestHome;

namespace {

// The plain search the registry replaces: probe _1, _2, ... from the start every time.
class ProbingRegistry {
public:
    void add(const QString& heading) { folded_.insert(veltro::store::foldCase(heading)); }
    QString claim(const QString& heading) {
        QString candidate = heading;
        for (int suffix = 1; folded_.contains(veltro::store::foldCase(candidate)); ++suffix) {
            candidate = heading + u'_' + QString::number(suffix);
        }
        add(candidate);
        return candidate;
    }

private:
    QSet<QString> folded_;
};

struct ClaimCase {
    const char* name;
    QStringList existing;
    QStringList claimed;
};

TEST(HeadingRegistry, NamesAsTheProbingSearchDid) {
    const ClaimCase cases[] = {
        {"repeats", {}, {"A", "A", "A", "a", "A"}},
        {"names that end in _1 already", {"A_1"}, {"A", "A", "A_1", "A_1", "A", "A_2"}},
        {"a numbered name claimed between repeats", {}, {"A", "A", "A_3", "A", "A", "A"}},
        {"a gap in the stored numbers", {"A", "A_1", "A_3"}, {"A", "A", "A"}},
        {"case variants share one count", {"MÜLLER"}, {"müller", "Müller", "MÜLLER_2", "müller"}},
        {"the name taken only after its numbered forms", {"B_1", "B_2"}, {"B", "B", "b"}},
        {"empty headings", {}, {"", "", "_1", "", "_1"}},
        {"a number that looks like a suffix", {}, {"A_1", "A", "A", "A_1", "A_10", "A_1"}},
        {"case-folded letters", {"STRASSE"}, {"Straße", "straße", "Strasse"}},
        {"stored headings of both kinds", {"ÄRZTE", "Ärzte_1", "Zoë"}, {"ärzte", "ZOË", "Ärzte"}},
        {"letters beyond German", {"ΑΘΗΝΑ", "Ǆemal"}, {"αθηνα", "ǆemal", "ǅemal"}},
        {"a broken character", {}, {QString(QChar(0xD800)) + u'x', QString(QChar(0xD800)) + u'X'}},
    };
    for (const auto& c : cases) {
        HeadingRegistry registry;
        ProbingRegistry probing;
        for (qsizetype i = 0; i < c.existing.size(); ++i) {
            // The store's headings come as UTF-8, the file's as text: both count alike.
            const QString& name = c.existing[i];
            if (i % 2 == 0) {
                registry.addUtf8(name.toStdString());
            } else {
                registry.add(name);
            }
            probing.add(name);
        }
        QStringList got;
        QStringList expected;
        for (const QString& name : c.claimed) {
            got << registry.claim(name);
            expected << probing.claim(name);
        }
        EXPECT_EQ(got, expected) << c.name;
    }
}

namespace {

// Every second row repeats one heading, every other one is empty.
std::vector<PreviewRow> repeatedRows(int count) {
    std::vector<PreviewRow> rows;
    for (int i = 0; i < count; ++i) {
        PreviewRow::Fields fields;
        fields.fill(kUnmappedValue);
        fields[kCategoryTarget] = u"Kunden";
        fields[kHeadingTarget] = i % 2 == 0 ? u"Karte" : u"";
        rows.emplace_back(fields);
    }
    return rows;
}

}  // namespace

// How long many repeats take is the benchmark's import_run_repeated.
TEST(HeadingRegistry, ManyRepeatsAndEmptyHeadingsAreNumberedOnFromTheStore) {
    TestHome home;
    makeStore(home.dir(), {"Kunden"}, {{"Karte", "Kunden"}, {"Karte_7", "Kunden"}});
    std::vector<PreviewRow> rows = repeatedRows(8000);
    const ImportOutcome outcome = runImport(home.storeFile(), rows);
    EXPECT_EQ(outcome.renamed, 7999);
    EXPECT_EQ(rows[0].text(kHeadingTarget), "Karte_1");
    EXPECT_EQ(rows[1].text(kHeadingTarget), "");
    EXPECT_EQ(rows[3].text(kHeadingTarget), "_1");
    EXPECT_EQ(rows[12].text(kHeadingTarget), "Karte_8") << "Karte_7 is taken";
    EXPECT_EQ(rows[7998].text(kHeadingTarget), "Karte_4001");
    EXPECT_EQ(rows[7999].text(kHeadingTarget), "_3999");
}

}  // namespace

namespace {

// Against the standard set, through many growths, with an empty text and one holding a NUL.
TEST(FoldedSet, HoldsWhatTheStandardSetHolds) {
    FoldedSet set;
    std::unordered_set<std::string> expected;
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        std::string text = i == 0 ? std::string() : std::to_string(random() % 15000);
        if (i == 1) {
            text = std::string("a\0b", 3);
        }
        EXPECT_EQ(set.insert(text), expected.insert(text).second) << text;
    }
    for (int i = 0; i < 20000; ++i) {
        const std::string text = std::to_string(i);
        EXPECT_EQ(set.contains(text), expected.contains(text)) << text;
    }
    EXPECT_TRUE(set.contains(std::string("a\0b", 3)));
    EXPECT_FALSE(set.contains("a"));
}

}  // namespace
