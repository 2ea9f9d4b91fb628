#pragma once

namespace veltro::platform {

// Ctrl+Y and Ctrl+Shift+Z are the redo of the text box that has the focus, on every
// platform: X11 knows only Ctrl+Shift+Z as a box's redo and would hand Ctrl+Y to a window's
// shortcut. Outside the boxes the keys stay the window's. Installed once on the application.
void keepRedoInTextBoxes();

}  // namespace veltro::platform
