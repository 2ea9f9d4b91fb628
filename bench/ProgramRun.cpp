#include "ProgramRun.h"

#include "backup/BackupFiles.h"
#include "backup/PartialBackups.h"
#include "store/Schema.h"
#include "store/Snapshot.h"
#include "store/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

namespace veltro::bench {

namespace fs = std::filesystem;

void writeProgramSettings(const QString& configDir, bool splash) {
    QDir().mkpath(configDir + QStringLiteral("/Veltrix"));
    QFile file(configDir + QStringLiteral("/Veltrix/Veltrix.conf"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(splash ? "[Setting]\nOPChk6=1\n" : "[Setting]\nOPChk6=0\n");
    }
}

void emptySnapshot(const std::filesystem::path& storeDir) {
    auto db = store::Database::open(storeDir / store::kStoreFileName);
    store::Snapshot::keep(db);
}

void startProgram(QProcess& process, const BenchContext& context,
                  const std::filesystem::path& storeDir, const QString& configDir,
                  const char* request, const QString& value) {
    startProgram(process, context, storeDir, configDir, {{QString::fromLatin1(request), value}});
}

void startProgram(QProcess& process, const BenchContext& context,
                  const std::filesystem::path& storeDir, const QString& configDir,
                  const std::vector<std::pair<QString, QString>>& requests,
                  const QString& display) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELTRO_HOME"), QString::fromStdString(storeDir.string()));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"),
               display.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
    if (!display.isEmpty()) {
        env.insert(QStringLiteral("DISPLAY"), display);
    }
    for (const auto& [name, value] : requests) {
        if (!value.isEmpty()) {
            env.insert(name, value);
        }
    }
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QString::fromStdString((context.binDir / "veltro-bench-window").string()), {});
}

namespace {

// A field of /proc/PID/status in kB ("VmHWM:"), 0 where it cannot be read.
long long statusKb(pid_t pid, const std::string& key) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(key)) {
            return std::stoll(line.substr(key.size()));
        }
    }
    return 0;
}

}  // namespace

std::optional<ChildRun> runChild(const std::filesystem::path& program,
                                 const std::vector<std::string>& args) {
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv.front(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        return std::nullopt;
    }
    // The engine's maximum resident size of a spawned child starts at this process's own,
    // which a benchmark of a large store makes large; the child's own peak is read from its
    // status while it runs instead. wait4 gives the times of this one child.
    long long peakKb = 0;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t ended = wait4(pid, &status, WNOHANG, &usage);
        if (ended == pid) {
            break;
        }
        if (ended < 0) {
            return std::nullopt;
        }
        peakKb = std::max(peakKb, statusKb(pid, "VmHWM:"));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const auto ms = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
    };
    return ChildRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                    static_cast<double>(peakKb) * 1024 / 1e6,
                    ms(usage.ru_utime) + ms(usage.ru_stime)};
}

std::string fixed(double value) {
    return QString::number(value, 'f', 1).toStdString();
}

std::optional<QList<QByteArray>> lineStarting(QProcess& process, const QByteArray& word) {
    for (;;) {
        while (process.canReadLine()) {
            const QList<QByteArray> words = process.readLine().trimmed().split(' ');
            if (words.front() == word) {
                return words;
            }
        }
        if (!process.waitForReadyRead(600000)) {
            return std::nullopt;
        }
    }
}

void removeBackups(const fs::path& dir) {
    fs::remove_all(backup::backupFolder(dir / store::kStoreFileName));
}

bool backupMade(const fs::path& dir) {
    return !backup::listBackups(backup::backupFolder(dir / store::kStoreFileName)).empty();
}

void BackupsOfRuns::count(const fs::path& dir) {
    ++runs;
    if (backupMade(dir)) {
        ++made;
        return;
    }
    auto db = store::Database::open(dir / store::kStoreFileName);
    if (store::Snapshot::leftChanges(db) &&
        backup::hasLeftPartials(backup::backupFolder(dir / store::kStoreFileName))) {
        ++atNextStart;
    }
}

std::vector<std::pair<std::string, std::string>> BackupsOfRuns::fields() const {
    return {{"backup_made", always() ? "true" : "false"},
            {"backups_at_next_start", std::to_string(atNextStart)}};
}

}  // namespace veltro::bench
