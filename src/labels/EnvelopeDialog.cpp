#include "labels/EnvelopeDialog.h"

#include "base/Counted.h"
#include "labels/CardAddress.h"
#include "platform/WidgetTools.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>

namespace veltro::labels {

using platform::named;

EnvelopeDialog::EnvelopeDialog(CardSet shown, CardSet found, const QString& sender,
                               QPrinter& printer, QWidget* parent)
    : PagesDialog(printer, QStringLiteral("Umschlag drucken"), parent),
      shown_(std::move(shown)),
      found_(std::move(found)),
      sender_(sender.simplified()) {
    setObjectName(QStringLiteral("frmUmschlag"));
    cards_ = named(new QComboBox(this), "cmbKarten");
    cards_->addItem(QStringLiteral("%1 (%2)").arg(shown_.name).arg(shown_.cards.size()));
    cards_->addItem(QStringLiteral("%1 (%2)").arg(found_.name).arg(found_.cards.size()));
    form()->addRow(QStringLiteral("&Karten:"), cards_);
    addAddressChoice();

    formats_ = named(new QComboBox(this), "cmbFormat");
    for (const EnvelopeFormatInfo& info : envelopeFormats()) {
        formats_->addItem(info.name, info.id);
    }
    form()->addRow(QStringLiteral("&Format:"), formats_);
    auto* forms = new QHBoxLayout;
    formA_ = named(new QRadioButton(QStringLiteral("Brief Form &A"), this), "optFormA");
    formB_ = named(new QRadioButton(QStringLiteral("Brief Form &B"), this), "optFormB");
    formB_->setChecked(true);
    forms->addWidget(formA_);
    forms->addWidget(formB_);
    form()->addRow(QStringLiteral("Fenster:"), forms);

    withSender_ =
        named(new QCheckBox(QStringLiteral("R&ücksendeangabe drucken"), this), "chkAbsender");
    withSender_->setChecked(!sender_.isEmpty());
    withSender_->setEnabled(!sender_.isEmpty());
    withSender_->setToolTip(sender_.isEmpty()
                                ? QStringLiteral("Die Rücksendeangabe steht in den Optionen "
                                                 "unter „Drucken“.")
                                : sender_);
    form()->addRow(withSender_);
    turned_ = named(new QCheckBox(QStringLiteral("Hochkant &einziehen (kurze Kante zuerst)"), this),
                    "chkGedreht");
    form()->addRow(turned_);
    face_ = named(new QFontComboBox(this), "cmbSchrift");
    points_ = named(new QDoubleSpinBox(this), "spnGroesse");
    points_->setRange(7.0, 72.0);
    points_->setSingleStep(0.5);
    points_->setValue(11.0);
    points_->setSuffix(QStringLiteral(" pt"));
    form()->addRow(QStringLiteral("Sc&hrift:"), face_);
    form()->addRow(QStringLiteral("&Größe:"), points_);

    const auto changed = [this] {
        const bool hasForms = formatInfo(options().format).hasForms;
        formA_->setEnabled(hasForms);
        formB_->setEnabled(hasForms);
        refresh();
    };
    connect(cards_, &QComboBox::currentIndexChanged, this, changed);
    connect(formats_, &QComboBox::currentIndexChanged, this, changed);
    connect(formA_, &QRadioButton::toggled, this, changed);
    connect(withSender_, &QCheckBox::toggled, this, changed);
    connect(turned_, &QCheckBox::toggled, this, changed);
    connect(face_, &QFontComboBox::currentFontChanged, this, changed);
    connect(points_, &QDoubleSpinBox::valueChanged, this, changed);
    changed();
}

EnvelopeOptions EnvelopeDialog::options() const {
    EnvelopeOptions options;
    options.format = envelopeById(formats_->currentData().toString()).value_or(EnvelopeFormat::DL);
    options.form = formA_->isChecked() ? LetterForm::A : LetterForm::B;
    options.sender = withSender_->isChecked() ? sender_ : QString();
    options.style = {face_->currentFont().family(), points_->value(), false};
    options.turned = turned_->isChecked();
    return options;
}

const std::vector<store::Card>& EnvelopeDialog::chosenCards() const {
    return cards_->currentIndex() == 0 ? shown_.cards : found_.cards;
}

SizeMm EnvelopeDialog::pageSize() const {
    return envelopePage(options());
}

QString EnvelopeDialog::documentTitle() const {
    return QStringLiteral("Umschläge");
}

QString EnvelopeDialog::problem() const {
    return chosenCards().empty() ? QStringLiteral("Keine Karte gewählt.") : QString();
}

QString EnvelopeDialog::draw(PageCanvas& canvas) {
    const auto& cards = chosenCards();
    const auto all = static_cast<long long>(cards.size());
    const bool shortened = previewing() && all > kPreviewPages;
    std::vector<QStringList> addresses;
    addresses.reserve(cards.size());
    for (const store::Card& card : cards) {
        if (shortened && addresses.size() == kPreviewPages) {
            break;
        }
        addresses.push_back(addressOf(card, shown_.extrasOf));
    }
    const auto printed = drawEnvelopes(canvas, options(), addresses);
    QStringList cut;
    for (std::size_t i = 0; i < printed.size(); ++i) {
        if (printed[i].cut) {
            cut << cards[i].text(store::Field::Schlagworte);
        }
    }
    QString note = counted(all, "Umschlag", "Umschläge") + u'.';
    if (shortened) {
        note += QStringLiteral(" Die Vorschau zeigt die ersten %1.").arg(kPreviewPages);
    }
    if (!cut.isEmpty()) {
        note += QStringLiteral("\n%1 passen nicht ganz ins Fenster; gekürzt (rot markiert): %2")
                    .arg(cut.size())
                    .arg(cut.join(QStringLiteral(", ")));
    }
    return note;
}

}  // namespace veltro::labels
