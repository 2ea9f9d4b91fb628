#include "labels/LabelDocument.h"

#include "labels/FitText.h"

#include <algorithm>

namespace veltro::labels {

namespace {

RectMm textBox(const RectMm& label) {
    return {label.x + kLabelPaddingX, label.y + kLabelPaddingY,
            std::max(0.0, label.width - 2 * kLabelPaddingX),
            std::max(0.0, label.height - 2 * kLabelPaddingY)};
}

void drawFrames(PageCanvas& canvas, const LabelSheet& sheet) {
    for (int i = 0; i < sheet.count(); ++i) {
        canvas.drawRect(sheet.labelRect(i));
    }
}

}  // namespace

RectMm labelFor(const LabelOptions& options, int address, int* page) {
    const int perSheet = std::max(1, options.sheet.count());
    const int slot = std::clamp(options.start, 1, perSheet) - 1 + address;
    if (page != nullptr) {
        *page = slot / perSheet;
    }
    return options.sheet.labelRect(slot % perSheet);
}

std::vector<PlacedLabel> drawLabels(PageCanvas& canvas, const LabelOptions& options,
                                    const std::vector<QStringList>& addresses) {
    std::vector<PlacedLabel> placed;
    placed.reserve(addresses.size());
    int shownPage = -1;
    const auto startPage = [&](int page) {
        while (shownPage < page) {
            canvas.beginPage();
            ++shownPage;
            if (options.frames) {
                drawFrames(canvas, options.sheet);
            }
        }
    };
    startPage(0);
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        PlacedLabel label;
        label.rect = labelFor(options, static_cast<int>(i), &label.page);
        label.text = textBox(label.rect);
        startPage(label.page);
        const FittedText fitted =
            fitText(addresses[i], options.style, {label.text.width, label.text.height}, canvas);
        label.points = fitted.points;
        label.shrunk = fitted.shrunk;
        label.cut = fitted.cut;
        double top = label.text.y;
        for (const QString& line : fitted.lines) {
            canvas.drawText(label.text.x, top, line);
            top += canvas.lineHeight();
        }
        if (fitted.cut) {
            canvas.markCut(label.rect);
        }
        placed.push_back(label);
    }
    return placed;
}

}  // namespace veltro::labels
