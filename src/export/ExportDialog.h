#pragma once

#include "export/ExportFile.h"

#include "session/Session.h"

#include <QDialog>
#include <QElapsedTimer>

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace veltro::exporting {

// "Veltro Adressbuch exportieren" (frmExport): separator, formatting and encoding choice,
// then the save dialog, whose file type also offers vCard and the CSV layouts of
// Thunderbird, Outlook and Google; writes all cards of the store and closes itself once
// the file is written. Not modal; it reads the store through a connection of its own.
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    ExportDialog(session::Session& session, QWidget* parent);

    // Opens a fresh dialog (initial settings every time) that deletes itself when closed.
    static ExportDialog* showNew(session::Session& session, QWidget* parent);
    // An export runs now.
    [[nodiscard]] bool exporting() const { return busy_; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    QGroupBox* buildFormatFrame();
    void Command1_Click();
    void Command2_Click();
    [[nodiscard]] std::optional<ExportOptions> chosenOptions(ExportFormat format) const;
    // Without options: vCard.
    void runExport(const QString& target, const std::optional<ExportOptions>& options);
    void exportEnded(const ExportResult& result, const std::exception_ptr& failure);
    void showProgress(std::int64_t done, std::int64_t total);
    void setBusy(bool busy);
    bool cancelRunningExport();
    void reportReplacedCharacters(std::int64_t count);

    session::Session& session_;
    bool busy_ = false;
    bool closeAfterCancel_ = false;
    std::unique_ptr<session::Task> task_;       // the export running now
    std::unique_ptr<session::Task> endedTask_;  // its end may still run when it is put here

    QRadioButton* option1_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QRadioButton* option2_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
};

}  // namespace veltro::exporting
