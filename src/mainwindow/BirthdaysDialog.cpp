#include "mainwindow/BirthdaysDialog.h"

#include "base/Counted.h"
#include "platform/HelpKey.h"
#include "platform/Placement.h"
#include "platform/WidgetTools.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace veltro::mainwindow {

using platform::named;

namespace {

constexpr int kMostDays = 365;

QPushButton* plainButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = named(new QPushButton(text, parent), name);
    // Enter in the list opens the line; it never presses a button.
    button->setAutoDefault(false);
    return button;
}

}  // namespace

BirthdaysDialog::BirthdaysDialog(std::vector<store::CardDate> dates, QDate today, int days,
                                 Actions actions, QWidget* parent)
    : QDialog(parent), dates_(std::move(dates)), today_(today), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("frmGeburtstage"));
    setWindowTitle(QStringLiteral("Geburtstage"));
    platform::setHelpPage(*this, QStringLiteral("geburtstage.html"));
    buildWidgets(days);
    spnTage_Change();
    // Enter opens the first line at once.
    lstTermine_->setFocus();
    platform::resizeWithin(*this, {620, 420});
}

void BirthdaysDialog::buildWidgets(int days) {
    auto* tageLabel = new QLabel(QStringLiteral("In den nächsten &Tagen:"), this);
    spnTage_ = named(new QSpinBox(this), "spnTage");
    spnTage_->setRange(0, kMostDays);
    spnTage_->setValue(days);
    spnTage_->setAccessibleName(QStringLiteral("Tage"));
    tageLabel->setBuddy(spnTage_);
    connect(spnTage_, &QSpinBox::valueChanged, this, [this] { spnTage_Change(); });

    lblAnzahl_ = named(new QLabel(this), "lblAnzahl");
    lstTermine_ = named(new QTableWidget(0, 4, this), "lstTermine");
    lstTermine_->setAccessibleName(QStringLiteral("Kommende Geburtstage und Jahrestage"));
    lstTermine_->setHorizontalHeaderLabels({QStringLiteral("Datum"), QStringLiteral("Name"),
                                            QStringLiteral("Anlass"), QStringLiteral("Alter")});
    lstTermine_->verticalHeader()->hide();
    lstTermine_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstTermine_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstTermine_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstTermine_->setTabKeyNavigation(false);
    lstTermine_->setWordWrap(false);
    lstTermine_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    connect(lstTermine_, &QAbstractItemView::activated, this, [this] { lstTermine_Activate(); });

    auto* drucken = plainButton(QStringLiteral("&Drucken…"), "cmdDrucken", this);
    connect(drucken, &QPushButton::clicked, this, [this] { cmdDrucken_Click(); });
    auto* schliessen = plainButton(QStringLiteral("&Schließen"), "cmdSchliessen", this);
    connect(schliessen, &QPushButton::clicked, this, &QDialog::close);

    auto* top = new QHBoxLayout();
    top->addWidget(tageLabel);
    top->addWidget(spnTage_);
    top->addSpacing(12);
    top->addWidget(lblAnzahl_, 1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(drucken);
    buttons->addWidget(schliessen);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lstTermine_, 1);
    layout->addLayout(buttons);
}

void BirthdaysDialog::spnTage_Change() {
    const int days = spnTage_->value();
    coming_ = store::comingDates(dates_, today_, days);
    const QString until = today_.addDays(days).toString(u"dd.MM.yyyy");
    const auto count = static_cast<long long>(coming_.size());
    lblAnzahl_->setText(
        (count == 0 ? QStringLiteral("Keine") : counted(count, "Termin", "Termine")) +
        QStringLiteral(" bis %1").arg(until));
    lstTermine_->setRowCount(static_cast<int>(coming_.size()));
    for (int row = 0; row < lstTermine_->rowCount(); ++row) {
        const store::ComingDate& date = coming_[static_cast<std::size_t>(row)];
        const QString cells[] = {store::shownDay(date.day), date.of.heading,
                                 store::dateKindName(date.of.kind),
                                 date.years ? QString::number(*date.years) : QString()};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column == 3) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            lstTermine_->setItem(row, column, item);
        }
    }
    lstTermine_->resizeColumnToContents(0);
    lstTermine_->resizeColumnToContents(2);
    if (!coming_.empty()) {
        lstTermine_->setCurrentCell(0, 0);
    }
}

void BirthdaysDialog::lstTermine_Activate() {
    const int row = lstTermine_->currentRow();
    if (row >= 0 && row < static_cast<int>(coming_.size()) && actions_.showCard) {
        actions_.showCard(coming_[static_cast<std::size_t>(row)].of.card);
    }
}

QString BirthdaysDialog::heading() const {
    return QStringLiteral("Geburtstage und Jahrestage vom %1 bis %2")
        .arg(today_.toString(u"dd.MM.yyyy"),
             today_.addDays(spnTage_->value()).toString(u"dd.MM.yyyy"));
}

void BirthdaysDialog::cmdDrucken_Click() {
    if (actions_.print) {
        actions_.print(heading(), coming_);
    }
}

}  // namespace veltro::mainwindow
