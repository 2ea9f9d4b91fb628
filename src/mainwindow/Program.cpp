#include "mainwindow/Program.h"

#include "mainwindow/MainWindow.h"
#include "mainwindow/SplashWindow.h"
#include "platform/Platform.h"
#include "store/DataDirectory.h"

#include <QApplication>

namespace veltro::mainwindow {

Program::Program() = default;

Program::~Program() {
    delete main_.data();
    delete splash_.data();
}

MainWindow* Program::mainWindow() const {
    return main_;
}

SplashWindow* Program::splash() const {
    return splash_;
}

bool Program::start() {
    const auto directory = store::dataDirectory();
    lock_.emplace(store::WriterLock::tryAcquire(directory));
    if (!lock_->held()) {
        const QString text =
            lock_->state() == store::WriterLock::State::InUse
                ? QStringLiteral("Die Anwendung wird bereits ausgeführt.")
                : QStringLiteral(
                      "Die Kartei in %1 lässt sich nicht sperren: %2\nVeltro "
                      "Adressbuch braucht Schreibrechte im Verzeichnis der Kartei.")
                      .arg(QString::fromStdString(directory.string()), lock_->problem());
        platform::current().message({text, QStringLiteral("Veltro Adressbuch"),
                                     platform::Buttons::Ok, platform::Icon::None, 0});
        exitStatus_ = 1;
        return false;
    }
    splash_ = new SplashWindow([this] { openMainWindow(); });
    splash_->setAttribute(Qt::WA_DeleteOnClose);
    splash_->start();
    return true;
}

void Program::openMainWindow() {
    main_ = new MainWindow();
    main_->setAttribute(Qt::WA_DeleteOnClose);
    if (!main_->Form_Load()) {
        exitStatus_ = 1;
        delete main_.data();
        QApplication::exit(exitStatus_);
        return;
    }
    main_->show();
    Q_EMIT mainWindowLoaded();
}

}  // namespace veltro::mainwindow
