#pragma once

namespace veltro {

// Work on a thread of its own that nobody waits for (an index being read, a backup being
// copied) leaves the processor to the window's thread whenever that wants it.
void yieldProcessorToTheWindow();

}  // namespace veltro
