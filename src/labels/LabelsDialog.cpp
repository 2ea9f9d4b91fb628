#include "labels/LabelsDialog.h"

#include "base/Counted.h"
#include "labels/CardAddress.h"
#include "platform/WidgetTools.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QSpinBox>

namespace veltro::labels {

using platform::named;

namespace {

enum CardChoice { Category, Found, Ticked };

QDoubleSpinBox* millimetres(QWidget* parent, const char* name, double max) {
    auto* box = named(new QDoubleSpinBox(parent), name);
    box->setRange(0.0, max);
    box->setDecimals(2);
    box->setSingleStep(0.5);
    box->setSuffix(QStringLiteral(" mm"));
    return box;
}

QString cardCount(const QString& name, std::size_t count) {
    return QStringLiteral("%1 (%2)").arg(name).arg(count);
}

}  // namespace

LabelsDialog::LabelsDialog(CardSet category, CardSet found, QPrinter& printer, QWidget* parent)
    : PagesDialog(printer, QStringLiteral("Etiketten drucken"), parent),
      category_(std::move(category)),
      found_(std::move(found)) {
    setObjectName(QStringLiteral("frmEtiketten"));
    buildCardChoice();
    addAddressChoice();
    buildSheetChoice();
    face_ = named(new QFontComboBox(this), "cmbSchrift");
    points_ = named(new QDoubleSpinBox(this), "spnGroesse");
    points_->setRange(7.0, 72.0);
    points_->setSingleStep(0.5);
    points_->setValue(10.0);
    points_->setSuffix(QStringLiteral(" pt"));
    form()->addRow(QStringLiteral("Sc&hrift:"), face_);
    form()->addRow(QStringLiteral("&Größe:"), points_);
    frames_ = named(new QCheckBox(QStringLiteral("&Rahmen um jedes Etikett (Probedruck)"), this),
                    "chkRahmen");
    form()->addRow(frames_);
    connect(face_, &QFontComboBox::currentFontChanged, this, [this] { refresh(); });
    connect(points_, &QDoubleSpinBox::valueChanged, this, [this] { refresh(); });
    connect(frames_, &QCheckBox::toggled, this, [this] { refresh(); });
    sheetChanged();
}

void LabelsDialog::buildCardChoice() {
    cards_ = named(new QComboBox(this), "cmbKarten");
    cards_->addItem(cardCount(category_.name, category_.cards.size()));
    cards_->addItem(cardCount(found_.name, found_.cards.size()));
    cards_->addItem(QStringLiteral("Angehakte Karten"));
    cards_->setCurrentIndex(found_.cards.size() != category_.cards.size() ? Found : Category);
    ticks_ = named(new QListWidget(this), "lstKarten");
    for (const store::Card& card : category_.cards) {
        auto* item = new QListWidgetItem(card.text(store::Field::Schlagworte), ticks_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    ticks_->setMaximumHeight(140);
    form()->addRow(QStringLiteral("&Karten:"), cards_);
    form()->addRow(ticks_);
    const auto choiceChanged = [this] {
        ticks_->setVisible(cards_->currentIndex() == Ticked);
        refresh();
    };
    connect(cards_, &QComboBox::currentIndexChanged, this, choiceChanged);
    connect(ticks_, &QListWidget::itemChanged, this, [this] { refresh(); });
    ticks_->setVisible(cards_->currentIndex() == Ticked);
}

void LabelsDialog::buildSheetChoice() {
    sheets_ = named(new QComboBox(this), "cmbBogen");
    for (const LabelSheet& sheet : sheetCatalogue()) {
        sheets_->addItem(sheet.name, sheet.id);
    }
    sheets_->addItem(customSheet().name, kCustomSheetId);
    form()->addRow(QStringLiteral("&Bogen:"), sheets_);
    custom_ = buildCustomSheet();
    form()->addRow(custom_);
    start_ = named(new QSpinBox(this), "spnStart");
    start_->setToolTip(
        QStringLiteral("Bei einem angebrochenen Bogen: das erste freie Etikett, "
                       "gezählt zeilenweise von links oben"));
    form()->addRow(QStringLiteral("&Erstes Etikett:"), start_);
    connect(sheets_, &QComboBox::currentIndexChanged, this, [this] { sheetChanged(); });
    connect(start_, &QSpinBox::valueChanged, this, [this] { refresh(); });
}

QGroupBox* LabelsDialog::buildCustomSheet() {
    auto* group = named(new QGroupBox(QStringLiteral("Eigenes Format"), this), "fraEigenes");
    auto* layout = new QFormLayout(group);
    const std::array<std::pair<const char*, const char*>, 6> sizes = {{
        {"spnRandOben", "Rand &oben:"},
        {"spnRandLinks", "Rand &links:"},
        {"spnBreite", "Etikettbrei&te:"},
        {"spnHoehe", "Et&iketthöhe:"},
        {"spnAbstandX", "Abstand &waagerecht:"},
        {"spnAbstandY", "Abstand se&nkrecht:"},
    }};
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        customSizes_[i] = millimetres(group, sizes[i].first, 297.0);
        layout->addRow(QString::fromUtf8(sizes[i].second), customSizes_[i]);
        connect(customSizes_[i], &QDoubleSpinBox::valueChanged, this, [this] { sheetChanged(); });
    }
    columns_ = named(new QSpinBox(group), "spnSpalten");
    columns_->setRange(1, 20);
    rows_ = named(new QSpinBox(group), "spnZeilen");
    rows_->setRange(1, 40);
    layout->addRow(QStringLiteral("Sp&alten:"), columns_);
    layout->addRow(QStringLiteral("&Zeilen:"), rows_);
    connect(columns_, &QSpinBox::valueChanged, this, [this] { sheetChanged(); });
    connect(rows_, &QSpinBox::valueChanged, this, [this] { sheetChanged(); });
    const LabelSheet start = customSheet();
    const std::array values = {start.top,          start.left, start.label.width,
                               start.label.height, start.gapX, start.gapY};
    for (std::size_t i = 0; i < values.size(); ++i) {
        customSizes_[i]->setValue(values[i]);
    }
    columns_->setValue(start.columns);
    rows_->setValue(start.rows);
    return group;
}

LabelSheet LabelsDialog::sheet() const {
    if (const auto known = sheetById(sheets_->currentData().toString())) {
        return *known;
    }
    LabelSheet own = customSheet();
    own.top = customSizes_[0]->value();
    own.left = customSizes_[1]->value();
    own.label = {customSizes_[2]->value(), customSizes_[3]->value()};
    own.gapX = customSizes_[4]->value();
    own.gapY = customSizes_[5]->value();
    own.columns = columns_->value();
    own.rows = rows_->value();
    return own;
}

void LabelsDialog::sheetChanged() {
    if (start_ == nullptr || columns_ == nullptr || rows_ == nullptr) {
        return;  // still being built
    }
    const LabelSheet chosen = sheet();
    custom_->setVisible(chosen.id == kCustomSheetId);
    {
        const QSignalBlocker quiet(start_);
        start_->setRange(1, std::max(1, chosen.count()));
    }
    refresh();
}

LabelOptions LabelsDialog::options() const {
    return {sheet(),
            start_->value(),
            {face_->currentFont().family(), points_->value(), false},
            frames_->isChecked()};
}

std::vector<store::Card> LabelsDialog::chosenCards() const {
    switch (cards_->currentIndex()) {
        case Category:
            return category_.cards;
        case Found:
            return found_.cards;
        default:
            break;
    }
    std::vector<store::Card> ticked;
    for (int row = 0; row < ticks_->count(); ++row) {
        if (ticks_->item(row)->checkState() == Qt::Checked) {
            ticked.push_back(category_.cards[static_cast<std::size_t>(row)]);
        }
    }
    return ticked;
}

SizeMm LabelsDialog::pageSize() const {
    return sheet().page;
}

QString LabelsDialog::documentTitle() const {
    return QStringLiteral("Etiketten");
}

QString LabelsDialog::problem() const {
    if (const auto why = sheet().problem()) {
        return *why;
    }
    return chosenCards().empty() ? QStringLiteral("Keine Karten gewählt.") : QString();
}

QString LabelsDialog::draw(PageCanvas& canvas) {
    const std::vector<store::Card> cards = chosenCards();
    const LabelOptions chosen = options();
    const auto all = static_cast<long long>(cards.size());
    const long long room =
        static_cast<long long>(kPreviewPages) * chosen.sheet.count() - (chosen.start - 1);
    const bool shortened = previewing() && all > room;
    std::vector<QStringList> addresses;
    addresses.reserve(cards.size());
    for (const store::Card& card : cards) {
        if (shortened && static_cast<long long>(addresses.size()) == room) {
            break;
        }
        addresses.push_back(addressOf(card, category_.extrasOf));
    }
    const auto placed = drawLabels(canvas, chosen, addresses);
    QStringList cut;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (placed[i].cut) {
            cut << cards[i].text(store::Field::Schlagworte);
        }
    }
    QString note = counted(all, "Etikett", "Etiketten");
    note += shortened
                ? QStringLiteral(". Die Vorschau zeigt die ersten %1 Bogen.").arg(kPreviewPages)
                : QStringLiteral(" auf %1 Bogen.").arg(placed.empty() ? 1 : placed.back().page + 1);
    if (!cut.isEmpty()) {
        note += QStringLiteral("\n%1 passen nicht ganz; ihr Text ist gekürzt (rot markiert): %2")
                    .arg(cut.size())
                    .arg(cut.join(QStringLiteral(", ")));
    }
    return note;
}

}  // namespace veltro::labels
