#include "import/ImportDialog.h"
#include "platform/HelpKey.h"
#include "platform/Placement.h"

#include "base/Counted.h"
#include "base/Failure.h"
#include "import/ImportHost.h"
#include "import/ImportRun.h"
#include "import/PresetExtras.h"
#include "import/PreviewModel.h"
#include "import/SourceColumnList.h"
#include "import/TargetFieldList.h"
#include "platform/Platform.h"
#include "store/Categories.h"
#include "vcard/VcardReader.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeView>

#include <algorithm>
#include <optional>

namespace veltro::import {

namespace {

const QString kTitle = QStringLiteral("Datei importieren");
const QString kUnassigned = QStringLiteral("-");
const QStringList kKindNames = {
    QStringLiteral("CSV-Datei (*.csv)"), QStringLiteral("Textdatei (*.txt)"),
    QStringLiteral("MS-Access Datenbank(*.mdb)"), QStringLiteral("vCard-Datei (*.vcf)")};
constexpr int kPreviewColumnWidth = 110;

QString foundRecords(std::int64_t count) {
    return QStringLiteral(" Gefundene Datensätze: ") + QString::number(count);
}

// A source column as the mapping shows it; one whose caption reads like "unassigned"
// (an empty first-line field gives "-") shows its place as well.
QString assignedCaption(const FieldMapping::Source& source) {
    const QString caption = source.caption.trimmed();
    if (caption.isEmpty() || caption == kUnassigned) {
        return QStringLiteral("%1 (Spalte %2)").arg(kUnassigned).arg(source.column + 1);
    }
    return source.caption;
}

void tell(const QString& text, platform::Icon icon) {
    platform::current().message({text, kTitle, platform::Buttons::Ok, icon, 0});
}

}  // namespace

ImportDialog::Kind ImportDialog::kindOfPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"mdb" || suffix == u"accdb") {
        return kAccess;
    }
    if (suffix == u"vcf" || suffix == u"vcard") {
        return kVcard;
    }
    return suffix == u"txt" ? kText : kCsv;
}

ImportDialog* ImportDialog::open(ImportHost& host, QWidget* parent) {
    if (!store::isTargetCategory(host.selectedCategory())) {
        platform::current().message({QStringLiteral("Bitte wählen Sie erst eine Kategorie aus\n"
                                                    "in der Sie die importierten Daten speichern "
                                                    "wollen."),
                                     QStringLiteral("Hinweis"), platform::Buttons::Ok,
                                     platform::Icon::Information, 0});
        return nullptr;
    }
    host.setChanged();
    auto* dialog = new ImportDialog(host, parent);  // deletes itself on close
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

ImportDialog::ImportDialog(ImportHost& host, QWidget* parent)
    : QDialog(parent),
      host_(host),
      ui_(*this),
      mapping_(host.selectedCategory()),
      preview_(new PreviewModel(this)) {
    setObjectName(QStringLiteral("frmImport"));
    setModal(false);
    platform::setHelpPage(*this, QStringLiteral("import.html"));
    setWindowTitle(QStringLiteral("Datei importieren in Kategorie '") + mapping_.category() +
                   u'\'');
    platform::resizeWithin(*this, {720, 560});
    ui_.ListView1->setModel(preview_);
    connect(preview_, &QAbstractItemModel::modelReset, this, [this] {
        if (preview_->columnCount() > static_cast<int>(kTargetCount)) {
            ui_.ListView1->setColumnWidth(static_cast<int>(kTargetCount), 3 * kPreviewColumnWidth);
        }
    });
    for (int column = 0; column < preview_->columnCount(); ++column) {
        ui_.ListView1->setColumnWidth(column, kPreviewColumnWidth);
    }
    ui_.ListView2->installEventFilter(this);
    ui_.ListView3->installEventFilter(this);
    ui_.ProgressBar1->hide();
    ui_.Frame8->hide();
    showPage(kFilePage);
    ui_.Command7->setEnabled(false);
    ui_.Command8->setEnabled(false);
    Feldererstellen();
    connectHandlers();
    ui_.Text1->setFocus();
}

ImportDialog::~ImportDialog() = default;

void ImportDialog::connectHandlers() {
    connect(ui_.Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(ui_.Text3, &QLineEdit::textEdited, this, [this] { Text3_Change(); });
    connect(ui_.Option1, &QRadioButton::clicked, this, [this] { Option_Click(); });
    connect(ui_.Option2, &QRadioButton::clicked, this, [this] { Option_Click(); });
    connect(ui_.Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(ui_.Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(ui_.Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(ui_.Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
    connect(ui_.Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
    connect(ui_.Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(ui_.Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(ui_.Command9, &QPushButton::clicked, this, [this] {
        close();
        host_.showDuplicatesOfImport();
    });
    connect(ui_.Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(ui_.Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(ui_.ListView2, &TargetFieldList::sourceDropped, this,
            [this](int sourceRow, int targetRow) { ListView2_Drop(sourceRow, targetRow); });
    // Mapping without a mouse: Enter on a source column assigns it to the selected field.
    connect(ui_.ListView3, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { ListView3_Activate(item); });
    connect(ui_.ListView2, &TargetFieldList::unassignRequested, this, [this] { Command4_Click(); });
}

// ---- page 1: the file and its format ----

void ImportDialog::Text1_Change() {
    if (page_ == kFilePage) {
        ui_.Command8->setEnabled(!ui_.Text1->text().isEmpty());
    }
}

void ImportDialog::Text3_Change() {
    ui_.Option1->setChecked(true);
    if (!path_.isEmpty() && kind_ != kAccess) {
        ListView3Fuellen();
    }
}

void ImportDialog::Option_Click() {
    if (!path_.isEmpty() && kind_ != kAccess) {
        ListView3Fuellen();
    }
}

void ImportDialog::Check1_Click() {
    if (kind_ != kAccess && !ui_.Text1->text().isEmpty() && !path_.isEmpty()) {
        ListView3Fuellen();
    }
}

void ImportDialog::Combo1_Click() {
    // The mapping names columns of the table that was listed before.
    if (ui_.ListView3->topLevelItemCount() > 0) {
        Feldererstellen();
    }
    listTableColumns();
}

void ImportDialog::Command3_Click() {
    platform::FileRequest request;
    request.title = QStringLiteral("Adressbuch importieren...");
    request.filters = kKindNames;
    request.selectedFilter = 0;
    request.directory = path_.isEmpty() ? QString() : QFileInfo(path_).absolutePath();
    const auto chosen = platform::current().openFile(request);
    if (!chosen || chosen->path.isEmpty()) {
        return;
    }
    useFile(chosen->path, static_cast<Kind>(std::clamp(chosen->filterIndex + 1, 1, 4)));
}

bool ImportDialog::useFile(const QString& path, Kind kind) {
    // A vCard file is known by its content, whatever its name or the chosen filter.
    if (kind != kAccess && vcard::isVcardFile(path)) {
        kind = kVcard;
    }
    path_ = path;
    kind_ = kind;
    setStatus(QStringLiteral(" "));
    const bool isText = kind == kCsv || kind == kText;
    ui_.Frame7->setVisible(isText);
    ui_.Check1->setVisible(isText);
    ui_.Frame8->setVisible(kind == kAccess);
    Feldererstellen();
    ui_.Text1->setText(path);
    if (kind != kAccess) {
        ui_.Label3->setText(QStringLiteral("Zu importierende &Datei:    "));
    }
    ui_.Label5->setText(QStringLiteral("Datentyp: ") + kKindNames[kind - 1]);
    bool listed = false;
    if (kind == kVcard) {
        listed = readVcardFile();
    } else if (kind == kAccess) {
        listed = ListView3FuellenAcces();
    } else {
        listed = listTextFile();
    }
    if (!listed) {
        path_.clear();  // "Weiter" tries the file again rather than map nothing
    }
    return listed;
}

// ---- navigation ----

void ImportDialog::showPage(Page page) {
    page_ = page;
    for (std::size_t i = 0; i < ui_.pages.size(); ++i) {
        ui_.pages[i]->setVisible(i == static_cast<std::size_t>(page));
        ui_.hints[i]->setVisible(i == static_cast<std::size_t>(page));
    }
    ui_.Command1->setDefault(page == kFinishPage);
    ui_.Command8->setDefault(page != kFinishPage);
}

void ImportDialog::Command8_Click() {
    switch (page_) {
        case kFilePage:
            // A path typed by hand has not been listed yet.
            if (ui_.Text1->text() != path_ &&
                !useFile(ui_.Text1->text(), kindOfPath(ui_.Text1->text()))) {
                return;
            }
            ui_.Command7->setEnabled(true);
            if (kind_ == kVcard) {
                showPage(kPreviewPage);
                preview_->setRows(vcardRows_);
                ui_.ListView1->setFocus();
                break;
            }
            showPage(kMappingPage);
            enableNextForMapping();
            ui_.ListView2->setFocus();
            break;
        case kMappingPage:
            showPage(kPreviewPage);
            if (kind_ == kAccess) {
                VorschauMDBeinlesen();
            } else {
                VorschauLineInput();
            }
            ui_.ListView1->setFocus();
            closeIfAsked();
            break;
        case kPreviewPage:
            showPage(kFinishPage);
            ui_.Command8->setEnabled(false);
            ui_.Command7->setEnabled(true);
            ui_.Command1->setFocus();
            break;
        case kFinishPage:
            break;
    }
}

void ImportDialog::Command7_Click() {
    switch (page_) {
        case kPreviewPage:
            if (kind_ == kVcard) {
                backToFilePage();
                break;
            }
            ui_.Command7->setEnabled(true);
            showPage(kMappingPage);
            enableNextForMapping();
            break;
        case kFinishPage:
            ui_.Command8->setEnabled(true);
            showPage(kPreviewPage);
            break;
        case kMappingPage:
            backToFilePage();
            break;
        case kFilePage:
            ui_.Command7->setEnabled(false);
            break;
    }
}

void ImportDialog::backToFilePage() {
    ui_.Command7->setEnabled(false);
    showPage(kFilePage);
    ui_.Command8->setEnabled(!ui_.Text1->text().isEmpty());
}

void ImportDialog::Command2_Click() {
    if (work_.busy) {
        work_.cancel = true;
        if (importTask_ != nullptr) {
            importTask_->cancel();
        }
        if (readTask_) {
            readTask_->cancel();
        }
        work_.closeWhenDone = true;
        return;
    }
    close();
}

void ImportDialog::reject() {
    if (work_.busy) {
        Command2_Click();
        return;
    }
    QDialog::reject();
}

void ImportDialog::closeEvent(QCloseEvent* event) {
    if (work_.busy) {
        work_.cancel = true;
        if (importTask_ != nullptr) {
            importTask_->cancel();
        }
        if (readTask_) {
            readTask_->cancel();
        }
        work_.closeWhenDone = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ImportDialog::closeIfAsked() {
    if (work_.closeWhenDone) {
        work_.closeWhenDone = false;
        close();
    }
}

// ---- page 2: the mapping ----

void ImportDialog::Feldererstellen() {
    mapping_.reset();
    ui_.ListView2->clear();
    ui_.ListView2->setHeaderLabels({QStringLiteral("Eingabefelder"), QStringLiteral("Zuordnung"),
                                    QStringLiteral("IndList3"), QStringLiteral("IndList2")});
    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    for (std::size_t target = 0; target < kTargetCount; ++target) {
        auto* item = new QTreeWidgetItem(ui_.ListView2);  // owned by the list
        item->setText(0, targetName(target));
        item->setIcon(0, icon);
    }
    showMapping();
    setColumnWidths();
    enableNextForMapping();
}

void ImportDialog::showMapping() {
    const PresetExtras* extras = mapping_.extras();
    ui_.Label14->setVisible(extras != nullptr);
    if (extras != nullptr) {
        ui_.Label14->setText(
            QStringLiteral("Weitere Angaben (Geburtstag, weitere Nummern, E-Mail-Adressen, "
                           "Anschriften, Webseiten …) kommen aus %1 dazu; eine Spalte, die Sie "
                           "einem Feld zuordnen, zählt nur dort.")
                .arg(counted(extras->columnCount(), "Spalte", "Spalten")));
    }
    for (std::size_t target = 0; target < kTargetCount; ++target) {
        QTreeWidgetItem* item = ui_.ListView2->topLevelItem(static_cast<int>(target));
        const auto& source = mapping_.source(target);
        const bool isCategory = target == kCategoryTarget;
        const QString position = QString::number(target + 1);
        item->setText(1, isCategory ? mapping_.category()
                         : source   ? assignedCaption(*source)
                         : extras != nullptr && extras->fillsTarget(target)
                             ? QStringLiteral("(nach Typ)")
                             : kUnassigned);
        item->setText(2, isCategory ? QStringLiteral("1")
                         : source   ? QString::number(source->column + 1)
                                    : kUnassigned);
        item->setText(3, isCategory ? QStringLiteral("1") : source ? position : kUnassigned);
    }
}

void ImportDialog::enableNextForMapping() {
    if (page_ == kMappingPage) {
        ui_.Command8->setEnabled(mapping_.hasHeading());
    }
}

void ImportDialog::ListView2_Drop(int sourceRow, int targetRow) {
    const QTreeWidgetItem* source = ui_.ListView3->topLevelItem(sourceRow);
    if (source == nullptr || targetRow < 0) {
        return;
    }
    if (mapping_.assign(static_cast<std::size_t>(targetRow), sourceRow, source->text(0))) {
        showMapping();
    }
    enableNextForMapping();
}

void ImportDialog::ListView3_Activate(QTreeWidgetItem* item) {
    QTreeWidgetItem* target = ui_.ListView2->currentItem();
    if (item != nullptr && target != nullptr) {
        ListView2_Drop(ui_.ListView3->indexOfTopLevelItem(item),
                       ui_.ListView2->indexOfTopLevelItem(target));
    }
}

void ImportDialog::Command4_Click() {
    QTreeWidgetItem* item = ui_.ListView2->currentItem();
    if (item != nullptr) {
        mapping_.unassign(static_cast<std::size_t>(ui_.ListView2->indexOfTopLevelItem(item)));
        showMapping();
    }
    enableNextForMapping();
}

void ImportDialog::Command6_Click() {
    Feldererstellen();
}

void ImportDialog::setColumnWidths() {
    const int targets = ui_.ListView2->viewport()->width();
    ui_.ListView2->setColumnWidth(0, targets / 2);
    ui_.ListView2->setColumnWidth(1, static_cast<int>(targets / 2.7));
    ui_.ListView2->setColumnHidden(2, true);
    ui_.ListView2->setColumnHidden(3, true);
    ui_.ListView3->setColumnWidth(0, static_cast<int>(ui_.ListView3->viewport()->width() / 1.2));
}

bool ImportDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && (watched == ui_.ListView2 || watched == ui_.ListView3)) {
        setColumnWidths();
    }
    // Enter on a source column assigns it; it must not go on to the dialog's default button.
    if (event->type() == QEvent::KeyPress && watched == ui_.ListView3) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ListView3_Activate(ui_.ListView3->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- reading the source ----

std::optional<SplitOptions> ImportDialog::splitOptions() const {
    SplitOptions options;
    if (ui_.Option1->isChecked()) {
        if (ui_.Text3->text().isEmpty()) {
            return std::nullopt;
        }
        options.separator = ui_.Text3->text().front();
    } else {
        options.separator = u'\t';
    }
    options.quoted = ui_.Check2->isChecked();
    options.useFirstLine = ui_.Check1->isChecked();
    return options;
}

const TextSource* ImportDialog::textSource() {
    if (!text_ || text_->path() != path_ || text_->changedOnDisk()) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        text_ = TextSource::load(path_);
        QApplication::restoreOverrideCursor();
    }
    if (!text_) {
        tellUnreadable(false);
        return nullptr;
    }
    if (!text_->isText()) {
        tell(kNotTextMessage, platform::Icon::Exclamation);
        return nullptr;
    }
    return &*text_;
}

void ImportDialog::addSourceColumns(const QStringList& captions) {
    const QIcon icon = style()->standardIcon(QStyle::SP_FileDialogDetailedView);
    for (const QString& caption : captions) {
        auto* item = new QTreeWidgetItem(ui_.ListView3, {caption});  // owned by the list
        item->setIcon(0, icon);
    }
}

bool ImportDialog::ListView3Fuellen() {
    ui_.ListView3->clear();
    const auto options = splitOptions();
    if (!options) {
        return true;  // no separator yet: nothing to list
    }
    const TextSource* source = textSource();
    if (source == nullptr) {
        return false;
    }
    const ColumnListing listing = source->columns(*options);
    listedRecords_ = listing.records;
    QString status = foundRecords(listing.records);
    if (source->invalidLines() > 0) {
        status += QStringLiteral(" – ") + invalidLinesText(source->invalidLines());
    }
    setStatus(status);
    addSourceColumns(listing.columns);
    return true;
}

bool ImportDialog::ListView3FuellenAcces() {
    ui_.ListView3->clear();
    auto listing = std::make_shared<AccessListing>();
    readAside(
        [listing, path = path_](session::TaskControl& control) {
            *listing = AccessSource(path).tables([&control] { return !control.stopRequested(); });
        },
        [this, listing](const std::exception_ptr& failure) {
            tables_ = std::move(listing->tables);
            {
                const QSignalBlocker blocker(ui_.Combo1);
                ui_.Combo1->clear();
                for (const auto& table : tables_) {
                    ui_.Combo1->addItem(table.name);
                }
                ui_.Combo1->setCurrentIndex(tables_.empty() ? -1 : 0);
            }
            listTableColumns();
            if (failure || (tables_.empty() && !listing->complete)) {
                tellUnreadable(true);
                path_.clear();  // "Weiter" tries the file again rather than map nothing
                backToFilePage();
            }
        });
    return true;  // the tables follow
}

void ImportDialog::listTableColumns() {
    ui_.ListView3->clear();
    const int table = ui_.Combo1->currentIndex();
    if (table >= 0 && static_cast<std::size_t>(table) < tables_.size()) {
        addSourceColumns(tables_[static_cast<std::size_t>(table)].columns);
    }
}

void ImportDialog::VorschauLineInput() {
    preview_->clear();
    const auto options = splitOptions();
    if (!options) {
        return;
    }
    const TextSource* source = textSource();
    if (source == nullptr) {
        return;
    }
    // The pages are frozen while it reads: nothing changes the source or the mapping.
    auto table = std::make_shared<PreviewTable>();
    readAside(
        [table, source, options = *options, mapping = mapping_,
         total = listedRecords_ + 2](session::TaskControl& control) {
            *table = source->preview(options, mapping, [&control, total](std::int64_t done) {
                control.progress(1 + done, total);
                return !control.stopRequested();
            });
        },
        [this, table](const std::exception_ptr& failure) {
            preview_->setRows(std::move(table->rows));
            if (failure) {
                tellUnreadable(false);
            }
            tellFurtherDetails();
        });
}

void ImportDialog::VorschauMDBeinlesen() {
    preview_->clear();
    auto table = std::make_shared<PreviewTable>();
    readAside(
        [table, path = path_, name = ui_.Combo1->currentText(),
         mapping = mapping_](session::TaskControl& control) {
            std::int64_t total = 0;
            *table = AccessSource(path).preview(
                name, mapping,
                [&](std::int64_t count) {
                    control.step(foundRecords(count));
                    total = count + 2;
                    control.progress(1, total);
                },
                [&](std::int64_t done) {
                    control.progress(1 + done, total);
                    return !control.stopRequested();
                });
        },
        [this, table](const std::exception_ptr& failure) {
            const std::size_t rows = table->rows.size();
            preview_->setRows(std::move(table->rows));
            if (failure) {
                tellUnreadable(true);
            } else if (!table->complete && !work_.cancel) {
                tellIncomplete(rows);
            } else if (table->complete && table->count && !table->count->matches()) {
                tell(QStringLiteral("Die Tabelle ist beschädigt: %1.\nDie Vorschau zeigt die "
                                    "Datensätze, die gelesen werden konnten.")
                         .arg(recordCountText(*table->count)),
                     platform::Icon::Exclamation);
            }
        });
}

void ImportDialog::tellFurtherDetails() {
    const auto cards = std::ranges::count_if(
        preview_->rows(), [](const PreviewRow& row) { return row.extras != nullptr; });
    if (cards > 0) {
        setStatus(foundRecords(listedRecords_) +
                  QStringLiteral(" – %1 mit Weiteren Angaben (letzte Spalte)")
                      .arg(counted(cards, "Karte", "Karten")));
    }
}

void ImportDialog::readAside(std::function<void(session::TaskControl&)> read,
                             std::function<void(std::exception_ptr)> then) {
    if (work_.busy) {
        return;
    }
    auto frozen = std::make_shared<BusyWork>(work_, *ui_.ProgressBar1, frozenDuringWork());
    auto ended = [this, frozen, then = std::move(then)](std::exception_ptr failure) mutable {
        endedRead_ = std::move(readTask_);  // this runs inside it
        frozen.reset();
        if (!work_.closeWhenDone) {
            then(std::move(failure));
        }
        closeIfAsked();
    };
    auto progress = [this, bar = frozen.get()](const session::TaskProgress& now) {
        if (!now.step.isEmpty()) {
            setStatus(now.step);
        }
        bar->show(now.done, now.total);
    };
    readTask_ =
        std::make_unique<session::Task>(std::move(read), std::move(ended), std::move(progress));
}

// ---- page 4: the import run ----

void ImportDialog::Command1_Click() {
    auto rows = std::make_shared<std::vector<PreviewRow>>(preview_->rows());
    const auto count = static_cast<std::int64_t>(rows->size());
    auto frozen = std::make_shared<BusyWork>(work_, *ui_.ProgressBar1, frozenDuringWork());
    setStatus(QStringLiteral("...suche Duplikate"));
    auto write = [rows, count, undo = host_.undoStepName()](const std::filesystem::path& file,
                                                            session::TaskControl& control) {
        runImport(
            file, *rows,
            [&](ImportPhase phase, std::int64_t done) {
                if (phase == ImportPhase::Writing && done == 0) {
                    control.step(QStringLiteral("...speichere Karten"));
                }
                control.progress(1 + done + (phase == ImportPhase::Writing ? count : 0),
                                 2 * count + 1);
                return !control.stopRequested();
            },
            undo);
    };
    importTask_ = host_.startImport(
        std::move(write),
        [this, rows, frozen](const std::exception_ptr& failure) mutable {
            importTask_ = nullptr;
            frozen.reset();
            importEnded(std::move(*rows), failure);
        },
        [this, bar = frozen.get()](const session::TaskProgress& progress) {
            if (!progress.step.isEmpty()) {
                setStatus(progress.step);
            }
            bar->show(progress.done, progress.total);
        });
    if (importTask_ == nullptr) {
        frozen.reset();
        setStatus(QStringLiteral(" "));
    }
}

void ImportDialog::importEnded(std::vector<PreviewRow> rows, const std::exception_ptr& failure) {
    setStatus(QStringLiteral(" "));
    try {
        if (failure) {
            std::rethrow_exception(failure);
        }
    } catch (const ImportCancelled&) {
        closeIfAsked();
        return;
    } catch (...) {
        tell(QStringLiteral("Die Daten konnten nicht importiert werden; die Kartei ist "
                            "unverändert.\n") +
                 describeFailure(std::current_exception()).text,
             platform::Icon::Exclamation);
        closeIfAsked();
        return;
    }
    preview_->setRows(std::move(rows));
    host_.ImportCommand1();
    if (const auto doubles = host_.duplicatesOfImport(); doubles > 0) {
        offerDuplicates(doubles);
        return;
    }
    close();
}

void ImportDialog::offerDuplicates(std::int64_t count) {
    ui_.Command1->setVisible(false);
    ui_.Command7->setEnabled(false);
    ui_.Command2->setText(QStringLiteral("&Schließen"));
    ui_.Label13->setText(
        count == 1 ? QStringLiteral("Eine der importierten Karten gleicht einer Karte, die schon "
                                    "in der Kartei war.")
                   : QStringLiteral("%1 der importierten Karten gleichen Karten, die schon in der "
                                    "Kartei waren.")
                         .arg(count));
    ui_.Label13->setVisible(true);
    ui_.Command9->setVisible(true);
    ui_.Command9->setFocus();
}

// ---- small helpers ----

QList<QWidget*> ImportDialog::frozenDuringWork() const {
    QList<QWidget*> widgets{ui_.Command7, ui_.Command8};
    for (QGroupBox* page : ui_.pages) {
        widgets << page;
    }
    return widgets;
}

void ImportDialog::setStatus(const QString& text) {
    ui_.panel1->setText(text);
}

void ImportDialog::tellUnreadable(bool access) {
    tell(QStringLiteral("Die Datei\n") + path_ +
             (access ? QStringLiteral("\nlässt sich nicht als Access-Datenbank lesen.")
                     : QStringLiteral("\nlässt sich nicht lesen.")),
         platform::Icon::Exclamation);
}

void ImportDialog::tellIncomplete(std::size_t rows) {
    const auto count = static_cast<long long>(rows);
    tell(QStringLiteral("Die Datei ließ sich nicht vollständig lesen.\nDie Vorschau zeigt %1 "
                        "%2, %3 gelesen werden %4.")
             .arg(agreeing(count, "den", "die"), counted(count, "Datensatz", "Datensätze"),
                  agreeing(count, "der", "die"), agreeing(count, "konnte", "konnten")),
         platform::Icon::Information);
}

}  // namespace veltro::import
