#pragma once

#include <QString>

#include <functional>

namespace veltro::mainwindow {

// Runs a command that reads or writes the store; whatever it throws becomes a German
// message naming the command instead of reaching the event loop. False when it failed.
bool runGuarded(const QString& name, const std::function<void()>& command);

}  // namespace veltro::mainwindow
