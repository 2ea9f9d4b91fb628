#pragma once

namespace veltro::platform {

// Names for screen readers where a widget has none of its own: the parts Qt builds into
// its dialogs and views (scroll bars, splitters, tool bars, the edit line of a drop-down
// list …) and views and boxes that a caption, a frame's title or a tooltip describes.
// Installed once on the application; a name a widget was given stays.
void nameUnnamedWidgets();

}  // namespace veltro::platform
