#include "maintenance/RestoreDialog.h"
#include "platform/HelpKey.h"
#include "platform/Placement.h"

#include "backup/BackupFiles.h"
#include "backup/Restore.h"
#include "base/Failure.h"
#include "platform/Platform.h"
#include "platform/WidgetTools.h"
#include "richtext/RichTextBlock.h"
#include "store/CardIndex.h"
#include "store/StoreError.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace veltro::maintenance {

using platform::named;
using store::Field;

namespace {

constexpr int kPathRole = Qt::UserRole;

struct Caption {
    Field field;
    const char16_t* text;
};

// The fields under the captions and in the order of the window's card view.
constexpr std::array<Caption, store::kFieldCount - 2> kLines = {{
    {Field::Schlagworte, u"Karte"},
    {Field::Kategorien, u"Kategorie"},
    {Field::Anrede, u"Anrede"},
    {Field::Vorname, u"Vorname"},
    {Field::Nachname, u"Nachname"},
    {Field::Firma, u"Firma"},
    {Field::Abteilung, u"Abteilung"},
    {Field::Strasse, u"Straße"},
    {Field::Postleitzahl, u"Plz"},
    {Field::Ort, u"Ort"},
    {Field::Vorwahl, u"Vorwahl"},
    {Field::Telefon, u"Tel"},
    {Field::Fax, u"Fax"},
    {Field::Mobiltelefon, u"Mobil"},
    {Field::EMailAdresse, u"E-Mail"},
    {Field::Webseite, u"Webseite"},
    {Field::Nr, u"Nr."},
}};

// Room for an address of five lines without a scroll bar.
constexpr int kAddressLines = 5;

}  // namespace

RestoreDialog::RestoreDialog(const std::filesystem::path& storeFile, QWidget* parent)
    : QDialog(parent), storeFile_(storeFile) {
    setObjectName(QStringLiteral("SicherungWiederherstellen"));
    setWindowTitle(QStringLiteral("Sicherung wiederherstellen"));
    platform::setHelpPage(*this, QStringLiteral("optionen.html"));
    setModal(true);
    buildUi();
    fillBackups();
}

void RestoreDialog::buildUi() {
    backups_ = named(new QTreeWidget(this), "Sicherungen");
    backups_->setAccessibleName(QStringLiteral("Sicherungen"));
    backups_->setHeaderLabels(
        {QStringLiteral("Datum"), QStringLiteral("Uhrzeit"), QStringLiteral("Karten")});
    backups_->setRootIsDecorated(false);
    backups_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(backups_, &QTreeWidget::currentItemChanged, this, [this] { showBackup(); });
    cards_ = named(new QListWidget(this), "SicherungKarten");
    cards_->setAccessibleName(QStringLiteral("Karten der Sicherung"));
    connect(cards_, &QListWidget::currentRowChanged, this, [this] { showCard(); });

    auto* columns = new QHBoxLayout();
    columns->addWidget(backups_, 2);
    columns->addWidget(cards_, 2);
    // The card's many fields scroll on a small screen.
    auto* card = new QScrollArea(this);
    card->setWidget(buildCardView());
    card->setWidgetResizable(true);
    card->setFrameShape(QFrame::NoFrame);
    card->setAccessibleName(QStringLiteral("Karte der Sicherung"));
    columns->addWidget(card, 3);

    state_ = named(new QLabel(this), "SicherungHinweis");
    state_->setWordWrap(true);
    state_->setAccessibleName(QStringLiteral("Hinweis"));
    auto* restore =
        named(new QPushButton(QStringLiteral("&Wiederherstellen"), this), "Wiederherstellen");
    auto* close = named(new QPushButton(QStringLiteral("&Schließen"), this), "Schliessen");
    connect(restore, &QPushButton::clicked, this, [this] { Wiederherstellen_Click(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(state_, 1);
    buttons->addWidget(restore);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Wählen Sie eine Sicherung; ihre Karten werden nur "
                                            "angezeigt, bis Sie sie wiederherstellen."),
                             this);
    setAccessibleDescription(intro->text());  // read out as the dialog opens
    layout->addWidget(intro);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    platform::resizeWithin(*this, {980, 560});
}

QWidget* RestoreDialog::buildCardView() {
    auto* view = new QWidget(this);
    auto* form = new QFormLayout(view);
    for (const Caption& line : kLines) {
        auto* box =
            named(new QLineEdit(view), QStringLiteral("Sicherung") + store::columnName(line.field));
        box->setReadOnly(true);
        fields_.at(static_cast<std::size_t>(line.field)) = box;
        form->addRow(QString::fromUtf16(line.text), box);
    }
    address_ = named(new richtext::RichTextBlock(view), "SicherungAnschrift");
    notes_ = named(new richtext::RichTextBlock(view), "SicherungNotizen");
    for (auto* block : {address_, notes_}) {
        block->setReadOnly(true);
    }
    address_->setMinimumHeight(address_->fontMetrics().lineSpacing() * kAddressLines +
                               2 * address_->frameWidth() + 8);
    form->addRow(QStringLiteral("Anschrift"), address_);
    form->addRow(QStringLiteral("Notizen"), notes_);
    return view;
}

void RestoreDialog::fillBackups() {
    for (const backup::BackupFile& file : backup::listBackups(backup::backupFolder(storeFile_))) {
        QString cards;
        try {
            cards = QString::number(backup::inspectBackup(file.path).cards);
        } catch (const store::StoreError&) {
            cards = QStringLiteral("nicht lesbar");
        }
        auto* item =
            new QTreeWidgetItem(backups_, {file.time.toString(QStringLiteral("dd.MM.yyyy")),
                                           file.time.toString(QStringLiteral("HH:mm")), cards});
        item->setTextAlignment(2, Qt::AlignRight);
        item->setData(0, kPathRole, QString::fromStdString(file.path.string()));
    }
    if (backups_->topLevelItemCount() == 0) {
        state_->setText(QStringLiteral("Es gibt noch keine Sicherung dieser Kartei."));
        return;
    }
    backups_->setCurrentItem(backups_->topLevelItem(0));
}

std::optional<std::filesystem::path> RestoreDialog::selectedBackup() const {
    const QTreeWidgetItem* item = backups_->currentItem();
    if (item == nullptr) {
        return std::nullopt;
    }
    return std::filesystem::path(item->data(0, kPathRole).toString().toStdString());
}

void RestoreDialog::showBackup() {
    cards_->clear();
    ids_.clear();
    shown_.reset();
    state_->clear();
    const auto file = selectedBackup();
    if (!file) {
        return;
    }
    try {
        shown_.emplace(store::CardStore::openForReading(*file));
        store::CardIndex index;
        index.load(*shown_);
        for (std::int32_t i = 0; i < index.size(); ++i) {
            ids_.push_back(index.id(i));
            cards_->addItem(index.heading(i));
        }
    } catch (...) {
        shown_.reset();
        state_->setText(QStringLiteral("Diese Sicherung lässt sich nicht lesen. ") +
                        describeFailure(std::current_exception()).text);
    }
    cards_->setCurrentRow(ids_.empty() ? -1 : 0);
    showCard();
}

void RestoreDialog::showCard() {
    const int row = cards_->currentRow();
    std::optional<store::Card> card;
    if (shown_ && row >= 0 && static_cast<std::size_t>(row) < ids_.size()) {
        try {
            card = shown_->loadCard(ids_[static_cast<std::size_t>(row)]);
        } catch (const store::StoreError&) {
            // The view stays empty.
        }
    }
    const store::Card empty;
    const store::Card& shown = card ? *card : empty;
    for (std::size_t i = 0; i < store::kFieldCount; ++i) {
        if (fields_[i] != nullptr) {
            fields_[i]->setText(shown.text(static_cast<Field>(i)));
        }
    }
    address_->setRtfText(shown.text(Field::Anschrift));
    notes_->setRtfText(shown.text(Field::Notizen));
}

void RestoreDialog::Wiederherstellen_Click() {
    const QTreeWidgetItem* item = backups_->currentItem();
    const auto file = selectedBackup();
    if (item == nullptr || !file) {
        platform::current().beep();
        return;
    }
    const auto answer = platform::current().message(
        {QStringLiteral("Soll die Kartei durch die Sicherung vom %1 um %2 Uhr ersetzt werden?\n\n"
                        "Die jetzige Kartei wird vorher selbst gesichert.")
             .arg(item->text(0), item->text(1)),
         windowTitle(), platform::Buttons::YesNo, platform::Icon::Question, 0});
    if (answer != platform::Answer::Yes) {
        return;
    }
    shown_.reset();
    chosen_ = file;
    accept();
}

}  // namespace veltro::maintenance
