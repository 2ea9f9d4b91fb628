#pragma once

namespace veltro::platform {

// Ctrl+Y and Ctrl+Shift+Z are the redo of the text box that has the focus, on every
// platform: X11 knows only Ctrl+Shift+Z as a box's redo and would hand Ctrl+Y to a window's
// shortcut. Entf deletes a character in any box, also a read-only one, which would hand it
// on to the window (where it deletes the card). Outside the boxes the keys stay the
// window's. Installed once on the application.
void keepEditingKeysInTextBoxes();

}  // namespace veltro::platform
