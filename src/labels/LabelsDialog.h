#pragma once

#include "labels/LabelDocument.h"
#include "labels/PagesDialog.h"

#include <array>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QGroupBox;
class QListWidget;
class QSpinBox;

namespace veltro::labels {

// "Etiketten drucken": the cards of the shown category, the search result or those ticked,
// one label each, on a sheet from the list or of one's own.
class LabelsDialog final : public PagesDialog {
    Q_OBJECT
public:
    // category: the shown category's cards, also the ones to tick from; found: the list's lines.
    LabelsDialog(CardSet category, CardSet found, QPrinter& printer, QWidget* parent);

    [[nodiscard]] LabelOptions options() const;
    [[nodiscard]] std::vector<store::Card> chosenCards() const;

protected:
    [[nodiscard]] SizeMm pageSize() const override;
    [[nodiscard]] QString documentTitle() const override;
    QString draw(PageCanvas& canvas) override;
    [[nodiscard]] QString problem() const override;

private:
    void buildCardChoice();
    void buildSheetChoice();
    QGroupBox* buildCustomSheet();
    void sheetChanged();
    [[nodiscard]] LabelSheet sheet() const;

    CardSet category_;
    CardSet found_;
    QComboBox* cards_ = nullptr;
    QListWidget* ticks_ = nullptr;
    QComboBox* sheets_ = nullptr;
    QGroupBox* custom_ = nullptr;
    std::array<QDoubleSpinBox*, 6> customSizes_{};  // top, left, width, height, gap x, gap y
    QSpinBox* columns_ = nullptr;
    QSpinBox* rows_ = nullptr;
    QSpinBox* start_ = nullptr;
    QFontComboBox* face_ = nullptr;
    QDoubleSpinBox* points_ = nullptr;
    QCheckBox* frames_ = nullptr;
};

}  // namespace veltro::labels
