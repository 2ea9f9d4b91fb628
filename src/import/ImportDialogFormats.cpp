// The import dialog's handling of files that bring their own layout: vCard files and the
// CSV files of other address books.
#include "import/ImportDialog.h"
#include "import/PresetMapping.h"
#include "import/PreviewModel.h"
#include "import/SourceColumnList.h"
#include "platform/Platform.h"
#include "vcard/VcardMapping.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <array>

namespace veltro::import {

namespace {

// Separators tried on a header line, the usual one first.
constexpr std::array<char16_t, 3> kPresetSeparators = {u',', u';', u'\t'};

void tellProblem(const QString& text) {
    platform::current().message({text, QStringLiteral("Datei importieren"), platform::Buttons::Ok,
                                 platform::Icon::Exclamation, 0});
}

}  // namespace

bool ImportDialog::listTextFile() {
    const TextSource* source = textSource();
    if (source == nullptr) {
        return false;
    }
    const QString program = recognisePreset(*source);
    const bool listed = ListView3Fuellen();
    if (!program.isEmpty()) {
        showMapping();
        setStatus(
            ui_.panel1->text() +
            QStringLiteral(" – Spalten einer %1-CSV-Datei erkannt und zugeordnet").arg(program));
    }
    return listed;
}

QString ImportDialog::recognisePreset(const TextSource& source) {
    for (const char16_t separator : kPresetSeparators) {
        RecordReader reader(source.text(), SplitOptions{QChar(separator), true, true});
        std::vector<QString> header;
        if (!reader.next(header)) {
            return {};
        }
        auto match = presetMapping(QStringList(header.begin(), header.end()), mapping_.category());
        if (!match) {
            continue;
        }
        if (separator == u'\t') {
            ui_.Option2->setChecked(true);
        } else {
            ui_.Option1->setChecked(true);
            ui_.Text3->setText(QChar(separator));
        }
        ui_.Check2->setChecked(true);
        ui_.Check1->setChecked(false);  // the header line is no card
        mapping_ = std::move(match->mapping);
        return match->program;
    }
    return {};
}

bool ImportDialog::readVcardFile() {
    ui_.ListView3->clear();
    vcardRows_.clear();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    auto read = vcard::importFile(path_, mapping_.category());
    QApplication::restoreOverrideCursor();
    if (!read) {
        tellUnreadable(false);
        return false;
    }
    if (read->rows.empty()) {
        tellProblem(
            QStringLiteral("Die Datei\n%1\nenthält keine vCard, die sich importieren lässt.")
                .arg(path_));
        return false;
    }
    listedRecords_ = static_cast<std::int64_t>(read->rows.size());
    QString status = QStringLiteral(" Gefundene Karten: %1").arg(listedRecords_);
    if (read->skipped > 0) {
        status += QStringLiteral(" – %1 fehlerhafte oder namenlose vCards werden übersprungen")
                      .arg(read->skipped);
    }
    setStatus(status);
    vcardRows_ = std::move(read->rows);
    return true;
}

}  // namespace veltro::import
