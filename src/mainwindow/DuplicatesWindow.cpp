#include "mainwindow/DuplicatesWindow.h"
#include "platform/HelpKey.h"
#include "platform/Placement.h"

#include "platform/WidgetTools.h"
#include "richtext/StoredText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace veltro::mainwindow {

using duplicates::Group;
using duplicates::MergePlan;
using platform::named;
using store::Field;

namespace {

// The row of the notes comes last and has no ticks: they are joined.
constexpr int kNotesRow = static_cast<int>(store::kFieldCount) - 1;

Field fieldOfRow(int row) {
    // Every field in table order; Notizen is the last one.
    return static_cast<Field>(row);
}

QString oneLine(const store::Card& card, Field field) {
    QString text = card.text(field);
    if (field == Field::Anschrift || field == Field::Notizen) {
        return richtext::plainTextFromStored(text, richtext::LineBreak::Lf)
            .trimmed()
            .replace(u'\n', QStringLiteral(" / "));
    }
    return text;
}

QString groupTitle(const Group& group, const std::vector<QString>& headings) {
    unsigned reasons = 0;
    for (const auto& pair : group.pairs) {
        reasons |= pair.reasons;
    }
    return QStringList(headings.begin(), headings.end()).join(QStringLiteral(" – ")) +
           QStringLiteral("\n    ") + duplicates::reasonText(reasons) +
           QStringLiteral(" (%1 %)").arg(group.score());
}

}  // namespace

DuplicatesWindow::DuplicatesWindow(store::CardStore& store, std::vector<Group> groups,
                                   Actions actions, QWidget* parent)
    : QDialog(parent), store_(store), groups_(std::move(groups)), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("frmDubletten"));
    setWindowTitle(QStringLiteral("Doppelte Karten"));
    platform::setHelpPage(*this, QStringLiteral("dubletten.html"));
    buildWidgets();
    fillGroups();
    platform::resizeWithin(*this, {1000, 620});
}

void DuplicatesWindow::buildWidgets() {
    lstGruppen_ = named(new QListWidget, "lstGruppen");
    lstGruppen_->setAccessibleName(QStringLiteral("Gruppen doppelter Karten"));
    lblGruende_ = named(new QLabel, "lblGruende");
    lblGruende_->setWordWrap(true);
    cmbBehalten_ = named(new QComboBox, "cmbBehalten");
    tblFelder_ = named(new QTableWidget, "tblFelder");
    tblFelder_->setAccessibleName(QStringLiteral("Felder der Karten"));
    tblFelder_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblFelder_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tblFelder_->setWordWrap(false);
    tblFelder_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    lstGruppen_->setMinimumWidth(260);
    lstGruppen_->setWordWrap(true);
    cmdZusammenfuehren_ =
        named(new QPushButton(QStringLiteral("&Zusammenführen")), "cmdZusammenfuehren");
    cmdKeineDubletten_ =
        named(new QPushButton(QStringLiteral("&Keine Dubletten")), "cmdKeineDubletten");
    auto* close = named(new QPushButton(QStringLiteral("&Schließen")), "cmdSchliessen");

    auto* keep = new QHBoxLayout;
    keep->addWidget(new QLabel(QStringLiteral("Bleibt erhalten:")));
    keep->addWidget(cmbBehalten_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdZusammenfuehren_);
    buttons->addWidget(cmdKeineDubletten_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* right = new QWidget;
    auto* column = new QVBoxLayout(right);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(lblGruende_);
    column->addLayout(keep);
    column->addWidget(tblFelder_, 1);
    auto* hint = new QLabel(QStringLiteral(
        "Markierte Felder unterscheiden sich. Das Häkchen wählt, welche Karte das Feld gibt; "
        "Notizen werden aneinandergehängt, nicht übernommene Werte in die Notizen geschrieben."));
    hint->setWordWrap(true);
    column->addWidget(hint);
    auto* splitter = new QSplitter;
    splitter->addWidget(lstGruppen_);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({320, 680});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    connect(lstGruppen_, &QListWidget::currentRowChanged, this, [this] { lstGruppen_Click(); });
    connect(cmbBehalten_, &QComboBox::currentIndexChanged, this, [this] { cmbBehalten_Click(); });
    connect(tblFelder_, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { tickChanged(item); });
    connect(cmdZusammenfuehren_, &QPushButton::clicked, this,
            [this] { cmdZusammenfuehren_Click(); });
    connect(cmdKeineDubletten_, &QPushButton::clicked, this, [this] { cmdKeineDubletten_Click(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void DuplicatesWindow::fillGroups() {
    const QSignalBlocker quiet(lstGruppen_);
    lstGruppen_->clear();
    for (const Group& group : groups_) {
        std::vector<QString> headings;
        for (const auto id : group.cards) {
            const auto card = store_.loadCard(id);
            headings.push_back(card ? card->text(Field::Schlagworte) : QString());
        }
        lstGruppen_->addItem(groupTitle(group, headings));
    }
    showGroup(groups_.empty() ? -1 : 0);
}

void DuplicatesWindow::lstGruppen_Click() {
    showGroup(lstGruppen_->currentRow());
}

void DuplicatesWindow::showGroup(int row) {
    shownGroup_ = row;
    shown_.clear();
    {
        const QSignalBlocker quiet(lstGruppen_);
        lstGruppen_->setCurrentRow(row);
    }
    const bool any = row >= 0 && row < static_cast<int>(groups_.size());
    {
        const QSignalBlocker quiet(cmbBehalten_);
        cmbBehalten_->clear();
        if (any) {
            for (const auto id : groups_[static_cast<std::size_t>(row)].cards) {
                if (auto card = store_.loadCard(id)) {
                    cmbBehalten_->addItem(card->text(Field::Schlagworte));
                    shown_.push_back(std::move(*card));
                }
            }
        }
    }
    cmdZusammenfuehren_->setEnabled(shown_.size() >= 2);
    cmdKeineDubletten_->setEnabled(shown_.size() >= 2);
    if (!any) {
        lblGruende_->setText(groups_.empty() ? QStringLiteral("Keine doppelten Karten (mehr).")
                                             : QString());
    } else {
        QStringList reasons;
        for (const auto& pair : groups_[static_cast<std::size_t>(row)].pairs) {
            const auto heading = [&](std::int64_t id) {
                for (const auto& card : shown_) {
                    if (card.id == id) {
                        return card.text(Field::Schlagworte);
                    }
                }
                return QString();
            };
            reasons << QStringLiteral("„%1“ und „%2“: %3")
                           .arg(heading(pair.a), heading(pair.b),
                                duplicates::reasonText(pair.reasons));
        }
        lblGruende_->setText(reasons.join(u'\n'));
    }
    fillTable();
}

int DuplicatesWindow::keptColumn() const {
    return std::max(0, cmbBehalten_->currentIndex());
}

void DuplicatesWindow::cmbBehalten_Click() {
    fillTable();
}

void DuplicatesWindow::fillTable() {
    filling_ = true;
    tblFelder_->clear();
    const int columns = static_cast<int>(shown_.size());
    tblFelder_->setColumnCount(columns);
    tblFelder_->setRowCount(columns == 0 ? 0 : static_cast<int>(store::kFieldCount));
    const int kept = keptColumn();
    QStringList headers;
    for (int c = 0; c < columns; ++c) {
        headers << shown_[static_cast<std::size_t>(c)].text(Field::Schlagworte) +
                       (c == kept ? QStringLiteral(" (bleibt)") : QString());
    }
    tblFelder_->setHorizontalHeaderLabels(headers);
    const QColor marked(255, 228, 181);
    std::vector<MergePlan> proposed;  // by column, against the kept card
    for (const auto& card : shown_) {
        proposed.push_back(duplicates::proposedMerge(shown_[static_cast<std::size_t>(kept)], card));
    }
    for (int row = 0; columns > 0 && row < static_cast<int>(store::kFieldCount); ++row) {
        const Field field = fieldOfRow(row);
        bool differs = false;
        for (int c = 1; c < columns; ++c) {
            differs = differs ||
                      duplicates::differs(shown_[0], shown_[static_cast<std::size_t>(c)], field);
        }
        // The kept card's value unless the first card proposed for its gap gives it.
        int ticked = kept;
        for (int c = 0; c < columns; ++c) {
            if (proposed[static_cast<std::size_t>(c)].takes(field)) {
                ticked = c;
                break;
            }
        }
        bool empty = true;
        for (const auto& card : shown_) {
            empty = empty && oneLine(card, field).trimmed().isEmpty();
        }
        // A field no card fills has nothing to choose.
        tblFelder_->setRowHidden(row, empty);
        auto* header = new QTableWidgetItem((differs ? QStringLiteral("≠ ") : QString()) +
                                            store::columnName(field));
        tblFelder_->setVerticalHeaderItem(row, header);
        for (int c = 0; c < columns; ++c) {
            auto* item = new QTableWidgetItem(oneLine(shown_[static_cast<std::size_t>(c)], field));
            item->setToolTip(item->text());
            if (row == kNotesRow) {
                item->setFlags(Qt::ItemIsEnabled);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
                item->setCheckState(c == ticked ? Qt::Checked : Qt::Unchecked);
            }
            if (differs) {
                item->setBackground(marked);
            }
            tblFelder_->setItem(row, c, item);
        }
    }
    filling_ = false;
}

// One tick a row: ticking a card's value unticks the others; the last tick stays.
void DuplicatesWindow::tickChanged(QTableWidgetItem* item) {
    if (filling_ || item->row() == kNotesRow) {
        return;
    }
    filling_ = true;
    const int row = item->row();
    if (item->checkState() == Qt::Checked) {
        for (int c = 0; c < tblFelder_->columnCount(); ++c) {
            if (c != item->column()) {
                tblFelder_->item(row, c)->setCheckState(Qt::Unchecked);
            }
        }
    } else {
        item->setCheckState(Qt::Checked);
    }
    filling_ = false;
}

std::vector<MergePlan> DuplicatesWindow::plans() const {
    std::vector<MergePlan> plans;
    const int kept = keptColumn();
    for (int c = 0; c < static_cast<int>(shown_.size()); ++c) {
        if (c == kept) {
            continue;
        }
        MergePlan plan{
            shown_[static_cast<std::size_t>(kept)].id, shown_[static_cast<std::size_t>(c)].id, {}};
        for (int row = 0; row < kNotesRow; ++row) {
            plan.take(fieldOfRow(row), tblFelder_->item(row, c)->checkState() == Qt::Checked);
        }
        plans.push_back(plan);
    }
    return plans;
}

void DuplicatesWindow::cmdZusammenfuehren_Click() {
    if (shown_.size() < 2) {
        return;
    }
    setEnabled(false);  // until the merge has ended
    QPointer<DuplicatesWindow> self(this);
    const auto ended = [self](bool merged) {
        if (self) {
            self->setEnabled(true);
            if (merged) {
                self->dropShownGroup();
            }
        }
    };
    if (!actions_.merge(plans(), ended)) {
        setEnabled(true);
    }
}

void DuplicatesWindow::cmdKeineDubletten_Click() {
    if (shownGroup_ < 0 ||
        !actions_.notDuplicates(groups_[static_cast<std::size_t>(shownGroup_)])) {
        return;
    }
    dropShownGroup();
}

void DuplicatesWindow::dropShownGroup() {
    const int row = shownGroup_;
    groups_.erase(groups_.begin() + row);
    {
        const QSignalBlocker quiet(lstGruppen_);
        delete lstGruppen_->takeItem(row);
    }
    showGroup(groups_.empty() ? -1 : std::min(row, static_cast<int>(groups_.size()) - 1));
}

}  // namespace veltro::mainwindow
