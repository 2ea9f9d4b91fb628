#include "platform/TellFailure.h"

#include "base/Failure.h"
#include "platform/Platform.h"

namespace veltro::platform {

void tellFailure(const QString& command, const std::exception_ptr& failure) {
    const Failure told = describeFailure(failure);
    if (told.kind == Error::Kind::Cancelled) {
        return;
    }
    const QString text =
        command.isEmpty()
            ? told.text
            : QStringLiteral("„%1“ konnte nicht ausgeführt werden.\n\n%2").arg(command, told.text);
    current().message(
        {text, QStringLiteral("Veltro Adressbuch"), Buttons::Ok, Icon::Exclamation, 0});
}

bool runGuarded(const QString& command, const std::function<void()>& run) {
    try {
        run();
        return true;
    } catch (...) {
        tellFailure(command, std::current_exception());
        return false;
    }
}

}  // namespace veltro::platform
