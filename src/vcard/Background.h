#pragma once

#include <future>
#include <memory>
#include <system_error>
#include <utility>

namespace veltro::vcard {

// Runs work(input) on a thread of its own. Where no thread can be started, the work is
// done at once on the calling thread, so a busy system makes it slower, never failing.
template <typename Input, typename Work>
auto inBackground(Input input, Work work) -> std::future<decltype(work(input))> {
    using Result = decltype(work(input));
    auto shared = std::make_shared<const Input>(std::move(input));
    try {
        return std::async(std::launch::async, [shared, work] { return work(*shared); });
    } catch (const std::system_error&) {
        std::promise<Result> done;
        done.set_value(work(*shared));
        return done.get_future();
    }
}

}  // namespace veltro::vcard
