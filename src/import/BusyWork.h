#pragma once

#include <QElapsedTimer>
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

// Long work in a window: shows it on the progress bar, freezes the given widgets, and
// keeps the window painted and its cancel button live by handling events now and then.
class BusyWork {
public:
    BusyWork(WorkState& state, QProgressBar& bar, const QList<QWidget*>& frozen);
    BusyWork(const BusyWork&) = delete;
    BusyWork& operator=(const BusyWork&) = delete;
    ~BusyWork();

    // Shows the bar with this maximum and the value 1.
    void start(std::int64_t maximum);
    // Moves the bar, nothing more (the work runs elsewhere).
    void show(std::int64_t value);
    // Moves the bar; false once the user asked to cancel.
    bool advance(std::int64_t value);
    // Handles pending events when it is time; false once the user asked to cancel.
    bool keepAlive();
    [[nodiscard]] bool cancelled() const { return state_.cancel; }

private:
    WorkState& state_;
    QProgressBar& bar_;
    QList<QPointer<QWidget>> frozen_;
    QList<bool> wasEnabled_;
    QPointer<QWidget> focus_;
    QElapsedTimer sinceEvents_;
    std::int64_t scale_ = 1;  // the bar counts in int
};

}  // namespace veltro::import
