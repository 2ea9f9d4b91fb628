#include "labels/ListPrintDialog.h"

#include "base/Counted.h"
#include "labels/ListColumns.h"
#include "platform/WidgetTools.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRadioButton>

namespace veltro::labels {

using platform::named;

ListPrintDialog::ListPrintDialog(CardSet shown, QPrinter& printer, QWidget* parent)
    : PagesDialog(printer, QStringLiteral("Liste drucken"), parent), shown_(std::move(shown)) {
    setObjectName(QStringLiteral("frmListe"));
    columns_ = named(new QListWidget(this), "lstSpalten");
    const QStringList chosen = defaultListColumns();
    // The default columns first, in their order, then the others.
    QStringList names = chosen;
    for (const ListColumn& column : listColumns()) {
        if (!names.contains(column.name)) {
            names << column.name;
        }
    }
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(name, columns_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable |
                       Qt::ItemIsDragEnabled);
        item->setCheckState(chosen.contains(name) ? Qt::Checked : Qt::Unchecked);
    }
    columns_->setDragDropMode(QAbstractItemView::InternalMove);
    columns_->setToolTip(QStringLiteral("Haken setzen; die Reihenfolge durch Ziehen ändern"));
    form()->addRow(QStringLiteral("Spa&lten:"), columns_);
    addAddressChoice();
    auto* orientation = new QHBoxLayout;
    auto* portrait = named(new QRadioButton(QStringLiteral("&Hochformat"), this), "optHoch");
    landscape_ = named(new QRadioButton(QStringLiteral("&Querformat"), this), "optQuer");
    portrait->setChecked(true);
    orientation->addWidget(portrait);
    orientation->addWidget(landscape_);
    form()->addRow(QStringLiteral("Seite:"), orientation);
    points_ = named(new QDoubleSpinBox(this), "spnGroesse");
    points_->setRange(7.0, 24.0);
    points_->setSingleStep(0.5);
    points_->setValue(9.0);
    points_->setSuffix(QStringLiteral(" pt"));
    form()->addRow(QStringLiteral("&Größe:"), points_);
    connect(columns_, &QListWidget::itemChanged, this, [this] { refresh(); });
    connect(columns_->model(), &QAbstractItemModel::rowsMoved, this, [this] { refresh(); });
    connect(landscape_, &QRadioButton::toggled, this, [this] { refresh(); });
    connect(points_, &QDoubleSpinBox::valueChanged, this, [this] { refresh(); });
    refresh();
}

ListOptions ListPrintDialog::options() const {
    ListOptions options;
    for (int row = 0; row < columns_->count(); ++row) {
        if (columns_->item(row)->checkState() == Qt::Checked) {
            options.columns << columns_->item(row)->text();
        }
    }
    options.landscape = landscape_->isChecked();
    options.title = shown_.name;
    options.date = QDate::currentDate();
    options.style.points = points_->value();
    options.addressOf = [this](const store::Card& card) {
        return addressOf(card, shown_.extrasOf);
    };
    return options;
}

SizeMm ListPrintDialog::pageSize() const {
    return listPage(options());
}

QString ListPrintDialog::documentTitle() const {
    return QStringLiteral("Liste");
}

QString ListPrintDialog::problem() const {
    return options().columns.isEmpty() ? QStringLiteral("Keine Spalte gewählt.") : QString();
}

QString ListPrintDialog::draw(PageCanvas& canvas) {
    ListOptions list = options();
    list.maxPages = previewing() ? kPreviewPages : 0;
    const int pages = drawList(canvas, list, shown_.cards);
    QString note = counted(static_cast<long long>(shown_.cards.size()), "Karte", "Karten") +
                   QStringLiteral(" auf ") + counted(pages, "Seite", "Seiten") + u'.';
    if (previewing() && pages > kPreviewPages) {
        note += QStringLiteral(" Die Vorschau zeigt die ersten %1.").arg(kPreviewPages);
    }
    return note;
}

}  // namespace veltro::labels
