#pragma once

#include "backup/BackupFiles.h"
#include "backup/BackupSchedule.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

namespace veltro::session {

// The program's backups of the store: before the first change of the run, before each
// import and each renaming or deletion of a category, and once a day otherwise. The copy
// runs on a thread of its own; it reads the store as it was before the change, and the
// change waits at its end until the copy is done. A failure is said in the status bar and
// stops nothing.
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

    // Called before a change of the store; starts a copy when one is due. True when a copy
    // started: it holds the store, and the change waits for it at its end.
    bool beforeChange(const std::filesystem::path& storeFile, backup::Occasion occasion);
    // Returns once no copy runs.
    void wait();
    // Returns once no copy runs; unlike wait(), any thread may call it.
    void waitForCopy() const;
    // A copy runs now (any thread may ask).
    [[nodiscard]] bool copying() const { return running_; }

private:
    void report(const QString& text, bool failed);

    std::function<void(const QString&, bool)> tell_;
    backup::Clock clock_ = backup::systemTime;
    backup::BackupSchedule schedule_;
    std::thread copying_;
    std::atomic<bool> running_ = false;
};

}  // namespace veltro::session
