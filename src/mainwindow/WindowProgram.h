#pragma once

#include <functional>

namespace veltro::mainwindow {

class Program;

// The window program from start to end: the application with German translations, the
// program's start, what ends it (the last window, a signal, a lost display) and the event
// loop. `beforeStart` sees the program before it starts. Returns the exit status.
int runWindowProgram(int& argc, char** argv, const std::function<void(Program&)>& beforeStart = {});

}  // namespace veltro::mainwindow
