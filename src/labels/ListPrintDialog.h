#pragma once

#include "labels/ListDocument.h"
#include "labels/PagesDialog.h"

class QDoubleSpinBox;
class QListWidget;
class QRadioButton;

namespace veltro::labels {

// "Liste drucken": the list's cards in its order, one row each, in the chosen columns.
class ListPrintDialog final : public PagesDialog {
    Q_OBJECT
public:
    ListPrintDialog(CardSet shown, QPrinter& printer, QWidget* parent);

    [[nodiscard]] ListOptions options() const;

protected:
    [[nodiscard]] SizeMm pageSize() const override;
    [[nodiscard]] QString documentTitle() const override;
    QString draw(PageCanvas& canvas) override;
    [[nodiscard]] QString problem() const override;

private:
    CardSet shown_;
    QListWidget* columns_ = nullptr;
    QRadioButton* landscape_ = nullptr;
    QDoubleSpinBox* points_ = nullptr;
};

}  // namespace veltro::labels
