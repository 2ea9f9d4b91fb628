#include "mainwindow/EntryList.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace veltro::mainwindow {

using store::Entry;
using store::EntryKind;

namespace {

const char* const kAddressParts[] = {"Straße", "PLZ", "Ort", "Land"};
const char* const kAddressNames[] = {"Straße", "Postleitzahl", "Ort", "Land"};

QComboBox* typeChoice(EntryKind kind, store::EntryType type, QWidget* parent) {
    auto* choice = new QComboBox(parent);
    for (const store::EntryType offered : store::typesOf(kind)) {
        choice->addItem(store::typeName(offered), static_cast<int>(offered));
    }
    // A type another program gave this kind stays as it came.
    if (choice->findData(static_cast<int>(type)) < 0) {
        choice->addItem(store::typeName(type), static_cast<int>(type));
    }
    choice->setCurrentIndex(choice->findData(static_cast<int>(type)));
    choice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return choice;
}

}  // namespace

QString EntryList::entryName(EntryKind kind) {
    switch (kind) {
        case EntryKind::Telefon:
            return QStringLiteral("Telefonnummer");
        case EntryKind::EMail:
            return QStringLiteral("E-Mail-Adresse");
        case EntryKind::Anschrift:
            return QStringLiteral("Postanschrift");
        case EntryKind::Webseite:
            break;
    }
    return QStringLiteral("Webseite");
}

QString EntryList::listName(EntryKind kind) {
    switch (kind) {
        case EntryKind::Telefon:
            return QStringLiteral("Telefonnummern");
        case EntryKind::EMail:
            return QStringLiteral("E-Mail-Adressen");
        case EntryKind::Anschrift:
            return QStringLiteral("Postanschriften");
        case EntryKind::Webseite:
            break;
    }
    return QStringLiteral("Webseiten");
}

EntryList::EntryList(EntryKind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);
    auto* header = new QHBoxLayout();
    auto* heading = new QLabel(listName(kind), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    add_ = new QPushButton(QStringLiteral("Hinzufügen"), this);
    add_->setAccessibleName(entryName(kind) + QStringLiteral(" hinzufügen"));
    add_->setToolTip(add_->accessibleName());
    header->addWidget(heading, 1);
    header->addWidget(add_);
    column->addLayout(header);
    rowsLayout_ = new QVBoxLayout();
    rowsLayout_->setSpacing(3);
    column->addLayout(rowsLayout_);
    setAccessibleName(listName(kind));
    connect(add_, &QPushButton::clicked, this, [this] {
        addRow(Entry(kind_, store::typesOf(kind_).front(), {}));
        rows_.back().texts.front()->setFocus(Qt::OtherFocusReason);
        Q_EMIT edited();
    });
}

void EntryList::setEntries(const std::vector<Entry>& entries) {
    for (Row& row : rows_) {
        delete row.frame;
    }
    rows_.clear();
    for (const Entry& entry : entries) {
        if (entry.kind == kind_) {
            addRow(entry);
        }
    }
}

std::vector<Entry> EntryList::entries() const {
    std::vector<Entry> all;
    all.reserve(rows_.size());
    for (const Row& row : rows_) {
        all.push_back(entryOf(row));
    }
    return all;
}

Entry EntryList::entryOf(const Row& row) const {
    Entry entry(kind_, static_cast<store::EntryType>(row.type->currentData().toInt()),
                row.texts[0]->text());
    if (kind_ == EntryKind::Anschrift) {
        entry.postcode = row.texts[1]->text();
        entry.town = row.texts[2]->text();
        entry.country = row.texts[3]->text();
    }
    return entry;
}

void EntryList::setLocked(bool locked) {
    locked_ = locked;
    add_->setEnabled(!locked);
    for (const Row& row : rows_) {
        row.frame->setEnabled(!locked);
    }
}

void EntryList::addRow(const Entry& entry) {
    Row row;
    row.frame = new QWidget(this);
    row.frame->setEnabled(!locked_);
    auto* grid = new QGridLayout(row.frame);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(2);
    row.type = typeChoice(kind_, entry.type, row.frame);
    grid->addWidget(row.type, 0, 0);
    const bool address = kind_ == EntryKind::Anschrift;
    const QString values[] = {entry.value, entry.postcode, entry.town, entry.country};
    for (int part = 0; part < (address ? 4 : 1); ++part) {
        auto* text = new QLineEdit(values[part], row.frame);
        if (address) {
            text->setPlaceholderText(QString::fromUtf8(kAddressParts[part]));
        }
        text->installEventFilter(this);
        connect(text, &QLineEdit::textEdited, this, &EntryList::edited);
        row.texts.push_back(text);
    }
    row.remove = new QToolButton(row.frame);
    row.remove->setText(QStringLiteral("✕"));
    row.remove->setAutoRaise(true);
    grid->addWidget(row.texts[0], 0, 1, 1, 2);
    grid->addWidget(row.remove, 0, 3);
    if (address) {
        // Postcode under the type, town beside it, country and the map link below: narrow.
        grid->addWidget(row.texts[1], 1, 0);
        grid->addWidget(row.texts[2], 1, 1, 1, 2);
        grid->addWidget(row.texts[3], 2, 0, 1, 2);
        row.map = new QPushButton(QStringLiteral("Auf Karte zeigen"), row.frame);
        row.map->setAutoDefault(false);
        grid->addWidget(row.map, 2, 2);
    }
    grid->setColumnStretch(1, 1);
    row.type->installEventFilter(this);
    connect(row.type, &QComboBox::activated, this, [this] {
        Q_EMIT edited();
        Q_EMIT changedWhole();
    });
    const QWidget* frame = row.frame;
    connect(row.remove, &QToolButton::clicked, this, [this, frame] { removeRow(frame); });
    if (row.map != nullptr) {
        connect(row.map, &QPushButton::clicked, this, [this, frame] {
            const auto found = std::find_if(rows_.begin(), rows_.end(),
                                            [frame](const Row& r) { return r.frame == frame; });
            if (found != rows_.end()) {
                Q_EMIT mapWanted(entryOf(*found).value + u'\n' + found->texts[1]->text() + u' ' +
                                 found->texts[2]->text() + u'\n' + found->texts[3]->text());
            }
        });
    }
    // Tab goes from "Hinzufügen" through the entries in the order they stand.
    QWidget* previous = rows_.empty() ? static_cast<QWidget*>(add_) : rows_.back().lastInTab();
    for (QWidget* next : row.tabOrder()) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    }
    rowsLayout_->addWidget(row.frame);
    rows_.push_back(row);
    nameRows();
}

std::vector<QWidget*> EntryList::Row::tabOrder() const {
    std::vector<QWidget*> order{type};
    order.insert(order.end(), texts.begin(), texts.end());
    order.push_back(remove);
    if (map != nullptr) {
        order.push_back(map);
    }
    return order;
}

void EntryList::removeRow(const QWidget* frame) {
    const auto found = std::find_if(rows_.begin(), rows_.end(),
                                    [frame](const Row& row) { return row.frame == frame; });
    if (found == rows_.end()) {
        return;
    }
    // The button that asked is inside the row: it goes once its click is done.
    found->frame->hide();
    found->frame->deleteLater();
    rows_.erase(found);
    nameRows();
    Q_EMIT edited();
    Q_EMIT changedWhole();
}

// Screen readers name every box after its entry and place: "Telefonnummer 2", …
void EntryList::nameRows() {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        const QString name = entryName(kind_) + u' ' + QString::number(i + 1);
        row.type->setAccessibleName(name + QStringLiteral(": Art"));
        row.remove->setAccessibleName(name + QStringLiteral(" entfernen"));
        row.remove->setToolTip(QStringLiteral("Entfernen"));
        if (kind_ == EntryKind::Anschrift) {
            for (std::size_t part = 0; part < row.texts.size(); ++part) {
                row.texts[part]->setAccessibleName(name + QStringLiteral(": ") +
                                                   QString::fromUtf8(kAddressNames[part]));
            }
            row.map->setAccessibleName(name + QStringLiteral(" auf Karte zeigen"));
        } else {
            row.texts[0]->setAccessibleName(name);
        }
    }
}

bool EntryList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        Q_EMIT focusLeft();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace veltro::mainwindow
