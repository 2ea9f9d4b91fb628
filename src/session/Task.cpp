#include "session/Task.h"

#include <chrono>
#include <future>
#include <memory>
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

bool TaskControl::onWindowThread(std::function<bool()> call) {
    auto answered = std::make_shared<std::promise<bool>>();
    std::future<bool> answer = answered->get_future();
    // The call runs only while the task lives; a task that goes away drops it unrun.
    QMetaObject::invokeMethod(
        owner_,
        [call = std::move(call), answered] {
            try {
                answered->set_value(call());
            } catch (...) {
                answered->set_exception(std::current_exception());
            }
        },
        Qt::QueuedConnection);
    constexpr auto kLook = std::chrono::milliseconds(20);
    while (answer.wait_for(kLook) != std::future_status::ready) {
        if (stop_ || finishing_) {
            throw TaskStopped();
        }
    }
    return answer.get();
}

Task::Task(Work work, Done done, Progress progress, QObject* parent)
    : QObject(parent), done_(std::move(done)), progress_(std::move(progress)) {
    control_.owner_ = this;
    ticker_.setInterval(kProgressEveryMs);
    connect(&ticker_, &QTimer::timeout, this, [this] { tellProgress(); });
    ticker_.start();
    thread_.reset(QThread::create([this, work = std::move(work)] {
        try {
            work(control_);
        } catch (...) {
            failure_ = std::current_exception();
        }
        workEnded_ = true;
        workEnded_.notify_all();
        QMetaObject::invokeMethod(
            this, [this] { end(); }, Qt::QueuedConnection);
    }));
    thread_->start();
}

Task::~Task() {
    cancel();
    thread_->wait();
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
    control_.finishing_ = true;  // the window's thread waits here and answers nothing
    workEnded_.wait(false);
    end();
}

void Task::end() {
    if (ended_) {
        return;
    }
    thread_->wait();
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
