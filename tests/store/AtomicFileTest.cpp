#include "TestTools.h"

#include "store/AtomicFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;
using veltro::store::AtomicFile;
using veltro::testing::fileBytes;
using veltro::testing::writeBytes;

// Files beyond this size cannot be written while it lives, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : signal_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit limit{bytes, saved_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, signal_);
    }

private:
    void (*signal_)(int);
    rlimit saved_{};
};

// Qt's texts, the system's and its own, give way to the German sentence of their errno.
TEST(AtomicFile, WhatCannotBeOpenedIsToldInGerman) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("/fehlt/ganz/sicher"),
         QStringLiteral("Die Datei oder ihr Verzeichnis fehlt.")},
        {QStringLiteral("/"), QStringLiteral("Dort liegt ein Verzeichnis, keine Datei.")},
        {QStringLiteral("/proc/self/cmdline/x"),
         QStringLiteral("Ein Teil des Pfads ist kein Verzeichnis.")},
    };
    for (const auto& [path, reason] : cases) {
        AtomicFile file(path);
        ASSERT_FALSE(file.open()) << path.toStdString();
        EXPECT_EQ(file.reason(), reason);
    }
}

// A file takes its target's place whole or not at all: a write the disk refuses leaves the old
// file as it was and is told in German, however the bytes were buffered; a whole one replaces
// it with the old permissions. Nothing else is left beside it.
TEST(AtomicFile, ReplacesItsTargetWholeOrNotAtAll) {
    struct Case {
        const char* name;
        AtomicFile::Buffering buffering;
        qsizetype bytes;
        bool replaced;
    };
    constexpr rlim_t kLimit = 100000;
    const Case cases[] = {
        {"buffered", AtomicFile::Buffering::Buffered, 1000, true},
        {"buffered, too large", AtomicFile::Buffering::Buffered, 3 * kLimit, false},
        {"buffered, too large in the last block", AtomicFile::Buffering::Buffered, kLimit + 10,
         false},
        {"unbuffered", AtomicFile::Buffering::Unbuffered, 1000, true},
        {"unbuffered, too large", AtomicFile::Buffering::Unbuffered, 3 * kLimit, false},
    };
    const FileSizeLimit limit(kLimit);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("ziel.txt"));
        ASSERT_TRUE(writeBytes(target, "alt"));
        constexpr auto kMode =
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
        fs::permissions(target.toStdString(), kMode);

        AtomicFile file(target, c.buffering);
        ASSERT_TRUE(file.open());
        const QByteArray bytes(c.bytes, 'n');
        for (qsizetype at = 0; at < bytes.size(); at += 4000) {
            if (!file.write(QByteArrayView(bytes).sliced(at).first(
                    std::min<qsizetype>(4000, bytes.size() - at)))) {
                break;
            }
        }
        EXPECT_EQ(file.commit(), c.replaced);
        EXPECT_EQ(fileBytes(target), c.replaced ? bytes : QByteArray("alt"));
        EXPECT_EQ(fs::status(target.toStdString()).permissions(), kMode);
        // The size limit stands in for a full disk; what Qt says after a flush tells no more.
        EXPECT_EQ(file.reason().contains(QRegularExpression(
                      QStringLiteral("größer, als das System erlaubt|Datenträger voll"))),
                  !c.replaced)
            << file.reason().toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("ziel.txt")});
    }
}

}  // namespace
