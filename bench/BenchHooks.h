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
//                                     resident kB and the lines found, then end at once;
//   VELTRO_BENCH_FIRST_CHANGE=1       type into a box of the shown card and leave it with Tab:
//                                     print "first_change" with the milliseconds until the
//                                     window is painted again, then close keeping the run;
//   VELTRO_BENCH_EXIT_TYPED=1         type into a box of the shown card and close at once:
//                                     print "question" with the milliseconds until the exit
//                                     question is asked (answered yes);
//   VELTRO_BENCH_X11=CATEGORY         on a real display: no blinking cursor, the category
//                                     chosen, the first card shown; print "window ID" and
//                                     "at NAME X Y" for the widgets a driver clicks (within
//                                     the window), then
//                                     "ready"; with VELTRO_BENCH_X11_FULLTEXT set, "complete"
//                                     each time a full-text answer over every card is shown.
void installBenchHooks(veltro::mainwindow::Program& program, const QElapsedTimer& sinceStart);
