#include "platform/HelpWindow.h"

#include "platform/Placement.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace veltro::platform {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Hilfe – Veltro Adressbuch"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({QStringLiteral(":/help")});
    resize(760, 620);
}

void HelpWindow::showPage(const QString& page) {
    static QPointer<HelpWindow> window;
    if (window == nullptr) {
        window = new HelpWindow();
        placeOver(*window, QApplication::activeWindow());
    }
    const QString name = page.isEmpty() ? QStringLiteral("index.html") : page;
    if (QFile::exists(QStringLiteral(":/help/") + name)) {
        window->browser_->setSource(QUrl(QStringLiteral("qrc:/help/") + name));
    } else {
        window->browser_->setHtml(
            QStringLiteral("<h2>Hilfe</h2><p>Zu diesem Thema gibt es keine Hilfeseite.</p>"));
    }
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace veltro::platform
