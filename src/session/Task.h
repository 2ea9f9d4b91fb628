#pragma once

#include "base/Error.h"

#include <QObject>
#include <QString>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace veltro::session {

// The task was stopped while its work waited for the window's thread.
class TaskStopped : public Error {
public:
    TaskStopped() : Error(Kind::Cancelled, QStringLiteral("Abgebrochen.")) {}
};

// How far long work has come: done of total, and what it does now.
struct TaskProgress {
    std::int64_t done = 0;
    std::int64_t total = 0;
    QString step;
};

// What the work sees of its task: it tells its progress and asks whether to stop.
class TaskControl {
public:
    void progress(std::int64_t done, std::int64_t total);
    void step(const QString& text);
    [[nodiscard]] bool stopRequested() const { return stop_; }
    // Runs `call` on the window's thread (a question, a backup) and waits for its answer; its
    // failure comes back here. Throws TaskStopped when the task is stopped or finished
    // meanwhile; the work then goes on without the answer, so `call` must not reach into the
    // work's own variables.
    bool onWindowThread(std::function<bool()> call);

private:
    friend class Task;
    QObject* owner_ = nullptr;
    std::atomic<bool> stop_ = false;
    std::atomic<bool> finishing_ = false;
    std::atomic<std::int64_t> done_ = 0;
    std::atomic<std::int64_t> total_ = 0;
    mutable std::mutex stepMutex_;
    QString step_;
    std::atomic<bool> changed_ = false;
};

// Long work on a thread of its own. The window's thread goes on with its events; progress
// reaches it a few times a second, and the end once, through `done` with the failure if the
// work threw (nothing on success). Deleting a task stops its work and waits for it; its
// `done` then never runs.
class Task : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(TaskControl&)>;
    using Done = std::function<void(std::exception_ptr failure)>;
    using Progress = std::function<void(const TaskProgress&)>;

    Task(Work work, Done done, Progress progress = {}, QObject* parent = nullptr);
    ~Task() override;
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;

    // Asks the work to stop; it ends at its next look at stopRequested().
    void cancel() { control_.stop_ = true; }
    [[nodiscard]] bool running() const { return !ended_; }
    // Blocks until the work ended, then runs `done` at once (for the end of the program).
    void finish();

    static constexpr int kProgressEveryMs = 50;

private:
    void end();
    void tellProgress();

    Done done_;
    Progress progress_;
    TaskControl control_;
    QTimer ticker_;
    std::exception_ptr failure_;
    std::atomic<bool> workEnded_ = false;
    bool ended_ = false;
    std::unique_ptr<QThread> thread_;  // a QThread, so that timers work in the work
};

}  // namespace veltro::session
