#include "TestHome.h"
#include "TestTools.h"

#include "store/CardStore.h"
#include "store/Compaction.h"
#include "store/Schema.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace veltro::store;
using veltro::testing::filesIn;
using veltro::testing::makeStore;
using veltro::testing::TestHome;
using veltro::testing::writeBytes;
namespace fs = std::filesystem;

namespace {

void makeStoreWithSpace(const fs::path& dir) {
    std::vector<veltro::testing::GivenCard> cards;
    for (int i = 0; i < 400; ++i) {
        cards.push_back({QStringLiteral("Karte %1").arg(i),
                         QStringLiteral("K"),
                         {{Field::Notizen, QString(2000, u'n')}}});
    }
    makeStore(dir, {QStringLiteral("K")}, cards);
    auto store = CardStore::open(dir / kStoreFileName);
    store.db().exec("DELETE FROM Kontakte WHERE rowid > 10");
}

// A sound store and one with a copy left over are compacted, one lost between the two files is
// put back: each ends as the store alone.
TEST(Compaction, ShrinksTheStoreAndLeavesExactlyOneFile) {
    const struct {
        const char* name;
        CompactWhen when;
        bool compacted;
        std::function<void(const fs::path& dir)> arrange;
    } cases[] = {
        {"sound", CompactWhen::Worthwhile, true, [](const fs::path&) {}},
        {"a leftover copy", CompactWhen::Always, true,
         [](const fs::path& dir) {
             ASSERT_TRUE(
                 writeBytes(QString::fromStdString((dir / kCompactFileName).string()), "old"));
         }},
        {"lost between the files", CompactWhen::Worthwhile, false,
         [](const fs::path& dir) { fs::rename(dir / kStoreFileName, dir / kCompactFileName); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestHome home;
        makeStoreWithSpace(home.dir());
        const auto before = fs::file_size(home.storeFile());
        c.arrange(home.dir());
        DatenbankKomprimieren(home.dir(), c.when);
        EXPECT_EQ(fs::file_size(home.storeFile()) < before / 2, c.compacted);
        EXPECT_EQ(filesIn(home.dir()), std::vector<std::string>{"Kartix.mdb"});
        EXPECT_EQ(CardStore::open(home.storeFile()).cardCount(), 10);
    }
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

// The store lives elsewhere and the data folder holds a relative link to it.
struct LinkedStore {
    TestHome home;
    QTemporaryDir elsewhere;
    fs::path target = fs::path(elsewhere.path().toStdString()) / kStoreFileName;
    fs::path linkText = fs::relative(target, home.dir());

    LinkedStore() { fs::create_symlink(linkText, home.storeFile()); }
};

TEST(Compaction, ALinkedStoreIsCompactedWhereItPointsAndStaysALink) {
    LinkedStore linked;
    makeStoreWithSpace(linked.target.parent_path());
    const auto before = fs::file_size(linked.target);
    DatenbankKomprimieren(linked.home.dir());
    ASSERT_TRUE(fs::is_symlink(linked.home.storeFile()));
    EXPECT_EQ(fs::read_symlink(linked.home.storeFile()), linked.linkText);
    EXPECT_LT(fs::file_size(linked.target), before / 2);
    EXPECT_EQ(filesIn(linked.home.dir()), std::vector<std::string>{"Kartix.mdb"});
    EXPECT_EQ(filesIn(linked.target.parent_path()), std::vector<std::string>{"Kartix.mdb"});
    EXPECT_EQ(CardStore::open(linked.home.storeFile()).cardCount(), 10);
}

TEST(Compaction, ALinkedStoreLostBetweenTheTwoFilesIsRecoveredBesideTheTarget) {
    LinkedStore linked;
    makeStoreWithSpace(linked.target.parent_path());
    fs::rename(linked.target, linked.target.parent_path() / kCompactFileName);
    DatenbankKomprimieren(linked.home.dir());
    EXPECT_TRUE(fs::is_symlink(linked.home.storeFile()));
    EXPECT_EQ(filesIn(linked.target.parent_path()), std::vector<std::string>{"Kartix.mdb"});
    EXPECT_EQ(CardStore::open(linked.home.storeFile()).cardCount(), 10);
}

TEST(Compaction, KeepsTheModeOfTheStore) {
    for (const fs::perms mode : {fs::perms(0600), fs::perms(0640)}) {
        SCOPED_TRACE(static_cast<int>(mode));
        TestHome home;
        makeStoreWithSpace(home.dir());
        fs::permissions(home.storeFile(), mode);
        DatenbankKomprimieren(home.dir(), CompactWhen::Always);
        EXPECT_EQ(fs::status(home.storeFile()).permissions(), mode);
        EXPECT_EQ(CardStore::open(home.storeFile()).cardCount(), 10);
    }
}

TEST(Compaction, KeepsOwnerAndGroupWhereThatIsPermitted) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only the superuser may give a file away";
    }
    TestHome home;
    makeStoreWithSpace(home.dir());
    ASSERT_EQ(::chown(home.storeFile().c_str(), 4321, 4322), 0);
    DatenbankKomprimieren(home.dir(), CompactWhen::Always);
    struct stat after {};
    ASSERT_EQ(::stat(home.storeFile().c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, 4321U);
    EXPECT_EQ(after.st_gid, 4322U);
}

}  // namespace
