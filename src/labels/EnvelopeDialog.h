#pragma once

#include "labels/EnvelopeDocument.h"
#include "labels/PagesDialog.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QRadioButton;

namespace veltro::labels {

// "Umschlag drucken": the shown card or the list's cards, one envelope each, the address in
// the window of the chosen format, the sender line from the options above it.
class EnvelopeDialog final : public PagesDialog {
    Q_OBJECT
public:
    EnvelopeDialog(CardSet shown, CardSet found, const QString& sender, QPrinter& printer,
                   QWidget* parent);

    [[nodiscard]] EnvelopeOptions options() const;

protected:
    [[nodiscard]] SizeMm pageSize() const override;
    [[nodiscard]] QString documentTitle() const override;
    QString draw(PageCanvas& canvas) override;
    [[nodiscard]] QString problem() const override;

private:
    [[nodiscard]] const std::vector<store::Card>& chosenCards() const;

    CardSet shown_;
    CardSet found_;
    QString sender_;
    QComboBox* cards_ = nullptr;
    QComboBox* formats_ = nullptr;
    QRadioButton* formA_ = nullptr;
    QRadioButton* formB_ = nullptr;
    QCheckBox* withSender_ = nullptr;
    QCheckBox* turned_ = nullptr;
    QFontComboBox* face_ = nullptr;
    QDoubleSpinBox* points_ = nullptr;
};

}  // namespace veltro::labels
