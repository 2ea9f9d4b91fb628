#include "mainwindow/TermSignal.h"

#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace veltro::mainwindow {

namespace {

int pipeEnds[2] = {-1, -1};

// A termination request, the terminal closed, Ctrl+C in it.
constexpr int kEndSignals[] = {SIGTERM, SIGHUP, SIGINT};

extern "C" void onTerm(int /*signal*/) {
    const char byte = 1;
    // Only async-signal-safe calls here; the event loop does the rest.
    [[maybe_unused]] const auto written = ::write(pipeEnds[0], &byte, 1);
}

}  // namespace

TermSignal::TermSignal(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0) {
        return;
    }
    notifier_ = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const auto read = ::read(pipeEnds[1], &byte, 1);
        Q_EMIT received();
    });
    struct sigaction action {};
    action.sa_handler = onTerm;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kEndSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

TermSignal::~TermSignal() {
    if (notifier_ == nullptr) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (const int signal : kEndSignals) {
        ::sigaction(signal, &action, nullptr);
    }
    delete notifier_;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

}  // namespace veltro::mainwindow
