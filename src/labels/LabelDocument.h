#pragma once

#include "labels/LabelSheet.h"
#include "labels/PageCanvas.h"

#include <QStringList>

#include <vector>

namespace veltro::labels {

struct LabelOptions {
    LabelSheet sheet;
    int start = 1;  // position of the first label on the first sheet, from 1
    TextStyle style;
    bool frames = false;  // a frame round every label, for test prints
};

// What became of one address.
struct PlacedLabel {
    int page = 0;  // from 0
    RectMm rect;   // the label
    RectMm text;   // where its text may go
    double points = 0.0;
    bool shrunk = false;
    bool cut = false;
};

// The room between a label's edge and its text.
inline constexpr double kLabelPaddingX = 4.0;
inline constexpr double kLabelPaddingY = 3.0;

// Where each address goes, without drawing: the sheet and the start position decide.
[[nodiscard]] RectMm labelFor(const LabelOptions& options, int address, int* page);
// Draws one label per address, sheet after sheet; the result has one entry per address.
std::vector<PlacedLabel> drawLabels(PageCanvas& canvas, const LabelOptions& options,
                                    const std::vector<QStringList>& addresses);

}  // namespace veltro::labels
