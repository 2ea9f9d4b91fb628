#include "mainwindow/StoreGuard.h"

#include "platform/Platform.h"
#include "store/StoreError.h"

namespace veltro::mainwindow {

bool runGuarded(const QString& name, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const store::StoreError& error) {
        platform::current().message({QStringLiteral("„%1“ konnte nicht ausgeführt werden.\n\n%2")
                                         .arg(name, store::germanReason(error)),
                                     QStringLiteral("Veltro Adressbuch"), platform::Buttons::Ok,
                                     platform::Icon::Exclamation, 0});
        return false;
    }
}

}  // namespace veltro::mainwindow
