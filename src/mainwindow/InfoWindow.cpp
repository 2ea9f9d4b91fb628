#include "mainwindow/InfoWindow.h"
#include "platform/HelpKey.h"

#include "mainwindow/SplashPicture.h"
#include "mainwindow/SplashWindow.h"
#include "platform/ProgramIcon.h"
#include "platform/WidgetTools.h"
#include "store/DataDirectory.h"

#include <QEvent>
#include <QHBoxLayout>
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
    platform::setHelpPage(*this, QStringLiteral("index.html"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    platform::setRole(this, QPalette::Window, SplashWindow::bandColour());

    auto* picture = named(new QLabel(this), "Image2");
    picture->setAccessibleName(QStringLiteral("Bild des Programms"));
    picture->setPixmap(paintSplashPicture(QSize(520, 240)));
    const QIcon icon = platform::programIcon();
    setWindowIcon(icon);
    auto* symbol = named(new QLabel(this), "Image1");
    symbol->setAccessibleName(QStringLiteral("Programmsymbol"));
    symbol->setPixmap(icon.pixmap(48, 48));
    auto* name = named(new QLabel(QStringLiteral("Veltro Adressbuch"), this), "Label3");
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    name->setFont(bold);
    auto* version = named(new QLabel(SplashWindow::versionText(), this), "Label4");
    for (QLabel* text : {name, version}) {
        platform::setRole(text, QPalette::WindowText, Qt::white);
    }

    auto* line = new QHBoxLayout();
    line->setContentsMargins(14, 8, 14, 0);
    line->addWidget(symbol);
    line->addWidget(name);
    line->addStretch(1);
    line->addWidget(version);
    // Where the card file lies, which an installed program chooses itself.
    auto* folder =
        named(new QLabel(QStringLiteral("Datenordner: %1")
                             .arg(QString::fromStdString(store::dataDirectory().string())),
                         this),
              "Datenordner");
    // Selected from the keyboard: a click closes the window, wherever it lands.
    folder->setTextInteractionFlags(Qt::TextSelectableByKeyboard);
    folder->setContentsMargins(14, 4, 14, 0);
    platform::setRole(folder, QPalette::WindowText, Qt::white);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(picture);
    layout->addLayout(line);
    layout->addWidget(folder);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    for (QWidget* part : findChildren<QWidget*>()) {
        part->installEventFilter(this);
    }
}

bool InfoWindow::eventFilter(QObject* watched, QEvent* event) {
    // A part that takes the press itself (the folder line) would keep the window open.
    if (event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void InfoWindow::mousePressEvent(QMouseEvent* event) {
    QDialog::mousePressEvent(event);
    close();
}

}  // namespace veltro::mainwindow
