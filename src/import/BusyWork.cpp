#include "import/BusyWork.h"

#include <QApplication>
#include <QProgressBar>
#include <QWidget>

#include <limits>

namespace veltro::import {

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

void BusyWork::show(std::int64_t value, std::int64_t maximum) {
    const std::int64_t scale =
        1 + maximum / std::numeric_limits<int>::max();  // the bar counts in int
    bar_.setRange(0, static_cast<int>(maximum / scale));
    bar_.setValue(std::min(bar_.maximum(), static_cast<int>(value / scale)));
    bar_.show();
}

}  // namespace veltro::import
