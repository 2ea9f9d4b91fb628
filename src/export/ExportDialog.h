#pragma once

#include "export/ExportFile.h"

#include <QDialog>
#include <QElapsedTimer>

#include <filesystem>
#include <functional>

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
    ExportDialog(std::filesystem::path storeFile, QWidget* parent);

    // Opens a fresh dialog (initial settings every time) that deletes itself when closed.
    static ExportDialog* showNew(std::filesystem::path storeFile, QWidget* parent);

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    QGroupBox* buildFormatFrame();
    void Command1_Click();
    void Command2_Click();
    [[nodiscard]] std::optional<ExportOptions> chosenOptions(ExportFormat format) const;
    using ExportCall = std::function<ExportResult(const ProgressCallback& progress)>;
    void runCsvExport(const QString& target, const ExportOptions& options);
    void runExport(const ExportCall& exportWith);
    bool showProgress(std::int64_t done, std::int64_t total);
    void setBusy(bool busy);
    bool cancelRunningExport();
    void reportReplacedCharacters(std::int64_t count);

    std::filesystem::path storeFile_;
    bool busy_ = false;
    bool cancelRequested_ = false;
    bool closeAfterCancel_ = false;
    QElapsedTimer sinceEvents_;

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
