#include "platform/HelpWindow.h"
#include "platform/HelpKey.h"

#include "platform/Placement.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace veltro::platform {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Hilfe – Veltro Adressbuch"));
    platform::setHelpPage(*this, QStringLiteral("index.html"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* back = new QPushButton(QStringLiteral("&Zurück"), this);
    back->setObjectName(QStringLiteral("cmdZurueck"));
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    auto* home = new QPushButton(QStringLiteral("&Startseite"), this);
    home->setObjectName(QStringLiteral("cmdStartseite"));
    auto* buttons = new QHBoxLayout();
    buttons->setContentsMargins(6, 6, 6, 0);
    buttons->addWidget(back);
    buttons->addWidget(home);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
    browser_->setObjectName(QStringLiteral("Seite"));
    browser_->setAccessibleName(QStringLiteral("Hilfeseite"));
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({QStringLiteral(":/help")});
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(home, &QPushButton::clicked, this, [] { showPage(QStringLiteral("index.html")); });
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
