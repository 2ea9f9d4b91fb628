#pragma once

#include "import/AccessSource.h"
#include "import/BusyWork.h"
#include "import/FieldMapping.h"
#include "import/ImportDialogWidgets.h"
#include "import/RecordReader.h"
#include "import/TextSource.h"

#include <QDialog>

#include <optional>
#include <vector>

class QTreeWidgetItem;

namespace veltro::import {

class ImportHost;
class PreviewModel;

// The import dialog "frmImport": four pages from the choice of a CSV, text or Access file
// over the mapping of its columns and a preview to the import into the host's category.
class ImportDialog final : public QDialog {
    Q_OBJECT

public:
    // Opens the dialog non-modal for the category selected in the host, after setting the
    // host's change flag. With "-Alle-" selected it only says that a category is needed
    // and returns nullptr. The dialog deletes itself when it is closed.
    static ImportDialog* open(ImportHost& host, QWidget* parent);

    ImportDialog(ImportHost& host, QWidget* parent);
    ~ImportDialog() override;

    [[nodiscard]] const FieldMapping& mapping() const { return mapping_; }

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Kind { kCsv = 1, kText = 2, kAccess = 3 };
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
    void listTableColumns();
    void VorschauLineInput();
    void VorschauMDBeinlesen();

    void showPage(Page page);
    void showMapping();
    void enableNextForMapping();
    void setColumnWidths();
    void setStatus(const QString& text);
    void addSourceColumns(const QStringList& captions);
    void tellUnreadable(bool access);
    void tellIncomplete(std::size_t rows);
    void closeIfAsked();
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
    std::int64_t listedRecords_ = 0;
    WorkState work_;
};

}  // namespace veltro::import
