#include "mainwindow/InfoWindow.h"

#include "mainwindow/SplashPicture.h"
#include "mainwindow/SplashWindow.h"
#include "platform/WidgetTools.h"

#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace veltro::mainwindow {

using platform::named;

InfoWindow* InfoWindow::open(QWidget* parent) {
    static QPointer<InfoWindow> window;
    if (window == nullptr) {
        window = new InfoWindow(parent);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

InfoWindow::InfoWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("InfoWindow"));
    setWindowTitle(QStringLiteral("Info – Veltro Adressbuch"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    platform::setRole(this, QPalette::Window, SplashWindow::bandColour());

    auto* picture = named(new QLabel(this), "Image2");
    picture->setPixmap(paintSplashPicture(QSize(520, 240)));
    auto* version = named(new QLabel(SplashWindow::versionText(), this), "Label4");
    platform::setRole(version, QPalette::WindowText, Qt::white);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(picture);
    layout->addWidget(version, 0, Qt::AlignRight);
    version->setContentsMargins(14, 6, 14, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void InfoWindow::mousePressEvent(QMouseEvent* event) {
    QDialog::mousePressEvent(event);
    close();
}

}  // namespace veltro::mainwindow
