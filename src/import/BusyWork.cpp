#include "import/BusyWork.h"

#include <QApplication>
#include <QProgressBar>
#include <QWidget>

#include <limits>

namespace veltro::import {

namespace {

constexpr qint64 kEventsEveryMs = 30;

}  // namespace

BusyWork::BusyWork(WorkState& state, QProgressBar& bar, const QList<QWidget*>& frozen)
    : state_(state), bar_(bar) {
    state_.busy = true;
    state_.cancel = false;
    focus_ = QApplication::focusWidget();
    for (QWidget* widget : frozen) {
        frozen_ << widget;
        wasEnabled_ << widget->isEnabled();
        widget->setEnabled(false);
    }
    QApplication::setOverrideCursor(Qt::BusyCursor);
    sinceEvents_.start();
}

BusyWork::~BusyWork() {
    bar_.hide();
    for (qsizetype i = 0; i < frozen_.size(); ++i) {
        if (frozen_[i] != nullptr) {
            frozen_[i]->setEnabled(wasEnabled_[i]);
        }
    }
    // Disabling moved the focus away; give it back.
    if (focus_ != nullptr && focus_->isEnabled() && focus_->isVisible()) {
        focus_->setFocus();
    }
    QApplication::restoreOverrideCursor();
    state_.busy = false;
}

void BusyWork::start(std::int64_t maximum) {
    scale_ = 1 + maximum / std::numeric_limits<int>::max();
    bar_.setRange(0, static_cast<int>(maximum / scale_));
    bar_.setValue(static_cast<int>(1 / scale_));
    bar_.show();
    sinceEvents_.restart();
}

void BusyWork::show(std::int64_t value) {
    bar_.setValue(std::min(bar_.maximum(), static_cast<int>(value / scale_)));
}

bool BusyWork::advance(std::int64_t value) {
    bar_.setValue(std::min(bar_.maximum(), static_cast<int>(value / scale_)));
    return keepAlive();
}

bool BusyWork::keepAlive() {
    if (sinceEvents_.elapsed() >= kEventsEveryMs) {
        QApplication::processEvents();
        sinceEvents_.restart();
    }
    return !state_.cancel;
}

}  // namespace veltro::import
