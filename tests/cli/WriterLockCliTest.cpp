#include "CliRun.h"
#include "TestHome.h"
#include "TestTools.h"

#include "store/Schema.h"
#include "store/WriterLock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

using veltro::store::WriterLock;
using veltro::testing::TestHome;
namespace store = veltro::store;
namespace support = veltro::testing;
namespace fs = std::filesystem;

namespace {

constexpr int kInUse = 75;

using Outcome = support::CliRun;

QString text(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// A store with one card and a list of two more to import.
struct CliHome {
    TestHome home;
    QString dir = text(home.dir());
    QString list = text(home.dir() / "neu.csv");

    CliHome() {
        support::makeStore(home.dir(), {QStringLiteral("Privat")},
                           {{QStringLiteral("Anna"), QStringLiteral("Privat")}});
        EXPECT_TRUE(support::writeBytes(list, "Berta\nCarl\n"));
    }
    [[nodiscard]] QStringList importArgs() const {
        return {QStringLiteral("import"),
                dir,
                list,
                QStringLiteral("--category"),
                QStringLiteral("Privat"),
                QStringLiteral("--map"),
                QStringLiteral("Karte=1")};
    }
    [[nodiscard]] static Outcome run(const QStringList& args) { return support::runCli(args); }
    [[nodiscard]] QString cards() const { return run({QStringLiteral("list"), dir}).out; }
};

TEST(WriterLockCli, WritingCommandsAreRefusedWhileTheLockIsHeldAndReadingOnesRun) {
    CliHome h;
    const QString exported = text(h.home.dir() / "aus.csv");
    {
        const auto lock = WriterLock::tryAcquire(h.home.dir());
        ASSERT_TRUE(lock.held());
        const QList<QStringList> writing = {
            h.importArgs(),
            {QStringLiteral("new-store"), h.dir},
            {QStringLiteral("demo-store"), h.dir},
            {QStringLiteral("generate"), h.dir, QStringLiteral("5")},
        };
        for (const auto& args : writing) {
            SCOPED_TRACE(args.join(u' ').toStdString());
            const Outcome refused = h.run(args);
            EXPECT_EQ(refused.status, kInUse);
            EXPECT_TRUE(refused.out.isEmpty());
            EXPECT_EQ(refused.err, QStringLiteral("Die Kartei in %1 wird gerade von Veltro "
                                                  "Adressbuch oder einem anderen Befehl benutzt. "
                                                  "Beenden Sie das Programm und versuchen Sie es "
                                                  "erneut.\n")
                                       .arg(h.dir));
        }
        EXPECT_EQ(h.cards(), QStringLiteral("Anna\n"));
        EXPECT_EQ(h.run({QStringLiteral("show"), h.dir, QStringLiteral("Anna")}).status, 0);
        EXPECT_EQ(h.run({QStringLiteral("export"), h.dir, exported}).status, 0);
    }
    const Outcome allowed = h.run(h.importArgs());
    EXPECT_EQ(allowed.status, 0) << allowed.err.toStdString();
    EXPECT_EQ(h.cards(), QStringLiteral("Anna\nBerta\nCarl\n"));
}

#ifdef VELTRO_PROGRAM

// True once the process holds a flock() on that file, as the kernel lists it.
bool holdsLock(qint64 pid, const fs::path& file) {
    struct stat st {};
    QFile locks(QStringLiteral("/proc/locks"));
    if (::stat(file.c_str(), &st) != 0 || !locks.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QString inode = QStringLiteral(":%1").arg(st.st_ino);
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QStringList fields = QString::fromLatin1(line).split(u' ', Qt::SkipEmptyParts);
        if (fields.size() >= 6 && fields[1] == u"FLOCK" && fields[4] == QString::number(pid) &&
            fields[5].endsWith(inode)) {
            return true;
        }
    }
    return false;
}

// The running program, in a runtime folder of its own, keeps a command-line import out
// until it ends; a kill leaves no stale lock behind.
TEST(WriterLockCli, TheRunningProgramRefusesAnImportUntilItEnds) {
    CliHome h;
    QTemporaryDir programRuntime;
    QTemporaryDir config;
    QProcess program;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELTRO_HOME"), h.dir);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), programRuntime.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VELTRO_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted());
    const auto lockFile = h.home.dir() / store::kLockFileName;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return program.state() != QProcess::Running || holdsLock(program.processId(), lockFile);
        },
        30000));
    ASSERT_EQ(program.state(), QProcess::Running);

    const Outcome refused = h.run(h.importArgs());
    EXPECT_EQ(refused.status, kInUse);
    EXPECT_TRUE(refused.out.isEmpty());

    program.kill();
    ASSERT_TRUE(program.waitForFinished());
    const Outcome allowed = h.run(h.importArgs());
    EXPECT_EQ(allowed.status, 0) << allowed.err.toStdString();
    EXPECT_EQ(h.cards(), QStringLiteral("Anna\nBerta\nCarl\n"));
}

#endif

}  // namespace
