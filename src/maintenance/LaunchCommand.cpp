#include "maintenance/LaunchCommand.h"

#include "platform/Platform.h"

namespace veltro::maintenance {

namespace {

bool askAndOpen(const std::optional<LaunchTarget>& target) {
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

}  // namespace

bool launchMailOrWeb(LaunchSource source, const QString& text) {
    return askAndOpen(LaunchTarget::fromText(source, text));
}

bool launchMapSearch(const QString& address) {
    return askAndOpen(LaunchTarget::mapSearch(address));
}

}  // namespace veltro::maintenance
