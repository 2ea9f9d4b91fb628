#pragma once

#include <QElapsedTimer>

namespace veltro::mainwindow {
class Program;
}

// What veltro-bench asks of veltro-bench-window through its environment:
//   VELTRO_BENCH_STARTUP=1            print "loaded <ms>" once the main window is filled
//                                     and painted, then end at once;
//   VELTRO_BENCH_EXIT=keep|discard    change 100 cards, print "closing", then close the
//                                     main window, the exit question answered yes or no;
//   VELTRO_BENCH_FULLTEXT=TEXT        search TEXT in the full text once the window is filled;
//                                     when every card was searched, print "fulltext" with the
//                                     milliseconds since start to the first and to the whole
//                                     answer, the longest stall of the event loop, the peak
//                                     resident kB and the lines found, then end at once.
void installBenchHooks(veltro::mainwindow::Program& program, const QElapsedTimer& sinceStart);
