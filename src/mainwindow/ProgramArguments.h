#pragma once

#include <QStringList>

#include <optional>

namespace veltro::mainwindow {

// Help or version asked for on the command line are answered on the terminal, before any
// window and without a display. Returns the exit status then; nothing when the program is
// to start.
[[nodiscard]] std::optional<int> answerOnTerminal(int argc, char** argv);

// The arguments left after Qt took its own: the file to open, or why they make no start
// (an unknown option, more than one file, a file that cannot be read), in German.
struct StartCall {
    QString file;     // empty for none
    QString problem;  // empty when the program starts
};
[[nodiscard]] StartCall readStartCall(const QStringList& arguments);

// Exit status of a call the program refuses.
inline constexpr int kWrongCall = 2;

}  // namespace veltro::mainwindow
