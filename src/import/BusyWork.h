#pragma once

#include <QList>
#include <QPointer>

#include <cstdint>

class QProgressBar;
class QWidget;

namespace veltro::import {

// What a window knows about its long work: whether it runs, and whether the user asked to
// cancel it or to close the window meanwhile.
struct WorkState {
    bool busy = false;
    bool cancel = false;
    bool closeWhenDone = false;
};

// Long work of a window, running on a thread of its own: the progress bar shows it, the
// given widgets are frozen and a busy cursor is up until it ends.
class BusyWork {
public:
    BusyWork(WorkState& state, QProgressBar& bar, const QList<QWidget*>& frozen);
    BusyWork(const BusyWork&) = delete;
    BusyWork& operator=(const BusyWork&) = delete;
    ~BusyWork();

    // Shows the bar at `value` of `maximum`.
    void show(std::int64_t value, std::int64_t maximum);
    [[nodiscard]] bool cancelled() const { return state_.cancel; }

private:
    WorkState& state_;
    QProgressBar& bar_;
    QList<QPointer<QWidget>> frozen_;
    QList<bool> wasEnabled_;
    QPointer<QWidget> focus_;
};

}  // namespace veltro::import
