#include "maintenance/LaunchCommand.h"

#include "platform/Platform.h"

namespace veltro::maintenance {

bool launchMailOrWeb(LaunchSource source, const QString& text) {
    const auto target = LaunchTarget::fromText(source, text);
    if (!target) {
        return false;
    }
    auto& desktop = platform::current();
    const platform::MessageRequest question{target->question(), target->title(),
                                            platform::Buttons::OkCancel, platform::Icon::Question,
                                            0};
    if (desktop.message(question) != platform::Answer::Ok) {
        return false;
    }
    // Whether the desktop managed to open it is not reported to the user.
    desktop.openUrl(target->url());
    return true;
}

}  // namespace veltro::maintenance
