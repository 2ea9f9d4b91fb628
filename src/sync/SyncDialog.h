#pragma once

#include "sync/DavClient.h"
#include "sync/PasswordStore.h"
#include "sync/SyncAccounts.h"
#include "sync/SyncHost.h"

#include <QDialog>
#include <QTimer>

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

    // Shows the window with the pairings the store holds.
    void showDialog();
    // Syncs every ticked book; a timed sync reports only in the window.
    void syncNow(bool timed = false);
    void findBooks();

private:
    void build();
    void loadPairings();
    void addBookRow(const QUrl& url, const QString& name, const QString& category, bool ticked);
    [[nodiscard]] std::optional<QString> password();
    [[nodiscard]] std::vector<Pairing> tickedPairings();
    // Runs `work`; on an untrusted certificate asks once whether to trust it and runs again.
    bool withTrust(QString& fingerprint, const std::function<void()>& work);
    void syncOne(Pairing& pairing, const QString& secret, QString& report, bool& wroteHere);
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
    DavClient* running_ = nullptr;
};

}  // namespace veltro::sync
