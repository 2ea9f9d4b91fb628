// veltro-bench-window: the window program as veltro-adressbuch runs it, with the hooks the
// benchmark drives it by (BenchHooks.h). Built for veltro-bench only and never installed.
#include "BenchHooks.h"

#include "mainwindow/WindowProgram.h"

#include <QElapsedTimer>

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    return veltro::mainwindow::runWindowProgram(
        argc, argv, [&](auto& program) { installBenchHooks(program, sinceStart); });
}
