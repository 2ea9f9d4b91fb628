#pragma once

#include "backup/BackupFiles.h"
#include "backup/BackupSchedule.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace veltro::backup {
class BackupWriter;
}
namespace veltro::store {
class Database;
}

namespace veltro::session {

// The program's backups of the store: before the first change of the run, before each
// import and each renaming or deletion of a category, and once a day otherwise. Each copy
// is of the store as it was when the change was about to begin, and runs on a thread of its
// own; the change does not wait for it (backup::BackupWriter). A failure is said in the
// status bar and stops nothing.
class Backups : public QObject {
    Q_OBJECT
public:
    // `tell` shows a line in the status bar.
    Backups(std::function<void(const QString& text, bool failed)> tell, QObject* parent);
    Backups(const Backups&) = delete;
    Backups& operator=(const Backups&) = delete;
    ~Backups() override;

    void setClock(backup::Clock clock) { clock_ = std::move(clock); }
    [[nodiscard]] QDateTime now() const { return clock_(); }
    // Runs on a copy's thread before each piece it copies (tests hold copies there).
    void setPieceHook(std::function<void()> hook) { pieceHook_ = std::move(hook); }

    // Called before a change of the store; starts a copy when one is due. True when a copy
    // started.
    bool beforeChange(const std::filesystem::path& storeFile, backup::Occasion occasion);
    // Before the snapshot of a new run is taken: when the run before ended without its exit
    // step while one of its copies was still being made, the backup of its start is made
    // from the snapshot it left.
    void afterUnfinishedRun(store::Database& db);
    // Returns once no copy runs.
    void wait();
    // At the end of the program: a copy of the run's start still being made stops, and stays
    // unfinished for the next start (afterUnfinishedRun); other copies are waited for. False
    // when a copy was stopped.
    bool stopCopiesOfTheStart();
    [[nodiscard]] bool stopping() const { return stopping_; }

private:
    void start(std::unique_ptr<backup::BackupWriter> writer, const QDateTime& now, bool ofTheStart);
    void report(const QString& text, bool failed);

    std::function<void(const QString&, bool)> tell_;
    std::function<void()> pieceHook_;
    backup::Clock clock_ = backup::systemTime;
    backup::BackupSchedule schedule_;
    std::vector<std::thread> copies_;
    std::atomic<int> running_ = 0;
    std::atomic<bool> stopping_ = false;
    std::atomic<bool> stopped_ = false;
};

}  // namespace veltro::session
