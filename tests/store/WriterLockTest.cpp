#include "TestHome.h"
#include "TestTools.h"

#include "store/WriterLock.h"

#include <gtest/gtest.h>

#include <utility>

using veltro::store::kLockFileName;
using veltro::store::WriterLock;
using veltro::testing::TestHome;
using State = WriterLock::State;
namespace fs = std::filesystem;

namespace {

TEST(WriterLock, OneHolderAtATimeUntilItIsDropped) {
    TestHome home;
    std::optional<WriterLock> first = WriterLock::tryAcquire(home.dir());
    ASSERT_EQ(first->state(), State::Held);
    EXPECT_TRUE(fs::exists(home.dir() / kLockFileName));
    EXPECT_EQ(WriterLock::tryAcquire(home.dir()).state(), State::InUse);

    // A move hands the lock on; the moved-from object no longer releases it.
    WriterLock moved = std::move(*first);
    first.reset();
    EXPECT_TRUE(moved.held());
    EXPECT_EQ(WriterLock::tryAcquire(home.dir()).state(), State::InUse);

    moved = WriterLock::tryAcquire(home.dir() / "anderswo");
    EXPECT_EQ(WriterLock::tryAcquire(home.dir()).state(), State::Held);
    EXPECT_TRUE(fs::exists(home.dir() / kLockFileName));  // the file stays for the next one
}

TEST(WriterLock, AFolderWithoutRoomForTheLockFileIsToldInGerman) {
    TestHome home;
    ASSERT_TRUE(veltro::testing::writeBytes(QString::fromStdString((home.dir() / "Datei").string()),
                                            "kein Verzeichnis"));
    for (const fs::path& dir : {home.dir() / "fehlt", home.dir() / "Datei"}) {
        SCOPED_TRACE(dir.string());
        const auto lock = WriterLock::tryAcquire(dir);
        EXPECT_EQ(lock.state(), State::Unavailable);
        EXPECT_EQ(lock.problem(), QStringLiteral("Das Verzeichnis gibt es nicht."));
    }
    EXPECT_TRUE(WriterLock::tryAcquire(home.dir()).problem().isEmpty());

    // A link into a folder that is not there: the folder named is the link's.
    fs::create_directories(home.dir() / "Verweis");
    fs::create_symlink(home.dir() / "fehlt" / "Kartix.mdb", home.dir() / "Verweis" / "Kartix.mdb");
    EXPECT_EQ(WriterLock::tryAcquire(home.dir() / "Verweis").problem(),
              QStringLiteral("Das Verzeichnis gibt es nicht. Die Kartei liegt in %1.")
                  .arg(QString::fromStdString((fs::canonical(home.dir()) / "fehlt").string())));
}

// However a store is reached, through a link to its file or to its folder, relative or
// absolute, both paths share one lock, and the lock file lies beside the real store.
TEST(WriterLock, EveryPathToOneStoreSharesItsLock) {
    TestHome home;
    const fs::path real = home.dir() / "Kartei";
    fs::create_directories(real);
    ASSERT_TRUE(veltro::testing::writeBytes(QString::fromStdString((real / "Kartix.mdb").string()),
                                            "Kartei"));
    const fs::path linkedFile = home.dir() / "Verweis";
    const fs::path relativeFile = home.dir() / "Relativ";
    const fs::path linkedFolder = home.dir() / "Ordnerverweis";
    const fs::path chain = home.dir() / "Kette";
    for (const fs::path& folder : {linkedFile, relativeFile, chain}) {
        fs::create_directories(folder);
    }
    fs::create_symlink(real / "Kartix.mdb", linkedFile / "Kartix.mdb");
    fs::create_symlink("../Kartei/Kartix.mdb", relativeFile / "Kartix.mdb");
    fs::create_directory_symlink(real, linkedFolder);
    fs::create_symlink("../Ordnerverweis/./Kartix.mdb", chain / "Kartix.mdb");

    for (const fs::path& other : {linkedFile, relativeFile, linkedFolder, chain}) {
        SCOPED_TRACE(other.string());
        for (const auto& [first, second] : {std::pair(real, other), std::pair(other, real)}) {
            const auto held = WriterLock::tryAcquire(first);
            ASSERT_TRUE(held.held());
            EXPECT_EQ(WriterLock::tryAcquire(second).state(), State::InUse);
        }
        EXPECT_EQ(WriterLock::lockFile(other), fs::canonical(real) / kLockFileName);
    }
    EXPECT_FALSE(fs::exists(linkedFile / kLockFileName));
    EXPECT_FALSE(fs::exists(chain / kLockFileName));
}

}  // namespace
