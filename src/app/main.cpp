#include "BenchHooks.h"

#include "mainwindow/WindowProgram.h"

#include <QElapsedTimer>

#include <malloc.h>

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    // Large blocks (the growing lists and indexes of a big card file) come from the system
    // and go back to it when freed, rather than staying with the program after their use.
    constexpr int kLargeBlockBytes = 256 * 1024;
    mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes);
    return veltro::mainwindow::runWindowProgram(
        argc, argv, [&](auto& program) { installBenchHooks(program, sinceStart); });
}
