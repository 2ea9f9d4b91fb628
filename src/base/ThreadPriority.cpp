#include "base/ThreadPriority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace veltro {

void yieldProcessorToTheWindow() {
    constexpr int kLowerPriority = 10;
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kLowerPriority);
}

}  // namespace veltro
