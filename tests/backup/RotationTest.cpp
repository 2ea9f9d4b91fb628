#include "TestHome.h"

#include "backup/Rotation.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <map>

using namespace veltro::backup;
namespace fs = std::filesystem;

namespace {

QDateTime at(const char* text) {
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm"));
}

TEST(BackupNames, ANameCarriesItsTimeAndOtherFilesAreNoBackups) {
    EXPECT_EQ(backupName(at("2026-12-07 09:30")), QStringLiteral("Kartix-2026-12-07-0930.mdb"));
    EXPECT_EQ(backupName(at("2026-12-07 09:30"), 2),
              QStringLiteral("Kartix-2026-12-07-0930-2.mdb"));
    EXPECT_EQ(backupTime(QStringLiteral("Kartix-2026-12-07-0930.mdb")), at("2026-12-07 09:30"));
    EXPECT_GT(*backupTime(QStringLiteral("Kartix-2026-12-07-0930-2.mdb")),
              *backupTime(QStringLiteral("Kartix-2026-12-07-0930.mdb")));
    for (const char* other :
         {"Kartix.mdb", "Kartix-2026-13-07-0930.mdb", "Kartix-2026-12-07-0930.mdb.tmp",
          "Notizen-2026-12-07-0930.mdb", "Kartix-2026-12-07-930.mdb"}) {
        EXPECT_EQ(backupTime(QString::fromLatin1(other)), std::nullopt) << other;
    }
}

struct RotationCase {
    const char* name;
    std::vector<const char*> backups;
    const char* today;
    KeepPolicy policy;
    std::vector<const char*> going;
};

TEST(BackupRotation, KeepsTheNewestAndOnePerMonth) {
    const RotationCase cases[] = {
        {"few enough", {"2026-12-01 10:00", "2026-12-02 10:00"}, "2026-12-07", {2, 0}, {}},
        {"the oldest beyond the newest go",
         {"2026-12-01 10:00", "2026-12-02 10:00", "2026-12-03 10:00"},
         "2026-12-07",
         {2, 0},
         {"2026-12-01 10:00"}},
        {"the newest of an earlier month stays",
         {"2026-10-30 10:00", "2026-10-31 10:00", "2026-11-01 10:00", "2026-12-01 10:00"},
         "2026-12-07",
         {1, 12},
         {"2026-10-30 10:00"}},
        {"a month beyond the year goes",
         {"2025-12-31 10:00", "2026-01-15 10:00", "2026-12-01 10:00"},
         "2026-12-07",
         {1, 12},
         {"2025-12-31 10:00"}},
        {"no months kept",
         {"2026-10-31 10:00", "2026-11-30 10:00", "2026-12-01 10:00"},
         "2026-12-07",
         {1, 0},
         {"2026-10-31 10:00", "2026-11-30 10:00"}},
        {"the second of one minute is the newer",
         {"2026-12-07 09:30", "2026-12-07 09:30+"},
         "2026-12-07",
         {1, 0},
         {"2026-12-07 09:30"}},
    };
    for (const auto& c : cases) {
        std::vector<BackupFile> backups;
        for (const char* text : c.backups) {
            const QString name = QString::fromLatin1(text);
            const bool second = name.endsWith(u'+');
            const QDateTime time = at(second ? name.chopped(1).toLatin1().constData() : text);
            backups.push_back({fs::path(backupName(time, second ? 2 : 1).toStdString()),
                               second ? time.addMSecs(2) : time});
        }
        std::vector<QDateTime> going;
        const QDate today = QDate::fromString(QString::fromLatin1(c.today), Qt::ISODate);
        for (const auto& file : backupsToDelete(backups, today, c.policy)) {
            going.push_back(file.time);
        }
        std::vector<QDateTime> expected;
        for (const char* text : c.going) {
            expected.push_back(at(text));
        }
        std::sort(going.begin(), going.end());
        EXPECT_EQ(going, expected) << c.name;
    }
}

// Two backups a day for two years, each followed by the rotation, with the clock of the
// test: the newest ten stay and the newest of each of the last twelve months.
TEST(BackupRotation, TwoYearsOfBackupsLeaveTheNewestAndOnePerMonth) {
    veltro::testing::TestHome home;
    const fs::path folder = home.dir() / kBackupFolder;
    fs::create_directories(folder);
    QDateTime now = at("2025-01-01 08:15");
    for (int day = 0; day < 730; ++day) {
        for (const int hour : {8, 17}) {
            now = QDateTime(now.date(), QTime(hour, 15));
            QFile(QString::fromStdString((folder / backupName(now).toStdString()).string()))
                .open(QIODevice::WriteOnly);
            rotateBackups(folder, now.date(), {10, 12});
        }
        now = now.addDays(1);
    }
    const auto kept = listBackups(folder);
    ASSERT_EQ(kept.size(), 10U + 11U);
    const QDate today = kept.front().time.date();
    EXPECT_EQ(today, QDate(2026, 12, 31));
    EXPECT_EQ(kept[9].time, QDateTime(QDate(2026, 12, 27), QTime(8, 15)));
    std::map<int, QDateTime> perMonth;
    for (std::size_t i = 10; i < kept.size(); ++i) {
        perMonth[kept[i].time.date().month()] = kept[i].time;
    }
    ASSERT_EQ(perMonth.size(), 11U);
    for (const auto& [month, time] : perMonth) {
        EXPECT_EQ(time.date().year(), 2026);
        EXPECT_EQ(time.date(), QDate(2026, month, 1).addMonths(1).addDays(-1)) << month;
        EXPECT_EQ(time.time(), QTime(17, 15));
    }
}

TEST(BackupRotation, TheOptionsDialogsNumbersAreTenAndTwelveUntilChanged) {
    veltro::testing::TestHome home;
    const KeepPolicy policy = keepPolicyFromSettings();
    EXPECT_EQ(policy.last, 10);
    EXPECT_EQ(policy.months, 12);
}

}  // namespace
