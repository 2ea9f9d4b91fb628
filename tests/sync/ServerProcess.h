#pragma once

// A server program of the sync tests on a free loopback port, its output in a log file.
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace veltro::testing {

inline int freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Starts the program; true once it takes connections on the port, false when it ends first.
inline bool startServing(QProcess& process, const QString& program, const QStringList& args,
                         int port, const QString& log) {
    process.setStandardOutputFile(log);
    process.setStandardErrorFile(log, QIODevice::Append);
    process.start(program, args);
    for (int waited = 0; waited < 15000; waited += 50) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
        if (socket.waitForConnected(200)) {
            return true;
        }
        if (process.state() == QProcess::NotRunning) {
            return false;
        }
        QThread::msleep(50);
    }
    return false;
}

inline void stopServing(QProcess& process) {
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

}  // namespace veltro::testing
