#include "mainwindow/Program.h"

#include "base/Failure.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/SplashWindow.h"
#include "platform/Platform.h"
#include "store/BusyTimeouts.h"
#include "store/Compaction.h"
#include "store/DataDirectory.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"

#include <sqlite3.h>

#include <QApplication>
#include <QEventLoopLocker>
#include <QTimer>

namespace veltro::mainwindow {

namespace {

// Compacts the store when worthwhile, as the load step would, then reads the card list.
// Any failure is left to the load step, which reads again and tells the user.
std::optional<store::CardIndex> readCardIndex(const std::filesystem::path& directory) {
    try {
        store::DatenbankKomprimieren(directory);
        auto store = store::CardStore::open(directory / store::kStoreFileName);
        store::CardIndex index;
        index.load(store);
        return index;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

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
    const store::DataFolder folder = store::dataFolder();
    const auto& directory = folder.path;
    if (folder.kind == store::DataFolderKind::UserFolder) {
        std::error_code ignored;  // a folder that cannot be made shows as a lock problem
        std::filesystem::create_directories(directory, ignored);
    }
    lock_.emplace(store::WriterLock::tryAcquire(directory));
    if (!lock_->held()) {
        const QString dropHint =
            openFile_.isEmpty()
                ? QString()
                : QStringLiteral(
                      "\nZiehen Sie die Datei „%1“ auf das geöffnete Fenster, um sie "
                      "zu importieren.")
                      .arg(openFile_);
        const QString text =
            lock_->state() == store::WriterLock::State::InUse
                ? QStringLiteral("Die Anwendung wird bereits ausgeführt.") + dropHint
                : QStringLiteral(
                      "Die Kartei in %1 lässt sich nicht sperren: %2\nVeltro "
                      "Adressbuch braucht Schreibrechte im Verzeichnis der Kartei.")
                      .arg(QString::fromStdString(directory.string()), lock_->problem());
        platform::current().message({text, QStringLiteral("Veltro Adressbuch"),
                                     platform::Buttons::Ok, platform::Icon::None, 0});
        exitStatus_ = 1;
        return false;
    }
    if (!prepareFirstStart(folder) || !storeFree(directory)) {
        return false;
    }
    // The card list is read while the splash window shows.
    preload_ = std::async(std::launch::async, [directory] { return readCardIndex(directory); });
    splash_ = new SplashWindow([this] { openMainWindow(); });
    splash_->setAttribute(Qt::WA_DeleteOnClose);
    splash_->start();
    return true;
}

// Another program writing the store is told within the usual wait, before the splash and
// the reading of the cards would each wait for it again.
bool Program::storeFree(const std::filesystem::path& directory) {
    try {
        auto db = store::Database::open(directory / store::kStoreFileName);
        db.setBusyTimeout(store::busyTimeoutMs());
        db.exec("BEGIN IMMEDIATE");
        db.exec("ROLLBACK");
        return true;
    } catch (const store::StoreError& e) {
        if ((e.code() & 0xFF) != SQLITE_BUSY && (e.code() & 0xFF) != SQLITE_LOCKED) {
            return true;  // anything else is told by the load step, with its reason
        }
        platform::current().message(
            {QStringLiteral("Die Kartei %1 lässt sich nicht öffnen.\n%2")
                 .arg(QString::fromStdString((directory / store::kStoreFileName).string()),
                      store::germanReason(e)),
             QStringLiteral("Veltro Adressbuch"), platform::Buttons::Ok, platform::Icon::None, 0});
        exitStatus_ = 1;
        return false;
    }
}

bool Program::prepareFirstStart(const store::DataFolder& folder) {
    try {
        store::createStoreOnFirstStart(folder);
        return true;
    } catch (...) {
        platform::current().message(
            {QStringLiteral("Die neue Kartei in %1 lässt sich nicht anlegen.\n%2")
                 .arg(QString::fromStdString(folder.path.string()),
                      describeFailure(std::current_exception()).text),
             QStringLiteral("Veltro Adressbuch"), platform::Buttons::Ok, platform::Icon::None, 0});
        exitStatus_ = 1;
        return false;
    }
}

void Program::openMainWindow() {
    main_ = new MainWindow();
    main_->setAttribute(Qt::WA_DeleteOnClose);
    main_->setPreloadedIndex(std::move(preload_));
    // The splash stays above every window; a message under it could not be seen. While
    // no window is shown, closing it must not end the program before the message is read.
    const QEventLoopLocker keepRunning;
    connect(main_, &MainWindow::loadFailing, this, [this] {
        if (splash_ != nullptr) {
            splash_->close();
        }
    });
    if (!main_->Form_Load()) {
        exitStatus_ = 1;
        delete main_.data();
        QApplication::exit(exitStatus_);
        return;
    }
    main_->show();
    if (!openFile_.isEmpty()) {
        QTimer::singleShot(0, main_, [window = main_, path = openFile_] {
            if (window) {
                window->openVcardFile(path);
            }
        });
    }
    Q_EMIT mainWindowLoaded();
}

}  // namespace veltro::mainwindow
