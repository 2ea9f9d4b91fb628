#pragma once

#include <QElapsedTimer>

namespace veltro::mainwindow {
class Program;
}

// What veltro-bench asks of the real program through its environment:
//   VELTRO_BENCH_STARTUP=1            print "loaded <ms>" once the main window is filled
//                                     and painted, then end at once;
//   VELTRO_BENCH_EXIT=keep|discard    change 100 cards, print "closing", then close the
//                                     main window, the exit question answered yes or no.
void installBenchHooks(veltro::mainwindow::Program& program, const QElapsedTimer& sinceStart);
