#include "mainwindow/MainMenus.h"

#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace veltro::mainwindow {

MainMenus::MainMenus(QMainWindow& window) : window_(window) {
    window_.menuBar()->setAccessibleName(QStringLiteral("Menüleiste"));
    buildBarMenus();
    buildPopups();
    setShortcuts();
}

void MainMenus::setShortcuts() {
    // The desktop's usual keys. Keys a text box uses itself (Entf, Strg+Z …) stay the box's
    // while it has the focus: it claims them before any shortcut.
    const struct {
        const char* entry;
        QKeySequence keys;
    } keys[] = {
        {"mnuNeuekarte", QKeySequence::New},
        {"mnukarteRen", QKeySequence(Qt::Key_F2)},
        {"mnukarteloschen", QKeySequence(Qt::Key_Delete)},
        {"mnuDruckGesamt", QKeySequence::Print},
        {"mnuBeenden", QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {"mnuNeueKategorie", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N)},
        {"mnuSuchfeld", QKeySequence::Find},
        {"mnuVolltextfeld", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F)},
        {"mnuHilfe", QKeySequence(Qt::Key_F1)},
        {"mnuWeitereAngaben", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A)},
    };
    for (const auto& [entry, sequence] : keys) {
        action(QString::fromUtf8(entry))->setShortcut(sequence);
    }
}

QAction* MainMenus::action(const QString& name) const {
    return actions_.value(name);
}

QMenu* MainMenus::menu(const QString& name) const {
    return menus_.value(name);
}

QMenu* MainMenus::addMenu(QMenu* parent, const char* name, const QString& text) {
    QMenu* menu = parent != nullptr ? parent->addMenu(text) : window_.menuBar()->addMenu(text);
    menu->setObjectName(QLatin1String(name));
    // What a screen reader calls the open menu.
    menu->setWindowTitle(QString(text).remove(u'&'));
    menu->menuAction()->setObjectName(QLatin1String(name));
    menus_.insert(QLatin1String(name), menu);
    return menu;
}

QAction* MainMenus::addEntry(QMenu* menu, const char* name, const QString& text) {
    QAction* entry = menu->addAction(text);
    entry->setObjectName(QString::fromUtf8(name));
    actions_.insert(QString::fromUtf8(name), entry);
    return entry;
}

void MainMenus::buildFileMenu(QMenu* file) {
    addEntry(file, "mnuExportieren", QStringLiteral("&Exportieren..."));
    addEntry(file, "mnuImportieren", QStringLiteral("&Importieren..."));
    addEntry(file, "mnuSicherungWiederherstellen", QStringLiteral("Sicherung &wiederherstellen…"));
    addEntry(file, "mnuSerienbrief", QStringLiteral("&Serienbrief-Daten exportieren…"));
    file->addSeparator();
    QMenu* print = addMenu(file, "mnuDrucken", QStringLiteral("&Drucken"));
    addEntry(print, "mnuDruckAnschrift", QStringLiteral("&Anschrift"));
    addEntry(print, "mnuDruckNotizen", QStringLiteral("&Notizen"));
    addEntry(print, "mnuDruckEingabefelder", QStringLiteral("&Eingabefelder"));
    print->addSeparator();
    addEntry(print, "mnuDruckGesamt2", QStringLiteral("&Karte drucken"));
    print->addSeparator();
    addEntry(print, "mnuSeitenansicht", QStringLiteral("&Seitenansicht..."));
    addEntry(file, "mnuEtiketten", QStringLiteral("Etike&tten drucken…"));
    addEntry(file, "mnuUmschlag", QStringLiteral("&Umschlag drucken…"));
    addEntry(file, "mnuListeDrucken", QStringLiteral("&Liste drucken…"));
    addEntry(file, "mnuDruckerAuswaehlen", QStringLiteral("Drucker ein&richten..."));
    file->addSeparator();
    addEntry(file, "mnuBeenden", QStringLiteral("&Beenden"));
}

void MainMenus::buildBarMenus() {
    buildFileMenu(addMenu(nullptr, "tempDatei", QStringLiteral("&Datei")));

    QMenu* edit = addMenu(nullptr, "mnuBearbeiten", QStringLiteral("&Bearbeiten"));
    // Inside a text box the keys keep their meaning there: a box takes them first.
    addEntry(edit, "mnuRueckgaengig", QStringLiteral("&Rückgängig"))
        ->setShortcut(QKeySequence::Undo);
    addEntry(edit, "mnuWiederholen", QStringLiteral("&Wiederholen"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    edit->addSeparator();
    addEntry(edit, "mnuCut", QStringLiteral("Aus&schneiden"));
    addEntry(edit, "mnukopieren", QStringLiteral("&Kopieren"));
    addEntry(edit, "mnueinfügen", QStringLiteral("&Einfügen"));
    addEntry(edit, "mnulöschen", QStringLiteral("&Löschen"));
    edit->addSeparator();
    addEntry(edit, "mnuCopyNotizen", QStringLiteral("&Notizen kopieren"));
    addEntry(edit, "mnuCopyAnschrift", QStringLiteral("&Anschrift kopieren"));
    edit->addSeparator();
    addEntry(edit, "mnuSuchfeld", QStringLiteral("S&uchen"));
    addEntry(edit, "mnuVolltextfeld", QStringLiteral("&Volltextsuche"));

    QMenu* category = addMenu(nullptr, "tmpKategorie", QStringLiteral("Kateg&orie"));
    addEntry(category, "mnuNeueKategorie", QStringLiteral("&Neu..."));
    addEntry(category, "mnuKategorieUmbenennen", QStringLiteral("&Umbenennen..."));
    addEntry(category, "mnuKategorieLoschen", QStringLiteral("&Löschen..."));

    QMenu* card = addMenu(nullptr, "mnuKarte", QStringLiteral("&Karte"));
    addEntry(card, "mnuNeuekarte", QStringLiteral("&Neue Karte/Adresse..."));
    addEntry(card, "mnukarteRen", QStringLiteral("&Umbenennen..."));
    addEntry(card, "mnukarteloschen", QStringLiteral("&Löschen..."));
    card->addSeparator();
    addEntry(card, "mnuDruckGesamt", QStringLiteral("Karte &drucken..."));
    addEntry(card, "mnuAlsVcardKopieren", QStringLiteral("Als &vCard kopieren"));
    addEntry(card, "mnuWeitereAngaben", QStringLiteral("&Weitere Angaben"));
    card->addSeparator();
    addEntry(card, "mnuKarteKategorie", QStringLiteral("&Andere Kategorie zuweisen..."));

    QMenu* extras = addMenu(nullptr, "mnuExtras", QStringLiteral("&Extras"));
    addEntry(extras, "mnuEingabefenster", QStringLiteral("&Suchfenster einblenden"));
    extras->addSeparator();
    addEntry(extras, "mnuEmailInternet", QStringLiteral("Adresse mit eMail / Internet verbinden"));
    extras->addSeparator();
    addEntry(extras, "mnuDoppelteKarten", QStringLiteral("&Doppelte Karten suchen…"));
    addEntry(extras, "mnuGeburtstage", QStringLiteral("&Geburtstage…"));
    extras->addSeparator();
    addEntry(extras, "mnuSynchronisieren", QStringLiteral("S&ynchronisieren…"));
    addEntry(extras, "mnuOptionen", QStringLiteral("&Optionen"));

    QMenu* help = addMenu(nullptr, "temp1621", QStringLiteral("&?"));
    addEntry(help, "mnuHilfe", QStringLiteral("&Hilfe"));
    addEntry(help, "ErsteSchritteDialog", QStringLiteral("&Erste Schritte"));
    help->addSeparator();
    addEntry(help, "mnuInfo", QStringLiteral("&Info"));
}

void MainMenus::buildPopups() {
    // Shown only as context menus of the two blocks, never in the menu bar.
    auto* popups = new QMenu(QStringLiteral("PopUp"), &window_);
    popups->setObjectName(QStringLiteral("PopPopUp"));
    menus_.insert(QStringLiteral("PopPopUp"), popups);

    QMenu* address = addMenu(popups, "popAdresse", QStringLiteral("Adresse"));
    addEntry(address, "popAAusschneiden", QStringLiteral("Ausschneiden"));
    addEntry(address, "PopAKopieren", QStringLiteral("Kopieren"));
    addEntry(address, "PopAEinfügen", QStringLiteral("Einfügen"));
    addEntry(address, "PopALöschen", QStringLiteral("Löschen"));
    address->addSeparator();
    addEntry(address, "popaAnschriftKopieren", QStringLiteral("Anschrift kopieren"));
    addEntry(address, "popaDrucken", QStringLiteral("Anschrift drucken"));
    addEntry(address, "popaAufKarte", QStringLiteral("Auf Karte zeigen"));
    address->addSeparator();
    addEntry(address, "popaformatieren", QStringLiteral("Text formatieren..."));

    QMenu* notes = addMenu(popups, "popNotizen", QStringLiteral("Notizen"));
    addEntry(notes, "PopNAusschneiden", QStringLiteral("Ausschneiden"));
    addEntry(notes, "popnKopieren", QStringLiteral("Kopieren"));
    addEntry(notes, "popnEinfügen", QStringLiteral("Einfügen"));
    addEntry(notes, "popnLöschen", QStringLiteral("Löschen"));
    notes->addSeparator();
    addEntry(notes, "popnNotizenKopieren", QStringLiteral("Notizen kopieren"));
    addEntry(notes, "popnDrucken", QStringLiteral("Notizen drucken"));
    notes->addSeparator();
    addEntry(notes, "popnFormatieren", QStringLiteral("Text formatieren..."));
}

}  // namespace veltro::mainwindow
