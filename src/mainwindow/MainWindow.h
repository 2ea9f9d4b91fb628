#pragma once

#include "backup/BackupSchedule.h"
#include "labels/CardSet.h"
#include "mainwindow/FieldTable.h"
#include "mainwindow/MainWindowUi.h"
#include "printing/PrintCommand.h"
#include "printing/PrintData.h"
#include "session/Session.h"
#include "store/CardIndex.h"
#include "store/CardStore.h"
#include "store/ComingDates.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>

class QMimeData;

#include <functional>

#include <cstdint>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>

namespace veltro::options {
class OptionsDialog;
}

namespace veltro::printing {
class PrintController;
}

namespace veltro::richtext {
class CommandBars;
class FormattingBar;
}  // namespace veltro::richtext

namespace veltro::sync {
class SyncDialog;
}

namespace veltro::mainwindow {

class CaptionContrast;
class CardCommands;
class CardEditor;
class CardList;
class CategoryCommands;
class DuplicateCommands;
class MainSearchHost;
class MainImportHost;
class MainSyncHost;
class MainMenus;
class UndoCommands;

// Form1: the card file's main window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens the store and fills the window. False when the store cannot be opened;
    // the user has then seen the engine's error text.
    bool Form_Load();
    // A card index being read on another thread while the splash window shows: the load
    // step waits for it instead of reading the store itself.
    void setPreloadedIndex(std::future<std::optional<store::CardIndex>> index) {
        preloaded_ = std::move(index);
    }

    // Handlers, named after the widget and event they serve.
    void Combo1_Click();
    void Text1_Change();
    void Text1_KeyUp();
    void List1_Click();
    void VolltextSuchen();
    // The cards whose searched text holds `text`, further numbers and addresses included,
    // after saving the shown card; for the search window, where no heading holds a number.
    void findCardsHolding(const QString& text);
    void Command2_Click();
    void EingabefelderEinschalten();
    void ImportCommand1();
    // After work that read the indexes again: the list from the first card of every category.
    void showReloadedCards();
    void KeineKarteAnzeigen();
    // Card and category commands.
    void mnuNeuekarte();
    void Command1_Click();
    void mnukarteRen();
    void Command3_Click();
    void mnukarteloschen();
    void mnuKarteKategorie();
    // The selected card to the clipboard as a vCard, for mail programs and phones.
    void copyCardAsVcard();
    // Imports a vCard file into the shown category, after a question.
    void importVcard(const QString& path);
    // Datei → "Sicherung wiederherstellen...".
    void mnuSicherungWiederherstellen();
    // A vCard file the program was started with: imported into the shown category, or into
    // the one the user chooses next when "-Alle-" shows.
    void openVcardFile(const QString& path);
    void mnuNeueKategorie();
    void mnuKategorieUmbenennen();
    void mnuKategorieLoschen();
    void Text19_Confirm();
    void Command4_Click();

    // The exit step: keep, discard or cancel the run's changes. False cancels closing.
    bool Form_QueryUnload();
    // Ends the run without the exit question, keeping its changes (a termination signal).
    void endRunKeeping();
    // The desktop session is about to end: nothing typed may stay unsaved.
    void commitDataForSession();
    // What was typed into a card by the last run and never saved, offered back.
    void offerPendingEdit();
    // Before the store is written: a backup, where one is due.
    void backUpBefore(backup::Occasion occasion) { session_->beforeChange(occasion); }
    [[nodiscard]] bool importRunning() const {
        return session_->state() == session::RunState::Importing;
    }
    // The sync window, made hidden on first use.
    sync::SyncDialog& syncDialog();
    // For tests: runs after each statement of the discard.
    void setDiscardStepHook(std::function<void(int)> hook) { discardStepHook_ = std::move(hook); }

    // State other windows and tests read.
    [[nodiscard]] const MainWindowUi& ui() const { return ui_; }
    [[nodiscard]] const MainMenus& menus() const { return *menus_; }
    [[nodiscard]] richtext::CommandBars& bars() const { return *bars_; }
    [[nodiscard]] session::Session& session() const { return *session_; }
    [[nodiscard]] store::CardStore* cardStore() { return session_->storeIfOpen(); }
    [[nodiscard]] const std::filesystem::path& storeDirectory() const {
        return session_->directory();
    }
    [[nodiscard]] std::optional<std::int64_t> shownCardId() const;
    [[nodiscard]] CardEditor& editor() const { return *editor_; }
    [[nodiscard]] DuplicateCommands& duplicateCommands() const { return *duplicates_; }
    [[nodiscard]] session::Backups& backups() const { return session_->backups(); }
    [[nodiscard]] bool changeFlag() const { return session_->changed(); }
    void setChangeFlag() { session_->markChanged(); }
    [[nodiscard]] bool fullTextArmed() const { return fullTextArmed_; }
    // The options dialog, loaded hidden on first use; it holds the current settings.
    options::OptionsDialog& optionsDialog();

    static QString windowTitleText();

Q_SIGNALS:
    // A full-text search has filled the list; `complete` is false while the index is
    // still being built and only the cards read so far were searched.
    void fullTextShown(bool complete);
    // The full-text index has read every card of the store.
    void fullTextReady();
    // The store cannot be opened; the message saying so comes next. Whatever stands in
    // front of the desktop (the splash window) must go before it.
    void loadFailing();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool filterEvent(QObject* watched, QEvent* event);
    [[nodiscard]] static QString droppedVcard(const QMimeData& data);
    void importPendingVcard();
    // Runs a user command: the shown card's edit is written first, and a store error
    // becomes a German message instead of reaching the event loop.
    void runCommand(const QString& name, const std::function<void()>& command);
    bool guarded(const QString& name, const std::function<void()>& command);
    void connectEntry(const char* entry, const std::function<void()>& command);
    void connectHandlers();
    void connectMenus();
    void connectExtras();
    void takePhoto(const QByteArray& bytes);
    void choosePhoto();
    void showOwnAddressOnMap();
    void connectUndo();
    void putBackupInPlace(const std::filesystem::path& backupFile);
    void backupPutInPlace(const std::filesystem::path& replaced, const QString& problem);
    static constexpr int kRestoreNoteShownMs = 30000;
    void List1_MouseDown(const QPoint& position);
    void installFilters();
    void restoreWindow();
    void applySettings();
    void Form_Unload();
    void closeOtherWindows();
    void tellKeptForNextStart(const std::optional<QString>& failure);
    bool confirmTypedCategory();
    // While long work writes, the window takes no input.
    void followRunState(session::RunState state);
    [[nodiscard]] QString exitQuestion() const;
    void connectPrinting();
    void connectLabelCommands();
    void connectBirthdays();
    void openBirthdays(std::vector<store::CardDate> dates, int days);
    void showBirthdaysAtStart();
    // Cards for labels, envelopes, lists and serial letters, the shown one as typed.
    [[nodiscard]] std::vector<store::Card> loadCards(const std::vector<std::int64_t>& ids);
    [[nodiscard]] labels::CardSet categoryCards();
    [[nodiscard]] labels::CardSet listedCards();
    [[nodiscard]] labels::CardSet shownCard();
    void exportSerialLetterData();
    void connectBars();
    void connectEditCommands();
    void deleteCommand();
    void tbrEnde();
    bool blockMenuEvent(QObject* watched, QEvent* event);
    void openSearchWindow();
    // Brings an open window to the front; false when it is not open.
    static bool toFront(QWidget* window);
    void mnuEmailInternet();
    [[nodiscard]] printing::PrintData printData();
    // False when the text is no valid pattern; the list is left as it was then.
    bool showFullTextHits(const QString& text);
    [[nodiscard]] store::Card shownCardForPrint() const;
    [[nodiscard]] printing::FocusedWidget focusedForPrint() const;
    bool categoryInputEvent(QEvent* event);
    [[nodiscard]] int fieldBoxNumber(const QObject* watched) const;
    void discardOrKeep(bool keep);
    bool tryDiscard();
    bool handleListKey(QKeyEvent* event);
    bool handleSearchKey(QLineEdit* box, QKeyEvent* event);
    void Label8_Press();
    void Label8_Release();
    void Text16_GotFocus();
    void fullTextBuilt();
    void startFullTextBuild();
    void cancelFullTextBuild();
    void fullTextChanged(std::int64_t id);

    MainWindowUi ui_;
    std::unique_ptr<session::Session> session_;
    std::unique_ptr<MainSearchHost> searchHost_;
    std::unique_ptr<MainImportHost> importHost_;
    std::unique_ptr<MainSyncHost> syncHost_;
    sync::SyncDialog* syncDialog_ = nullptr;  // child window
    std::unique_ptr<printing::PrintController> printer_;
    std::unique_ptr<MainMenus> menus_;
    std::future<std::optional<store::CardIndex>> preloaded_;
    std::unique_ptr<CardList> list_;
    std::unique_ptr<CardCommands> cards_;
    std::unique_ptr<CategoryCommands> categories_;
    std::unique_ptr<DuplicateCommands> duplicates_;
    std::unique_ptr<UndoCommands> undo_;
    CardEditor* editor_ = nullptr;         // child object
    CaptionContrast* contrast_ = nullptr;  // child object
    bool storeLoaded_ = false;
    bool fullTextArmed_ = false;
    bool fullTextPartial_ = false;  // the list shows full-text hits of a build not yet done
    bool listTopArmed_ = false;
    int arrowCounter_ = 0;
    bool closeAfterImport_ = false;
    bool confirmingCategory_ = false;
    QString pendingVcard_;
    std::function<void(int)> discardStepHook_;
    options::OptionsDialog* options_ = nullptr;  // child window
    // One export and one import at a time.
    QPointer<QDialog> exportDialog_;
    QPointer<QDialog> importDialog_;
    QPointer<QDialog> birthdays_;
    richtext::CommandBars* bars_ = nullptr;  // child object
    richtext::FormattingBar* formatting_ = nullptr;
};

}  // namespace veltro::mainwindow
