#include "mainwindow/SplashWindow.h"

#include "mainwindow/SplashPicture.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <QLabel>
#include <QVBoxLayout>

namespace veltro::mainwindow {

QColor SplashWindow::bandColour() {
    return {0, 128, 192};
}

QString SplashWindow::versionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(VELTRO_VERSION_MAJOR)
        .arg(VELTRO_VERSION_MINOR)
        .arg(VELTRO_VERSION_PATCH);
}

SplashWindow::SplashWindow(std::function<void()> onTick, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      onTick_(std::move(onTick)),
      image_(new QLabel(this)) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Veltro Adressbuch"));
    timer_.setObjectName(QStringLiteral("Timer1"));
    connect(&timer_, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    image_->setObjectName(QStringLiteral("Image2"));
    image_->setPixmap(paintSplashPicture(QSize(520, 240)));
    auto* band = new QLabel(this);
    band->setObjectName(QStringLiteral("Label1"));
    band->setFixedHeight(6);
    band->setAutoFillBackground(true);
    auto* status = new QLabel(QStringLiteral("....Initialisierung"), this);
    status->setObjectName(QStringLiteral("Label2"));
    auto* version = new QLabel(this);
    version->setObjectName(QStringLiteral("Label4"));
    for (QLabel* text : {status, version}) {
        text->setStyleSheet(QStringLiteral("color: white;"));
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(image_);
    layout->addWidget(band);
    auto* line = new QHBoxLayout();
    line->setContentsMargins(14, 6, 14, 0);
    line->addWidget(status);
    line->addStretch(1);
    line->addWidget(version);
    layout->addLayout(line);
}

void SplashWindow::start() {
    const bool show = settings::flag(settings::key::OPChk6);
    timer_.setInterval(show ? 1000 : 100);
    timer_.start();
    if (!show) {
        hide();
        return;
    }
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, bandColour());
    setPalette(palette);
    findChild<QLabel*>(QStringLiteral("Label1"))->setPalette(palette);
    findChild<QLabel*>(QStringLiteral("Label4"))->setText(versionText());
    adjustSize();
    this->show();
    raise();
}

void SplashWindow::Timer1_Timer() {
    timer_.stop();
    if (onTick_) {
        auto tick = std::move(onTick_);
        onTick_ = nullptr;
        tick();
    }
    close();
}

}  // namespace veltro::mainwindow
