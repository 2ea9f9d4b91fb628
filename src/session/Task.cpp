#include "session/Task.h"

#include <utility>

namespace veltro::session {

void TaskControl::progress(std::int64_t done, std::int64_t total) {
    done_ = done;
    total_ = total;
    changed_ = true;
}

void TaskControl::step(const QString& text) {
    const std::scoped_lock lock(stepMutex_);
    step_ = text;
    changed_ = true;
}

Task::Task(Work work, Done done, Progress progress, QObject* parent)
    : QObject(parent), done_(std::move(done)), progress_(std::move(progress)) {
    ticker_.setInterval(kProgressEveryMs);
    connect(&ticker_, &QTimer::timeout, this, [this] { tellProgress(); });
    ticker_.start();
    thread_ = std::thread([this, work = std::move(work)] {
        try {
            work(control_);
        } catch (...) {
            failure_ = std::current_exception();
        }
        workEnded_ = true;
        workEnded_.notify_all();
        QMetaObject::invokeMethod(
            this, [this] { end(); }, Qt::QueuedConnection);
    });
}

Task::~Task() {
    cancel();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void Task::tellProgress() {
    if (!control_.changed_.exchange(false) || !progress_) {
        return;
    }
    TaskProgress now{control_.done_, control_.total_, {}};
    {
        const std::scoped_lock lock(control_.stepMutex_);
        now.step = control_.step_;
    }
    progress_(now);
}

void Task::finish() {
    workEnded_.wait(false);
    end();
}

void Task::end() {
    if (ended_) {
        return;
    }
    thread_.join();
    ended_ = true;
    ticker_.stop();
    tellProgress();
    progress_ = {};  // what it holds belongs to whoever waits for the end
    if (done_) {
        // `done` may delete this task.
        const Done done = std::move(done_);
        done(std::exchange(failure_, nullptr));
    }
}

}  // namespace veltro::session
