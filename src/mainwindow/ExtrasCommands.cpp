// The main window's side of the further details: the panel shown or hidden, the photo's
// commands and the map links.
#include "base/Error.h"
#include "base/SystemReason.h"
#include "maintenance/LaunchCommand.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/ExtrasPanel.h"
#include "mainwindow/MainMenus.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/PhotoBox.h"
#include "platform/Platform.h"
#include "richtext/RichTextBlock.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>

namespace veltro::mainwindow {

namespace key = settings::key;

void MainWindow::connectExtras() {
    QAction* toggle = menus_->action(QStringLiteral("mnuWeitereAngaben"));
    toggle->setCheckable(true);
    toggle->setChecked(settings::flag(key::WeitereAngaben));
    ui_.WeitereAngaben->setVisible(toggle->isChecked());
    // Only shown or hidden: nothing is saved by it, so it needs no command around it.
    connect(toggle, &QAction::toggled, this, [this](bool shown) {
        ui_.WeitereAngaben->setVisible(shown);
        guarded(QStringLiteral("Weitere Angaben"), [shown] {
            settings::write(key::WeitereAngaben, shown ? QStringLiteral("1") : QStringLiteral("0"));
        });
        if (shown) {
            ui_.extras->findChild<QLineEdit*>()->setFocus(Qt::ShortcutFocusReason);
        }
    });
    connectEntry("popaAufKarte", [this] { showOwnAddressOnMap(); });
    connect(ui_.extras, &ExtrasPanel::mapWanted, this, [this](const QString& address) {
        runCommand(QStringLiteral("Auf Karte zeigen"),
                   [&address] { maintenance::launchMapSearch(address); });
    });
    connect(ui_.Foto, &PhotoBox::offered, this, [this](const QByteArray& bytes) {
        runCommand(QStringLiteral("Foto einfügen"), [this, &bytes] { takePhoto(bytes); });
    });
    connect(ui_.Foto, &PhotoBox::chooseWanted, this,
            [this] { runCommand(QStringLiteral("Foto wählen"), [this] { choosePhoto(); }); });
    connect(ui_.Foto, &PhotoBox::removeWanted, this, [this] {
        runCommand(QStringLiteral("Foto entfernen"), [this] { editor_->writePhoto(std::nullopt); });
    });
}

void MainWindow::takePhoto(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        throw Error(Error::Kind::Input, QStringLiteral("Hier ist kein Bild, das ein Foto werden "
                                                       "könnte (PNG oder JPEG)."));
    }
    editor_->writePhoto(PhotoBox::checkedPhoto(bytes));
}

void MainWindow::choosePhoto() {
    if (!editor_->shownCardId()) {
        return;
    }
    const auto chosen = platform::current().openFile(
        {QStringLiteral("Foto wählen"),
         {QStringLiteral("Fotos (*.jpg *.jpeg *.png *.JPG *.JPEG *.PNG)"),
          QStringLiteral("Alle Dateien (*)")},
         0,
         {},
         {},
         false});
    if (!chosen) {
        return;
    }
    QFile file(chosen->path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(Error::Kind::File, QStringLiteral("Die Datei „%1“ lässt sich nicht lesen: %2")
                                           .arg(chosen->path, germanFileReason(file)));
    }
    // A file far beyond the limit is not read whole just to be refused.
    takePhoto(file.read(kLargestPhotoBytes + 1));
}

// The card's own address: its street, postcode and town fields, else the address block.
void MainWindow::showOwnAddressOnMap() {
    QString address =
        ui_.box(10)->text() + u'\n' + ui_.box(11)->text() + u' ' + ui_.box(12)->text();
    if (address.trimmed().isEmpty()) {
        address = ui_.RichTextBox1->toPlainText();
    }
    maintenance::launchMapSearch(address);
}

}  // namespace veltro::mainwindow
