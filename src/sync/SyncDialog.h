#pragma once

#include "session/Task.h"
#include "sync/DavClient.h"
#include "sync/PasswordStore.h"
#include "sync/SyncAccounts.h"
#include "sync/SyncError.h"
#include "sync/SyncHost.h"
#include "sync/SyncRun.h"

#include <QDialog>
#include <QTimer>

#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace veltro::sync {

// Extras → Synchronisieren…: the account, the address books found on the server each paired
// with a category, sync now or every few minutes, progress with cancel, and the report.
class SyncDialog : public QDialog {
public:
    SyncDialog(SyncHost& host, QWidget* parent);
    ~SyncDialog() override;

    // Shows the window with the pairings the store holds.
    void showDialog();
    // Syncs every ticked book; a timed sync reports only in the window.
    void syncNow(bool timed = false);
    void findBooks();
    // A search or a sync runs, or the password is being looked up.
    [[nodiscard]] bool running() const { return running_; }

private:
    void build();
    void loadPairings();
    void addBookRow(const QUrl& url, const QString& name, const QString& category, bool ticked);
    // `then` hears the typed or stored password, without waiting for the secret store.
    void withPassword(std::function<void(std::optional<QString>)> then);
    [[nodiscard]] std::vector<Pairing> tickedPairings();
    // Asks whether to trust the server's certificate; its fingerprint when the user does.
    [[nodiscard]] std::optional<QString> askTrust(const SyncError& error);
    void discover(const QUrl& start, const QString& user, const QString& secret,
                  bool askTrust = true);
    void discovered(const std::vector<AddressBook>& found, const std::exception_ptr& failure);
    void startSyncs(const std::optional<QString>& secret);
    void syncNext();
    void synced(const SyncReport& done, const std::exception_ptr& failure);
    void endSyncs(const QString& failure);
    void setRunning(bool running);
    void say(const QString& text, bool asMessage);

    SyncHost& host_;
    QLineEdit* url_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QTreeWidget* books_ = nullptr;
    QCheckBox* every_ = nullptr;
    QSpinBox* minutes_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* find_ = nullptr;
    QPushButton* sync_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPlainTextEdit* report_ = nullptr;
    QTimer timer_{this};
    PasswordStore passwords_;
    QString fingerprint_;  // accepted for discovery
    bool running_ = false;
    std::unique_ptr<session::Task> discovery_;
    std::unique_ptr<session::Task> endedDiscovery_;  // its end is still running when put here
    // The syncs of one "Jetzt abgleichen", one book after the other.
    struct Syncs {
        std::deque<Pairing> waiting;
        QString secret;
        bool timed = false;
        bool trustAsked = false;
        bool wroteHere = false;
        QString report;
    } syncs_;
};

}  // namespace veltro::sync
