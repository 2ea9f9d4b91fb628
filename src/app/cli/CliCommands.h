#pragma once

#include <QStringList>
#include <QTextStream>

#include <filesystem>
#include <functional>
#include <future>
#include <string_view>

namespace veltro::cli {

// Output streams of the command-line companion.
QTextStream& out();
QTextStream& err();

// Each command gets its arguments after the command name and returns the exit status.
int newStore(const QStringList& args);
int demoStore(const QStringList& args);
int generate(const QStringList& args);
int listCards(const QStringList& args);
int showCard(const QStringList& args);
int exportCards(const QStringList& args);
int importFile(const QStringList& args);
int listBackupsCommand(const QStringList& args);
int restoreCommand(const QStringList& args);

// Says what is wrong with the call and how the command is called; returns kUsage.
int usage(std::string_view command, const QString& problem);

// Before a command changes the store: a backup of it into its backup folder. A failure is
// said on the error output and stops nothing.
void backUpFirst(const std::filesystem::path& storeFile);

// The same backup, of the store as it is when this is made, written on a thread of its own
// while the command changes the store (the change does not wait for the copy). finish(),
// or the end of the object, waits for the copy and says how it went.
class BackupAlongside {
public:
    explicit BackupAlongside(const std::filesystem::path& storeFile);
    BackupAlongside(const BackupAlongside&) = delete;
    BackupAlongside& operator=(const BackupAlongside&) = delete;
    ~BackupAlongside() { finish(); }
    void finish();

private:
    struct Said {
        QString text;
        bool failed = false;
    };
    std::future<Said> copy_;
};

// Labels, a printed list and envelopes as PDF files.
int printLabels(const QStringList& args);
int printList(const QStringList& args);
int printEnvelopes(const QStringList& args);
int findDuplicates(const QStringList& args);
int listBirthdays(const QStringList& args);

int syncBook(const QStringList& args);

// Runs a command that writes the store in DIR while holding the folder's writer lock, so
// that it never writes under the running program. Refuses with kInUse while the lock is
// held elsewhere, and with kFailed when the lock file cannot be made.
int whileLocked(const QString& dir, const std::function<int()>& command);

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;
inline constexpr int kPartly = 3;  // done, but some records could not be read or were skipped
inline constexpr int kInUse = 75;  // the store is locked by another writer

}  // namespace veltro::cli
