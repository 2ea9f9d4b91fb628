#pragma once

#include <QIcon>

namespace veltro::platform {

// The program's icon, drawn from its SVG picture at the sizes desktops ask for.
[[nodiscard]] QIcon programIcon();

}  // namespace veltro::platform
