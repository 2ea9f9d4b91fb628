#include "TestHome.h"
#include "TestTools.h"

#include "store/CardStore.h"
#include "store/Compaction.h"
#include "store/Schema.h"

#include <gtest/gtest.h>

using namespace veltro::store;
using veltro::testing::makeStore;
using veltro::testing::TestHome;
using veltro::testing::writeBytes;
namespace fs = std::filesystem;

namespace {

void makeStoreWithSpace(const fs::path& dir) {
    std::vector<veltro::testing::CardSpec> cards;
    for (int i = 0; i < 400; ++i) {
        cards.push_back({QStringLiteral("Karte %1").arg(i),
                         QStringLiteral("K"),
                         {{Field::Notizen, QString(2000, u'n')}}});
    }
    makeStore(dir, {QStringLiteral("K")}, cards);
    auto store = CardStore::open(dir / kStoreFileName);
    store.db().exec("DELETE FROM Kontakte WHERE rowid > 10");
}

std::vector<std::string> filesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Compaction, ShrinksTheStoreAndLeavesExactlyOneFile) {
    TestHome home;
    makeStoreWithSpace(home.dir());
    const auto before = fs::file_size(home.storeFile());
    DatenbankKomprimieren(home.dir());
    EXPECT_LT(fs::file_size(home.storeFile()), before / 2);
    EXPECT_EQ(filesIn(home.dir()), std::vector<std::string>{"Kartix.mdb"});
    EXPECT_EQ(CardStore::open(home.storeFile()).cardCount(), 10);
}

TEST(Compaction, ALeftoverCopyIsDeletedFirst) {
    TestHome home;
    makeStoreWithSpace(home.dir());
    ASSERT_TRUE(
        writeBytes(QString::fromStdString((home.dir() / kCompactFileName).string()), "old"));
    DatenbankKomprimieren(home.dir(), CompactWhen::Always);
    EXPECT_EQ(filesIn(home.dir()), std::vector<std::string>{"Kartix.mdb"});
    EXPECT_EQ(CardStore::open(home.storeFile()).cardCount(), 10);
}

TEST(Compaction, AStoreLostBetweenTheTwoFilesIsRecoveredFromTheCopy) {
    TestHome home;
    makeStoreWithSpace(home.dir());
    fs::rename(home.storeFile(), home.dir() / kCompactFileName);
    DatenbankKomprimieren(home.dir());
    EXPECT_EQ(filesIn(home.dir()), std::vector<std::string>{"Kartix.mdb"});
    EXPECT_EQ(CardStore::open(home.storeFile()).cardCount(), 10);
}

TEST(Compaction, IsSilentWithoutAStoreAndKeepsADamagedOne) {
    TestHome home;
    EXPECT_NO_THROW(DatenbankKomprimieren(home.dir()));
    EXPECT_TRUE(filesIn(home.dir()).empty());

    ASSERT_TRUE(
        writeBytes(QString::fromStdString(home.storeFile().string()), QByteArray(8192, 'x')));
    EXPECT_NO_THROW(DatenbankKomprimieren(home.dir(), CompactWhen::Always));
    EXPECT_EQ(fs::file_size(home.storeFile()), 8192U);
    EXPECT_EQ(filesIn(home.dir()), std::vector<std::string>{"Kartix.mdb"});
}

}  // namespace
