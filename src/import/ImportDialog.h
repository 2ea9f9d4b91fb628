#pragma once

#include "import/AccessSource.h"
#include "import/BusyWork.h"
#include "import/FieldMapping.h"
#include "import/ImportDialogWidgets.h"
#include "import/ImportHost.h"
#include "import/RecordReader.h"
#include "import/TextSource.h"

#include <QDialog>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTreeWidgetItem;

namespace veltro::import {

class ImportHost;
class PreviewModel;

// The import dialog "frmImport": four pages from the choice of a CSV, text or Access file
// over the mapping of its columns and a preview to the import into the host's category.
// A vCard file needs no mapping: its cards go straight to the preview. The header line of
// another address book's CSV file fills in the mapping, which the user may still change.
class ImportDialog final : public QDialog {
    Q_OBJECT

public:
    // Opens the dialog non-modal for the category selected in the host, after setting the
    // host's change flag. With "-Alle-" (or none) selected it only says that a category is needed
    // and returns nullptr. The dialog deletes itself when it is closed.
    static ImportDialog* open(ImportHost& host, QWidget* parent);

    ImportDialog(ImportHost& host, QWidget* parent);
    ~ImportDialog() override;

    [[nodiscard]] const FieldMapping& mapping() const { return mapping_; }
    // A file is being read for the lists or the preview, on a thread of its own.
    [[nodiscard]] bool reading() const { return readTask_ != nullptr; }

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Kind { kCsv = 1, kText = 2, kAccess = 3, kVcard = 4 };
    enum Page { kFilePage, kMappingPage, kPreviewPage, kFinishPage };

    void connectHandlers();
    void Text1_Change();
    void Text3_Change();
    void Option_Click();
    void Check1_Click();
    void Combo1_Click();
    void Command3_Click();
    void Command8_Click();
    void Command7_Click();
    void Command1_Click();
    void importEnded(std::vector<PreviewRow> rows, const std::exception_ptr& failure);
    void Command2_Click();
    void Command4_Click();
    void Command6_Click();
    void ListView2_Drop(int sourceRow, int targetRow);
    void ListView3_Activate(QTreeWidgetItem* item);

    void Feldererstellen();
    bool useFile(const QString& path, Kind kind);
    [[nodiscard]] static Kind kindOfPath(const QString& path);
    bool ListView3Fuellen();
    bool ListView3FuellenAcces();
    // A CSV or text file: its columns, after looking for another program's layout.
    bool listTextFile();
    // The cards of a vCard file, mapped for the preview; false after telling why not.
    bool readVcardFile();
    // Sets format options and mapping when the header line is another program's layout;
    // the name of the program, else empty.
    QString recognisePreset(const TextSource& source);
    void listTableColumns();
    void VorschauLineInput();
    void VorschauMDBeinlesen();
    // The status bar says how many cards of the preview bring further details.
    void tellFurtherDetails();

    void showPage(Page page);
    void backToFilePage();
    void showMapping();
    void enableNextForMapping();
    void setColumnWidths();
    void setStatus(const QString& text);
    void addSourceColumns(const QStringList& captions);
    void tellUnreadable(bool access);
    void tellIncomplete(std::size_t rows);
    void closeIfAsked();
    // Reads on a thread of its own while the pages are frozen and the bar shows how far it
    // came; `then` gets the failure, if any, on this thread. Nothing while other work runs.
    void readAside(std::function<void(session::TaskControl&)> read,
                   std::function<void(std::exception_ptr)> then);
    // The finishing page after a run that brought duplicates: says how many and offers them.
    void offerDuplicates(std::int64_t count);
    [[nodiscard]] std::optional<SplitOptions> splitOptions() const;
    // The text file, read again when it changed; nullptr after telling why it cannot be used.
    [[nodiscard]] const TextSource* textSource();
    [[nodiscard]] QList<QWidget*> frozenDuringWork() const;

    ImportHost& host_;
    ImportDialogWidgets ui_;
    FieldMapping mapping_;
    PreviewModel* preview_;  // child of the dialog
    Page page_ = kFilePage;
    QString path_;
    Kind kind_ = kCsv;
    std::optional<TextSource> text_;
    std::vector<AccessTable> tables_;
    std::vector<PreviewRow> vcardRows_;
    std::int64_t listedRecords_ = 0;
    WorkState work_;
    session::Task* importTask_ = nullptr;  // the session's, while the import writes
    std::unique_ptr<session::Task> readTask_;
    std::unique_ptr<session::Task> endedRead_;  // its end is still running when put here
};

}  // namespace veltro::import
