#include "mainwindow/MainWindow.h"

#include "export/ExportDialog.h"
#include "import/ImportDialog.h"
#include "maintenance/FirstStepsDialog.h"
#include "maintenance/LaunchCommand.h"
#include "mainwindow/CaptionContrast.h"
#include "mainwindow/CardCommands.h"
#include "mainwindow/CardEditor.h"
#include "mainwindow/CardList.h"
#include "mainwindow/CardListModel.h"
#include "mainwindow/CategoryCommands.h"
#include "mainwindow/ClickLabel.h"
#include "mainwindow/DuplicateCommands.h"
#include "mainwindow/InfoWindow.h"
#include "mainwindow/MainImportHost.h"
#include "mainwindow/MainMenus.h"
#include "mainwindow/MainSearchHost.h"
#include "mainwindow/MainSyncHost.h"
#include "mainwindow/MainWindowLayout.h"
#include "mainwindow/StoreGuard.h"
#include "mainwindow/UndoCommands.h"
#include "options/OptionsDialog.h"
#include "platform/AccessibleNames.h"
#include "platform/HelpKey.h"
#include "platform/Platform.h"
#include "platform/ProgramIcon.h"
#include "platform/TextBoxKeys.h"
#include "platform/WidgetTools.h"
#include "printing/PrintController.h"
#include "richtext/RichTextBlock.h"
#include "search/SearchWindow.h"
#include "store/BusyTimeouts.h"
#include "store/StoreError.h"
#include "sync/SyncDialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

namespace veltro::mainwindow {

namespace {

constexpr quint32 kRed = 255;  // 0x00BBGGRR
constexpr quint32 kGreen = 49152;
constexpr int kNoteShownMs = 5000;
constexpr int kFailureShownMs = 30000;

void setTextColour(QLabel* label, quint32 bgr) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, platform::fromBgr(bgr));
    label->setPalette(palette);
}

}  // namespace

QString MainWindow::windowTitleText() {
    return QStringLiteral("Veltro Adressbuch   V%1.%2.%3")
        .arg(VELTRO_VERSION_MAJOR)
        .arg(VELTRO_VERSION_MINOR)
        .arg(VELTRO_VERSION_PATCH);
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(windowTitleText());
    setWindowIcon(platform::programIcon());
    buildMainWindowUi(*this, ui_);
    session_ = std::make_unique<session::Session>(session::Session::Notices{
        [this](const QString& text, bool failed) {
            // A routine copy does not push away what the bar tells about the user's work.
            if (failed) {
                ui_.StatusBar1->showMessage(text, kFailureShownMs);
            } else if (ui_.StatusBar1->currentMessage().isEmpty()) {
                ui_.StatusBar1->showMessage(text, kNoteShownMs);
            }
        },
        [this] { fullTextBuilt(); }, [this](session::RunState state) { followRunState(state); }});
    std::vector<QLabel*> coloured{ui_.Label8};
    for (const int number : {1, 2, 3, 4, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}) {
        coloured.push_back(ui_.label.at(number));
    }
    contrast_ = new CaptionContrast(*ui_.Picture1, *ui_.Image2, {ui_.label[5], ui_.label[6]},
                                    std::move(coloured));
    menus_ = std::make_unique<MainMenus>(*this);
    searchHost_ = std::make_unique<MainSearchHost>(*this);
    importHost_ = std::make_unique<MainImportHost>(*this);
    syncHost_ = std::make_unique<MainSyncHost>(*this);
    editor_ = new CardEditor(
        ui_,
        {[this] { session_->markChanged(); }, [this](std::int64_t id) { fullTextChanged(id); },
         [this](std::int64_t id) {
             const auto row = list_->index().positionOf(id);
             return row ? list_->index().heading(*row) : QString();
         },
         [this] { backUpBefore(backup::Occasion::Change); },
         [this] { return categories_ && categories_->inputShown(); }},
        this);
    list_ = std::make_unique<CardList>(ui_, *editor_, *session_, this);
    const CommandContext commands{ui_, *editor_, *list_, *session_, this};
    cards_ = std::make_unique<CardCommands>(commands);
    categories_ = std::make_unique<CategoryCommands>(commands);
    duplicates_ = std::make_unique<DuplicateCommands>(commands);
    undo_ =
        std::make_unique<UndoCommands>(commands, menus_->action(QStringLiteral("mnuRueckgaengig")),
                                       menus_->action(QStringLiteral("mnuWiederholen")));
    ui_.List1->setModel(&list_->model());
    resize(960, 700);
    setAcceptDrops(true);
    connectHandlers();
    connectMenus();
    connectExtras();
    connectUndo();
    connectPrinting();
    connectLabelCommands();
    connectBirthdays();
    connectBars();
    connectEditCommands();
    installFilters();
    platform::keepEditingKeysInTextBoxes();
    platform::nameUnnamedWidgets();
    platform::setHelpPage(*this, QStringLiteral("hauptfenster.html"));
    // Red from the start, as after any mouse move: seen on light and dark pictures alike.
    setTextColour(ui_.Label8, kRed);
    new MainWindowLayout(*this, ui_);  // child of the window
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { commitDataForSession(); });
}

bool MainWindow::guarded(const QString& name, const std::function<void()>& command) {
    return runGuarded(name, command);
}

void MainWindow::runCommand(const QString& name, const std::function<void()>& command) {
    if (editor_->commit()) {
        guarded(name, command);
    }
    undo_->refresh();
}

void MainWindow::connectUndo() {
    // The keys reach the entries while an import writes, though the menus are off.
    connectEntry("mnuRueckgaengig", [this] {
        if (!importRunning()) {
            undo_->undo();
        }
    });
    connectEntry("mnuWiederholen", [this] {
        if (!importRunning()) {
            undo_->redo();
        }
    });
    connect(menus_->menu(QStringLiteral("mnuBearbeiten")), &QMenu::aboutToShow, this,
            [this] { undo_->refresh(); });
}

void MainWindow::connectEntry(const char* entry, const std::function<void()>& command) {
    QAction* action = menus_->action(QString::fromUtf8(entry));
    connect(action, &QAction::triggered, this, [this, action, command] {
        runCommand(action->text().remove(u'&').remove(QStringLiteral("...")).remove(u'…'), command);
    });
}

void MainWindow::connectMenus() {
    const auto on = [this](const char* name, const std::function<void()>& handler) {
        connectEntry(name, handler);
    };
    on("mnuBeenden", [this] { close(); });
    on("mnuExportieren", [this] {
        if (!toFront(exportDialog_) && session_->isOpen()) {
            exportDialog_ = exporting::ExportDialog::showNew(*session_, this);
        }
    });
    on("mnuSicherungWiederherstellen", [this] { mnuSicherungWiederherstellen(); });
    on("mnuNeuekarte", [this] { mnuNeuekarte(); });
    on("mnukarteRen", [this] { mnukarteRen(); });
    on("mnuDoppelteKarten", [this] { duplicates_->open(); });
    on("mnukarteloschen", [this] { mnukarteloschen(); });
    on("mnuKarteKategorie", [this] { mnuKarteKategorie(); });
    on("mnuAlsVcardKopieren", [this] { copyCardAsVcard(); });
    on("mnuNeueKategorie", [this] { mnuNeueKategorie(); });
    on("mnuKategorieUmbenennen", [this] { mnuKategorieUmbenennen(); });
    on("mnuKategorieLoschen", [this] { mnuKategorieLoschen(); });
    on("mnuInfo", [this] { InfoWindow::open(this); });
    on("mnuEingabefenster", [this] { openSearchWindow(); });
    on("mnuEmailInternet", [this] { mnuEmailInternet(); });
    on("mnuHilfe", [] { platform::current().showHelp({}); });
    on("ErsteSchritteDialog", [this] { maintenance::FirstStepsDialog::open(this); });
    on("mnuOptionen", [this] { optionsDialog().showOptions(); });
    on("mnuSynchronisieren", [this] {
        if (session_->isOpen()) {
            syncDialog().showDialog();
        }
    });
    on("mnuImportieren", [this] {
        if (!toFront(importDialog_) && session_->isOpen()) {
            importDialog_ = import::ImportDialog::open(*importHost_, this);
        }
    });
    on("mnuSuchfeld", [this] {
        ui_.Text1->setFocus(Qt::ShortcutFocusReason);
        ui_.Text1->selectAll();
    });
    on("mnuVolltextfeld", [this] {
        // Chosen on purpose, as a click into the field is: the search is armed.
        fullTextArmed_ = true;
        ui_.Text16->setFocus(Qt::ShortcutFocusReason);
        ui_.Text16->selectAll();
    });
}

sync::SyncDialog& MainWindow::syncDialog() {
    if (syncDialog_ == nullptr) {
        syncDialog_ = new sync::SyncDialog(*syncHost_, this);
        syncDialog_->setWindowFlag(Qt::Window);
    }
    return *syncDialog_;
}

bool MainWindow::toFront(QWidget* window) {
    if (window == nullptr || !window->isVisible()) {
        return false;
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
    return true;
}

void MainWindow::openSearchWindow() {
    if (editor_->commit()) {
        search::SearchWindow::open(*searchHost_);
    }
}

void MainWindow::mnuEmailInternet() {
    using maintenance::LaunchSource;
    const QWidget* focused = focusWidget();
    if (focused == ui_.RichTextBox2) {
        maintenance::launchMailOrWeb(LaunchSource::NotesBlock,
                                     ui_.RichTextBox2->textCursor().selectedText());
    } else if (focused == ui_.RichTextBox1) {
        maintenance::launchMailOrWeb(LaunchSource::AddressBlock,
                                     ui_.RichTextBox1->textCursor().selectedText());
    } else if (focused == ui_.box(15)) {
        maintenance::launchMailOrWeb(LaunchSource::WebBox, ui_.box(15)->text());
    } else if (focused == ui_.box(17)) {
        maintenance::launchMailOrWeb(LaunchSource::MailBox, ui_.box(17)->text());
    }
}

void MainWindow::List1_MouseDown(const QPoint& position) {
    // The card menu opens even over an empty list.
    menus_->menu(QStringLiteral("mnuKarte"))->popup(ui_.List1->viewport()->mapToGlobal(position));
}

MainWindow::~MainWindow() {
    // The search window holds on to the host; it goes first.
    if (auto* window = search::SearchWindow::current()) {
        window->close();
        delete window;
    }
    cancelFullTextBuild();
}

void MainWindow::connectHandlers() {
    connect(ui_.Combo1, &QComboBox::activated, this, [this] {
        guarded(QStringLiteral("Kategorie wählen"), [this] { Combo1_Click(); });
        importPendingVcard();
    });
    connect(ui_.Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(ui_.Text16, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty()) {
            guarded(QStringLiteral("Volltextsuche"), [this] { VolltextSuchen(); });
        }
    });
    connect(ui_.List1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { List1_Click(); });
    connect(ui_.Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(ui_.Command1, &QPushButton::clicked, this,
            [this] { runCommand(QStringLiteral("Neue Karte"), [this] { Command1_Click(); }); });
    connect(ui_.Command3, &QPushButton::clicked, this,
            [this] { runCommand(QStringLiteral("Karte löschen"), [this] { Command3_Click(); }); });
    connect(ui_.List1, &QAbstractItemView::doubleClicked, this,
            [this] { runCommand(QStringLiteral("Karte umbenennen"), [this] { mnukarteRen(); }); });
    connect(ui_.List1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { List1_MouseDown(position); });
    connect(ui_.Label8, &ClickLabel::pressed, this, [this] { Label8_Press(); });
    connect(ui_.Label8, &ClickLabel::released, this, [this] { Label8_Release(); });
}

void MainWindow::installFilters() {
    for (const FieldBox& field : fieldTable()) {
        ui_.box(field.number)->installEventFilter(this);
    }
    for (QObject* watched : std::initializer_list<QObject*>{
             ui_.List1, ui_.List1->viewport(), ui_.Text1, ui_.Text16, ui_.RichTextBox1,
             ui_.RichTextBox2, ui_.Picture1, ui_.Image2}) {
        watched->installEventFilter(this);
    }
    ui_.Picture1->setMouseTracking(true);
    ui_.Text1->setMouseTracking(true);
}

int MainWindow::fieldBoxNumber(const QObject* watched) const {
    for (const FieldBox& field : fieldTable()) {
        if (ui_.box(field.number) == watched) {
            return field.number;
        }
    }
    return 0;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    bool used = false;
    guarded(QStringLiteral("Eingabe"), [&] { used = filterEvent(watched, event); });
    return used || QMainWindow::eventFilter(watched, event);
}

bool MainWindow::filterEvent(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (const int box = fieldBoxNumber(watched); box != 0) {
        return box == 19 ? categoryInputEvent(event) : editor_->boxEvent(box, event);
    }
    if (blockMenuEvent(watched, event)) {
        return true;
    }
    if (type == QEvent::FocusOut && (watched == ui_.RichTextBox1 || watched == ui_.RichTextBox2)) {
        Command2_Click();
    } else if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == ui_.List1) {
            return handleListKey(key);
        }
        if (watched == ui_.Text1 || watched == ui_.Text16) {
            return handleSearchKey(static_cast<QLineEdit*>(watched), key);
        }
    } else if (type == QEvent::KeyRelease && watched == ui_.Text1) {
        Text1_KeyUp();
    } else if (type == QEvent::FocusIn && watched == ui_.Text16) {
        Text16_GotFocus();
    } else if (type == QEvent::MouseButtonPress && watched == ui_.Text16) {
        fullTextArmed_ = true;
    } else if (type == QEvent::MouseMove) {
        if (watched == ui_.List1->viewport() || watched == ui_.List1) {
            ui_.Text6->setVisible(false);
        }
        if (watched != ui_.RichTextBox1 && watched != ui_.RichTextBox2) {
            setTextColour(ui_.Label8, kRed);
        }
    }
    return false;
}

bool MainWindow::handleListKey(QKeyEvent* event) {
    if (event->key() != Qt::Key_Up) {
        return false;
    }
    if (!listTopArmed_) {
        listTopArmed_ = true;
        return false;
    }
    if (list_->model().count() > 0 && ui_.List1->currentIndex().row() == 0) {
        ui_.Text1->setFocus();
        ui_.List1->setCurrentIndex(list_->model().index(0));
        listTopArmed_ = false;
        return true;
    }
    return false;
}

bool MainWindow::handleSearchKey(QLineEdit* box, QKeyEvent* event) {
    if (event->key() == Qt::Key_Down) {
        if (arrowCounter_ == 0) {
            arrowCounter_ = 1;
        } else {
            ui_.List1->setFocus();
            if (list_->model().count() > 0) {
                list_->selectFirstLine();
            }
            arrowCounter_ = 0;
        }
        return true;
    }
    if (box == ui_.Text16 && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        guarded(QStringLiteral("Volltextsuche"), [this] { VolltextSuchen(); });
        return true;  // no character, no beep
    }
    return false;
}

void MainWindow::Label8_Press() {
    ui_.Label8->setFrameShape(QFrame::Box);
    setTextColour(ui_.Label8, kGreen);
}

void MainWindow::Label8_Release() {
    ui_.Label8->setFrameShape(QFrame::NoFrame);
    setTextColour(ui_.Label8, kRed);
    if (!editor_->commit()) {
        return;
    }
    ui_.Text16->clear();
    ui_.Text1->clear();
    ui_.Text1->setFocus();
}

}  // namespace veltro::mainwindow
