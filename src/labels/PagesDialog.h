#pragma once

#include "labels/CardSet.h"
#include "labels/Millimetres.h"
#include "labels/PageCanvas.h"

#include <QDialog>
#include <QPrinter>

class QComboBox;
class QFormLayout;
class QLabel;
class QPrintPreviewWidget;
class QPushButton;

namespace veltro::labels {

// A dialog with its settings on the left and the pages they make on the right, printed on
// the program's printer or saved as PDF. Subclasses add their settings and draw the pages.
class PagesDialog : public QDialog {
    Q_OBJECT
public:
    PagesDialog(QPrinter& printer, const QString& title, QWidget* parent);

    // The note under the preview: how many pages, what had to be cut.
    [[nodiscard]] QString note() const;
    void printPages();
    void savePdf();

protected:
    // The preview draws no more than this many pages, so that it keeps up with a large card
    // file; printing and PDF get every page.
    static constexpr int kPreviewPages = 20;

    [[nodiscard]] QFormLayout* form() const { return form_; }
    // A choice of the postal address to print: the card's own, or its further address of a
    // type where it has one.
    void addAddressChoice();
    [[nodiscard]] QStringList addressOf(const store::Card& card, const ExtrasOf& extrasOf) const;
    // Whether the pages being drawn are the preview's.
    [[nodiscard]] bool previewing() const { return previewing_; }
    // Draws the preview again after a setting changed.
    void refresh();
    [[nodiscard]] virtual SizeMm pageSize() const = 0;
    [[nodiscard]] virtual QString documentTitle() const = 0;
    // Draws the pages and returns the note that goes with them; an empty canvas where
    // the settings cannot be printed.
    virtual QString draw(PageCanvas& canvas) = 0;
    // Why nothing can be printed now; empty when it can.
    [[nodiscard]] virtual QString problem() const = 0;

private:
    QPrinter& printer_;
    QPrinter previewPrinter_{QPrinter::HighResolution};
    QFormLayout* form_ = nullptr;
    QComboBox* addressType_ = nullptr;
    QPrintPreviewWidget* preview_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* pdf_ = nullptr;
    bool previewing_ = false;
};

}  // namespace veltro::labels
