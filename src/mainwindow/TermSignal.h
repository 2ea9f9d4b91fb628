#pragma once

#include <QObject>

class QSocketNotifier;

namespace veltro::mainwindow {

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal delivered by the event loop, where it
// is safe to write the store. One per process.
class TermSignal : public QObject {
    Q_OBJECT
public:
    explicit TermSignal(QObject* parent = nullptr);
    ~TermSignal() override;
    TermSignal(const TermSignal&) = delete;
    TermSignal& operator=(const TermSignal&) = delete;

Q_SIGNALS:
    void received();

private:
    QSocketNotifier* notifier_ = nullptr;  // child object
};

}  // namespace veltro::mainwindow
