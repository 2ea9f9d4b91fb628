#include "labels/PagesDialog.h"
#include "platform/HelpKey.h"
#include "platform/Placement.h"

#include "labels/CardAddress.h"
#include "labels/PainterCanvas.h"
#include "platform/Platform.h"
#include "platform/TellFailure.h"
#include "platform/WidgetTools.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltro::labels {

using platform::named;

PagesDialog::PagesDialog(QPrinter& printer, const QString& title, QWidget* parent)
    : QDialog(parent), printer_(printer) {
    setWindowTitle(title);
    platform::setHelpPage(*this, QStringLiteral("etiketten.html"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    form_ = new QFormLayout;
    left->addLayout(form_);
    left->addStretch(1);
    note_ = named(new QLabel(this), QStringLiteral("lblHinweis"));
    note_->setWordWrap(true);
    note_->setMinimumWidth(300);
    left->addWidget(note_);
    auto* buttons = new QDialogButtonBox(this);
    print_ = named(buttons->addButton(QStringLiteral("&Drucken…"), QDialogButtonBox::ActionRole),
                   QStringLiteral("cmdDrucken"));
    pdf_ = named(
        buttons->addButton(QStringLiteral("Als &PDF speichern…"), QDialogButtonBox::ActionRole),
        QStringLiteral("cmdPdf"));
    named(buttons->addButton(QStringLiteral("&Schließen"), QDialogButtonBox::RejectRole),
          QStringLiteral("cmdSchliessen"));
    connect(print_, &QPushButton::clicked, this,
            [this] { platform::runGuarded(QStringLiteral("Drucken"), [this] { printPages(); }); });
    connect(pdf_, &QPushButton::clicked, this, [this] {
        platform::runGuarded(QStringLiteral("Als PDF speichern"), [this] { savePdf(); });
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    left->addWidget(buttons);
    layout->addLayout(left);

    previewPrinter_.setFullPage(true);
    preview_ = named(new QPrintPreviewWidget(&previewPrinter_, this), QStringLiteral("Vorschau"));
    // Small screens get a smaller sketch; others the size it was drawn for.
    preview_->setMinimumSize(300, 360);
    preview_->fitInView();
    connect(preview_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* target) {
        const QString why = problem();
        paintPages(*target, pageSize(), true, [&](PageCanvas& canvas) {
            if (!why.isEmpty()) {
                canvas.beginPage();
                note_->setText(why);
                return;
            }
            previewing_ = true;
            // A card file that cannot be read is told, not thrown into the preview's painting.
            platform::runGuarded(QStringLiteral("Vorschau"), [&] { note_->setText(draw(canvas)); });
            previewing_ = false;
        });
    });
    layout->addWidget(preview_, 1);
    platform::resizeWithin(*this, sizeHint().expandedTo({left->sizeHint().width() + 440, 580}));
}

QString PagesDialog::note() const {
    return note_->text();
}

void PagesDialog::refresh() {
    const bool printable = problem().isEmpty();
    print_->setEnabled(printable);
    pdf_->setEnabled(printable);
    setPageSize(previewPrinter_, pageSize());
    preview_->updatePreview();
    preview_->fitInView();
}

void PagesDialog::printPages() {
    if (!problem().isEmpty() || !platform::current().setupPrinter(printer_)) {
        return;
    }
    // Without an installed printer Qt falls back to PDF output with no file: nothing to print on.
    if (printer_.outputFormat() == QPrinter::PdfFormat && printer_.outputFileName().isEmpty()) {
        return;
    }
    // The pages bring their own paper; the printer keeps its own for every other job.
    const QPageLayout before = printer_.pageLayout();
    const bool fullPage = printer_.fullPage();
    printer_.setDocName(documentTitle());
    printer_.setFullPage(true);
    setPageSize(printer_, pageSize());
    paintPages(printer_, pageSize(), false, [this](PageCanvas& canvas) { draw(canvas); });
    printer_.setFullPage(fullPage);
    printer_.setPageLayout(before);
    refresh();
}

void PagesDialog::savePdf() {
    if (!problem().isEmpty()) {
        return;
    }
    platform::FileRequest request;
    request.title = QStringLiteral("Als PDF speichern");
    request.filters = {QStringLiteral("PDF-Dateien (*.pdf)")};
    request.proposedName = documentTitle() + QStringLiteral(".pdf");
    const auto chosen = platform::current().saveFile(request);
    if (!chosen || chosen->path.isEmpty()) {
        return;
    }
    QString path = chosen->path;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
    }
    const auto failure =
        writePdf(path, documentTitle(), pageSize(), [this](PageCanvas& canvas) { draw(canvas); });
    if (failure) {
        platform::current().message(
            {QStringLiteral("Die Datei %1 lässt sich nicht schreiben: %2").arg(path, *failure),
             windowTitle(), platform::Buttons::Ok, platform::Icon::Exclamation, 0});
    }
    refresh();
}

void PagesDialog::addAddressChoice() {
    addressType_ = named(new QComboBox(this), QStringLiteral("cmbAnschriftArt"));
    addressType_->addItem(QStringLiteral("der Karte"));
    for (const store::EntryType type : store::typesOf(store::EntryKind::Anschrift)) {
        addressType_->addItem(store::typeName(type), static_cast<int>(type));
    }
    addressType_->setToolTip(QStringLiteral(
        "Karten ohne weitere Anschrift dieser Art bekommen die Anschrift der Karte."));
    form_->addRow(QStringLiteral("Ans&chrift:"), addressType_);
    connect(addressType_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
}

QStringList PagesDialog::addressOf(const store::Card& card, const ExtrasOf& extrasOf) const {
    const QVariant type = addressType_ != nullptr ? addressType_->currentData() : QVariant();
    if (!type.isValid() || !extrasOf) {
        return addressLines(card);
    }
    return addressLines(card, extrasOf(card.id), static_cast<store::EntryType>(type.toInt()));
}

}  // namespace veltro::labels
