#include "mainwindow/StoreGuard.h"

#include "platform/TellFailure.h"

namespace veltro::mainwindow {

bool runGuarded(const QString& name, const std::function<void()>& command) {
    return platform::runGuarded(name, command);
}

}  // namespace veltro::mainwindow
