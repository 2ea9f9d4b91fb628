#pragma once

#include "Bench.h"

#include <QProcess>
#include <QString>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veltro::bench {

// Settings of a measured run of the real program: the splash window shown or not.
void writeProgramSettings(const QString& configDir, bool splash);

// What a normal exit leaves behind, so every run starts alike.
void emptySnapshot(const std::filesystem::path& storeDir);

// Starts veltro-bench-window offscreen on a store directory with its own settings and the
// given request in its environment (BenchHooks.h).
void startProgram(QProcess& process, const BenchContext& context,
                  const std::filesystem::path& storeDir, const QString& configDir,
                  const char* request, const QString& value);
// The same with several requests, on the X display named (offscreen without one).
void startProgram(QProcess& process, const BenchContext& context,
                  const std::filesystem::path& storeDir, const QString& configDir,
                  const std::vector<std::pair<QString, QString>>& requests,
                  const QString& display = {});

// How a child process ended, and the most memory it held.
struct ChildRun {
    int status = -1;  // its exit status, -1 when it did not end normally
    double peakMb = 0;
    double cpuMs = 0;  // user and system time
};
// Runs a program with these arguments, its output discarded, and waits for it.
[[nodiscard]] std::optional<ChildRun> runChild(const std::filesystem::path& program,
                                               const std::vector<std::string>& args);

// One decimal, as the reports give milliseconds.
[[nodiscard]] std::string fixed(double value);
// The words of the program's first line that starts with `word`; nothing when it ended first.
[[nodiscard]] std::optional<QList<QByteArray>> lineStarting(QProcess& process,
                                                            const QByteArray& word);
// The backups of the store in the folder, made by a measured run.
void removeBackups(const std::filesystem::path& storeDir);
[[nodiscard]] bool backupMade(const std::filesystem::path& storeDir);

// Whether each run left a backup of its start: made, or left for the next start to make from
// the run's notes when the program ended during the copy.
struct BackupsOfRuns {
    int runs = 0;
    int made = 0;
    int atNextStart = 0;
    void count(const std::filesystem::path& storeDir);
    [[nodiscard]] bool always() const { return made + atNextStart == runs; }
    // The report's fields.
    [[nodiscard]] std::vector<std::pair<std::string, std::string>> fields() const;
};

}  // namespace veltro::bench
