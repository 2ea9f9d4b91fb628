#include "export/ExportDialog.h"
#include "platform/HelpKey.h"

#include "platform/WidgetTools.h"

#include "base/Failure.h"
#include "platform/Platform.h"
#include "vcard/VcardExport.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include <array>

namespace veltro::exporting {

using platform::named;

namespace {

const QString kTitle = QStringLiteral("Veltro Adressbuch exportieren");
// Repaint and take input at least this often during a long export.

// The entries of the save dialog's file type list, in this order.
enum FilterEntry {
    kCsvEntry,
    kTextEntry,
    kVcardEntry,
    kThunderbirdEntry,
    kOutlookEntry,
    kGoogleEntry
};

QLabel* wrappedLabel(const QString& text, const char* name) {
    auto* label = named(new QLabel(text), name);
    label->setWordWrap(true);
    return label;
}

platform::FileRequest saveRequest() {
    platform::FileRequest request;
    request.title = QStringLiteral("Adressbuch exportieren...");
    request.filters = {QStringLiteral("Export CSV-Dateien (*.csv)"),
                       QStringLiteral("Export Textdateien (*.txt)"),
                       QStringLiteral("vCard (*.vcf)"),
                       QStringLiteral("CSV für Thunderbird (*.csv)"),
                       QStringLiteral("CSV für Outlook (*.csv)"),
                       QStringLiteral("CSV für Google Kontakte (*.csv)")};
    request.selectedFilter = 0;
    request.proposedName = QStringLiteral("AdressbuchExport");
    request.directory = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    request.confirmOverwrite = true;
    return request;
}

}  // namespace

ExportDialog::ExportDialog(session::Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(kTitle);
    platform::setHelpPage(*this, QStringLiteral("export.html"));
    buildWidgets();
}

ExportDialog* ExportDialog::showNew(session::Session& session, QWidget* parent) {
    auto* dialog = new ExportDialog(session, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void ExportDialog::buildWidgets() {
    auto* image1 = named(new QLabel, "Image1");
    image1->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(48, 48));
    image1->setAlignment(Qt::AlignTop);
    image1->setAccessibleName(QStringLiteral("Symbol Export"));
    auto* texts = new QVBoxLayout;
    QLabel* purpose = wrappedLabel(
        QStringLiteral("Hier können Sie alle Einträge aus dem Veltro-Adressbuch in eine "
                       "Textdatei *.txt oder in eine (Kommagetrennte) Datei  *.csv exportieren."),
        "Label2");
    setAccessibleDescription(purpose->text());  // read out as the dialog opens
    texts->addWidget(purpose);
    texts->addWidget(wrappedLabel(
        QStringLiteral("Diese Dateien können viele Programme direkt wieder importieren."),
        "Label1"));
    auto* intro = new QHBoxLayout;
    intro->addWidget(image1);
    intro->addLayout(texts, 1);

    check1_ = named(new QCheckBox(QStringLiteral(
                        "&Formatierungen für 'Anschrift' und 'Notizen' behalten.  (RTF-Format) ")),
                    "Check1");
    command1_ = named(new QPushButton(QStringLiteral("&Exportieren")), "Command1");
    command1_->setDefault(true);
    auto* command2 = named(new QPushButton(QStringLiteral("&Abbrechen")), "Command2");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(command1_);
    buttons->addWidget(command2);

    statusBar1_ = named(new QStatusBar, "StatusBar1");
    statusBar1_->setSizeGripEnabled(false);
    statusBar1_->setAccessibleName(QStringLiteral("Fortschritt"));
    progressBar1_ = named(new QProgressBar, "ProgressBar1");
    progressBar1_->setAccessibleName(QStringLiteral("Exportierte Karten"));
    progressBar1_->setVisible(false);
    statusBar1_->addPermanentWidget(progressBar1_, 1);

    auto* content = new QVBoxLayout;
    content->addLayout(intro);
    content->addWidget(buildFormatFrame());
    content->addWidget(check1_);
    content->addLayout(buttons);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->addLayout(content);
    content->setContentsMargins(11, 11, 11, 0);
    root->addWidget(statusBar1_);

    connect(command1_, &QPushButton::clicked, this, &ExportDialog::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &ExportDialog::Command2_Click);
    const std::array<QWidget*, 7> order = {option1_, text1_,    option2_, combo1_,
                                           check1_,  command1_, command2};
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

QGroupBox* ExportDialog::buildFormatFrame() {
    frame1_ = named(new QGroupBox(QStringLiteral("Ausgabeformat ")), "Frame1");
    option1_ =
        named(new QRadioButton(QStringLiteral("Trennzeichen zwischen den &Daten =")), "Option1");
    option1_->setChecked(true);
    text1_ = named(new QLineEdit(QStringLiteral(",")), "Text1");
    text1_->setAccessibleName(QStringLiteral("Trennzeichen"));
    text1_->setMaximumWidth(text1_->fontMetrics().horizontalAdvance(u'W') * 4);
    option2_ = named(new QRadioButton(QStringLiteral("Trennzeichen =  &Tabulator")), "Option2");
    // Typing a separator means the user wants it.
    connect(text1_, &QLineEdit::textEdited, option1_, [this] { option1_->setChecked(true); });

    combo1_ = named(new QComboBox, "Combo1");
    combo1_->addItem(QStringLiteral("Windows-1252 (ANSI)"),
                     static_cast<int>(TextEncoding::Windows1252));
    combo1_->addItem(QStringLiteral("UTF-8 (mit Byte-Order-Mark)"),
                     static_cast<int>(TextEncoding::Utf8WithBom));
    auto* label3 = named(new QLabel(QStringLiteral("&Zeichensatz:")), "Label3");
    label3->setBuddy(combo1_);

    auto* grid = new QGridLayout(frame1_);
    grid->addWidget(option1_, 0, 0);
    grid->addWidget(text1_, 0, 1, Qt::AlignLeft);
    grid->addWidget(option2_, 1, 0, 1, 2);
    grid->addWidget(label3, 2, 0);
    grid->addWidget(combo1_, 2, 1);
    grid->setColumnStretch(1, 1);
    return frame1_;
}

void ExportDialog::Command1_Click() {
    if (busy_) {
        return;
    }
    const auto choice = platform::current().saveFile(saveRequest());
    if (!choice || choice->path.isEmpty()) {
        return;
    }
    // The chosen filter entry decides the format, never the typed extension. vCard and the
    // other programs' layouts bring their own separator, encoding and plain text.
    const QString target = choice->path;
    switch (choice->filterIndex) {
        case kVcardEntry:
            runExport(target, std::nullopt);
            return;
        case kThunderbirdEntry:
        case kOutlookEntry:
        case kGoogleEntry:
            runExport(target, presetOptions(
                                  choice->filterIndex == kThunderbirdEntry ? CsvPreset::Thunderbird
                                  : choice->filterIndex == kOutlookEntry   ? CsvPreset::Outlook
                                                                           : CsvPreset::Google));
            return;
        default:
            break;
    }
    const ExportFormat format =
        choice->filterIndex == kTextEntry ? ExportFormat::Text : ExportFormat::Csv;
    if (const auto options = chosenOptions(format)) {
        runExport(target, *options);
    }
}

void ExportDialog::Command2_Click() {
    close();
}

std::optional<ExportOptions> ExportDialog::chosenOptions(ExportFormat format) const {
    ExportOptions options;
    options.format = format;
    options.keepRichText = check1_->isChecked();
    options.encoding = static_cast<TextEncoding>(combo1_->currentData().toInt());
    if (option2_->isChecked()) {
        options.separator = kTabSeparator;
        return options;
    }
    const auto separator = separatorFromText(text1_->text());
    if (!separator) {
        return std::nullopt;
    }
    options.separator = *separator;
    return options;
}

// The export runs on a thread of its own, reading through a connection of its own; the
// windows go on meanwhile and may even write.
void ExportDialog::runExport(const QString& target, const std::optional<ExportOptions>& options) {
    setBusy(true);
    task_ = session_.startExport(
        target, options,
        [this](const ExportResult& result, const std::exception_ptr& failure) {
            endedTask_ = std::move(task_);
            exportEnded(result, failure);
        },
        [this](const session::TaskProgress& progress) {
            showProgress(progress.done, progress.total);
        });
}

void ExportDialog::exportEnded(const ExportResult& done, const std::exception_ptr& failure) {
    ExportResult result = done;
    if (failure) {
        result.status = ExportStatus::Failed;
        result.error = describeFailure(failure).text;
    }
    const bool closeWanted = closeAfterCancel_;
    setBusy(false);
    switch (result.status) {
        case ExportStatus::Written:
            reportReplacedCharacters(result.summary.replacedCharacters);
            accept();
            return;
        case ExportStatus::Failed:
            platform::current().message(
                {result.error, kTitle, platform::Buttons::Ok, platform::Icon::Exclamation, 0});
            return;
        case ExportStatus::Cancelled:
            if (closeWanted) {
                close();
            }
            return;
        case ExportStatus::NoCard:
            return;
    }
}

void ExportDialog::showProgress(std::int64_t done, std::int64_t total) {
    const QLocale german(QLocale::German, QLocale::Germany);
    progressBar1_->setMaximum(static_cast<int>(total));
    progressBar1_->setValue(static_cast<int>(done));
    statusBar1_->showMessage(QStringLiteral("%1 von %2 Karten exportiert")
                                 .arg(german.toString(done), german.toString(total)));
}

void ExportDialog::setBusy(bool busy) {
    busy_ = busy;
    closeAfterCancel_ = false;
    frame1_->setEnabled(!busy);
    check1_->setEnabled(!busy);
    command1_->setEnabled(!busy);
    progressBar1_->setVisible(busy);
    progressBar1_->setValue(0);
    statusBar1_->clearMessage();
    if (busy) {
        setCursor(Qt::BusyCursor);
    } else {
        unsetCursor();
    }
}

void ExportDialog::reportReplacedCharacters(std::int64_t count) {
    if (count <= 0) {
        return;
    }
    const QString counted =
        count == 1 ? QStringLiteral(
                         "1 Zeichen lässt sich im Zeichensatz Windows-1252 nicht "
                         "darstellen und wurde durch „?“ ersetzt.")
                   : QStringLiteral(
                         "%1 Zeichen lassen sich im Zeichensatz Windows-1252 nicht "
                         "darstellen und wurden durch „?“ ersetzt.")
                         .arg(QLocale(QLocale::German, QLocale::Germany).toString(count));
    platform::current().message(
        {QStringLiteral("Die Datei wurde geschrieben.\n") + counted +
             QStringLiteral("\nMit dem Zeichensatz UTF-8 bleiben alle Zeichen erhalten."),
         kTitle, platform::Buttons::Ok, platform::Icon::Information, 0});
}

// Escape, the close box and "Abbrechen" during an export stop it first; the dialog closes
// once the export has unwound and left any existing file as it was.
bool ExportDialog::cancelRunningExport() {
    if (busy_) {
        task_->cancel();
        closeAfterCancel_ = true;
    }
    return busy_;
}

void ExportDialog::reject() {
    if (!cancelRunningExport()) {
        QDialog::reject();
    }
}

void ExportDialog::closeEvent(QCloseEvent* event) {
    if (cancelRunningExport()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace veltro::exporting
