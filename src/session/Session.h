#pragma once

#include "backup/BackupSchedule.h"
#include "duplicates/CardMerge.h"
#include "duplicates/DuplicateFinder.h"
#include "export/ExportFile.h"
#include "maintenance/CardOperations.h"
#include "session/Backups.h"
#include "session/FullTextSearch.h"
#include "session/Task.h"
#include "store/CardIndex.h"
#include "store/CardStore.h"
#include "store/UndoLog.h"
#include "store/WriterLock.h"
#include "sync/SyncAccounts.h"
#include "sync/SyncRun.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace veltro::session {

// What the session is doing now; long work lets nothing else write meanwhile.
enum class RunState { Idle, Importing, Syncing, Merging, Restoring, Closing };

// One run of the card file without any window: the store and its writer lock, the card
// index, the full-text index, undo, backups and what the run has done. Every command
// writes the store first and the indexes in memory only after it succeeded; windows ask
// their questions, call a command and show what it left.
class Session {
public:
    struct Notices {
        // A line for the status bar about a backup copy.
        std::function<void(const QString& text, bool failed)> backup;
        // The full-text index has read every card of the store.
        std::function<void()> fullTextBuilt;
        // The run state changed (any thread's work ends on the window's thread).
        std::function<void(RunState)> stateChanged;
    };

    explicit Session(Notices notices = {});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The lock the program took on the data directory before anything was read.
    void holdLock(store::WriterLock lock) { lock_.emplace(std::move(lock)); }
    // Opens the store in the folder, takes the run's snapshot and reads the card index (or
    // takes the one read meanwhile). Throws store::StoreError; the session stays closed then.
    void open(const std::filesystem::path& directory,
              std::optional<store::CardIndex> preloaded = std::nullopt);
    // Lets go of the store: the full-text build stops, a running backup copy ends first.
    void close();
    [[nodiscard]] bool isOpen() const { return store_.has_value(); }

    [[nodiscard]] store::CardStore& store() { return *store_; }
    [[nodiscard]] store::CardStore* storeIfOpen() { return store_ ? &*store_ : nullptr; }
    [[nodiscard]] const std::filesystem::path& directory() const { return directory_; }
    [[nodiscard]] std::filesystem::path storeFile() const;
    [[nodiscard]] store::CardIndex& index() { return index_; }
    [[nodiscard]] const store::CardIndex& index() const { return index_; }
    [[nodiscard]] FullTextSearch& fullText() { return fullText_; }
    [[nodiscard]] Backups& backups() { return backups_; }

    // ---- the run ----
    [[nodiscard]] RunState state() const { return state_; }
    // Holds a run state for long work and goes back to Idle when it ends.
    class Busy {
    public:
        Busy(Session& session, RunState state);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        Session& session_;
        RunState before_;
    };
    // Whether the exit step must ask about the run's changes.
    [[nodiscard]] bool changed() const { return changed_; }
    void markChanged() { changed_ = true; }
    // A sync sent this run's changes to a server: "Nein" at exit keeps what it settled.
    [[nodiscard]] bool syncedThisRun() const { return syncedThisRun_; }
    void noteSynced() { syncedThisRun_ = true; }
    // The file name the store got in the backup folder when a backup replaced it.
    [[nodiscard]] const QString& restoredAs() const { return restoredAs_; }

    // Before the store is written: a backup, where one is due.
    void beforeChange(backup::Occasion occasion);

    // ---- cards and categories ----
    // Adds a card to a category unless its heading is taken (see `clash`).
    maintenance::NewCard addCard(const QString& heading, const QString& category);
    // False when another card has that heading already.
    bool renameCard(std::int64_t id, const QString& heading);
    void deleteCard(std::int64_t id);
    // Moves every card with the heading into the category.
    void assignCategory(const QString& heading, const QString& category);
    // False for "-Alle-", an empty name or one that exists (without regard to case).
    bool addCategory(const QString& name);
    bool renameCategory(const QString& oldName, const QString& newName);
    // Deletes the category and every card in it.
    void deleteCategory(const QString& name);
    // Merges each plan's other card into its kept one, one undo step, on a thread of its own;
    // `done` hears the kept card as it is now, or the failure. Nothing when other work runs.
    using MergeDone = std::function<void(const store::Card& merged, std::exception_ptr failure)>;
    Task* startMerge(const std::vector<duplicates::MergePlan>& plans, MergeDone done);
    // The same, waiting for its end; throws its failure.
    store::Card merge(const std::vector<duplicates::MergePlan>& plans);
    // The cards of the group are no duplicates of each other; asked no more.
    void markNotDuplicates(const duplicates::Group& group);
    // A card was written elsewhere (the card editor): the full-text index follows.
    void cardWritten(std::int64_t id);
    // After work that changed many cards: both indexes read again.
    void reloadIndexes();

    // ---- undo ----
    // The names of the steps an undo or a redo would take; nothing when there is none.
    [[nodiscard]] std::optional<QString> undoName();
    [[nodiscard]] std::optional<QString> redoName();
    // The store turns a step back or forth; the indexes follow. Nothing when there is none.
    std::optional<store::StepChanges> undo();
    std::optional<store::StepChanges> redo();

    // ---- long work ----
    // Work that writes the store on a thread of its own, on a connection of its own: the
    // session is in `state` and takes a backup first (the work does not wait for its copy). At
    // its end (on this thread) both indexes are read again and `done` hears how it went. One piece
    // of work at a time; nothing when one runs.
    using StoreWork = std::function<void(const std::filesystem::path& storeFile, TaskControl&)>;
    Task* startWork(RunState state, backup::Occasion occasion, StoreWork work, Task::Done done,
                    Task::Progress progress = {});
    // The work running now, if any (to cancel it).
    [[nodiscard]] Task* work() const { return work_.get(); }
    // Waits for the running work and ends it as usual (the program is closing).
    void finishWork();

    // ---- sync ----
    struct SyncJob {
        sync::Pairing pairing;
        QString password;
        // Asked on this thread before many deletions; unset or false: the sync makes none.
        std::function<bool(const sync::MassDelete&)> allowManyDeletes;
    };
    using SyncDone = std::function<void(const sync::SyncReport&, std::exception_ptr failure)>;
    // Brings one paired address book in step on a thread of its own, with a connection of its
    // own; a backup is taken on this thread before the sync changes cards here. Both indexes
    // are read again when it did. Nothing when other work runs.
    Task* startSync(SyncJob job, SyncDone done, Task::Progress progress = {});

    // ---- export ----
    // Writes every card to `target` on a thread of its own, reading through a connection of
    // its own; the session goes on meanwhile and may even write. Without options: vCard. The
    // task is the caller's; deleting it stops the export.
    using ExportDone =
        std::function<void(const exporting::ExportResult&, std::exception_ptr failure)>;
    [[nodiscard]] std::unique_ptr<Task> startExport(
        const QString& target, const std::optional<exporting::ExportOptions>& options,
        ExportDone done, Task::Progress progress = {}) const;

    // ---- backups ----
    // Puts a backup in the store's place and begins the run anew on it; the file name the
    // old store got among the backups. Throws store::StoreError; the store stays as it was
    // and the session open on it.
    std::filesystem::path restore(const std::filesystem::path& backupFile);
    // The same as long work: the copy runs on the task's thread, the store is closed
    // meanwhile and opened again before `done` hears how it went (the replaced store's file
    // name among the backups, or the failure). Nothing when other work runs.
    using RestoreDone =
        std::function<void(const std::filesystem::path& replaced, std::exception_ptr failure)>;
    Task* startRestore(const std::filesystem::path& backupFile, RestoreDone done);

    // ---- the end of the run ----
    // Keeps the run's changes, or takes back what "Nein" takes back.
    void keep();
    void discard(const std::function<void(int)>& afterStatement = {});

private:
    // Puts the ended work aside, reads the indexes again when it changed the store (a failure
    // to do so becomes the work's failure unless it had one) and leaves its run state.
    void endWork(bool changedHere, std::exception_ptr& failure);
    void setState(RunState state);
    void openStore(const std::filesystem::path& file);
    // Opens the store again after a restore and begins the run anew on it.
    void reopenAfterRestore(const std::filesystem::path& file);
    std::optional<store::StepChanges> turn(
        const std::function<std::optional<store::StepChanges>(store::Database&)>& step);

    Notices notices_;
    std::optional<store::WriterLock> lock_;
    std::filesystem::path directory_;
    std::optional<store::CardStore> store_;
    store::CardIndex index_;
    FullTextSearch fullText_;
    Backups backups_;
    RunState state_ = RunState::Idle;
    bool changed_ = false;
    bool syncedThisRun_ = false;
    QString restoredAs_;
    std::unique_ptr<Task> work_;
    std::unique_ptr<Task> endedWork_;  // its end is still running when it is put here
    std::unique_ptr<Busy> workState_;
};

}  // namespace veltro::session
