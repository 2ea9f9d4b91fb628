#include "TestHome.h"
#include "TestTools.h"

#include "store/WriterLock.h"

#include <gtest/gtest.h>

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
}

}  // namespace
