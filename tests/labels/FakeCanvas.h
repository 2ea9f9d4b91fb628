#pragma once

#include "labels/PageCanvas.h"

#include <vector>

namespace veltro::testing {

// Every character 0.2 mm per point wide, every line 0.4 mm per point high; draws nothing
// but records what would be drawn.
class FakeCanvas final : public labels::PageCanvas {
public:
    struct Text {
        int page;
        double x, top, points;
        QString text;
    };

    void setStyle(const labels::TextStyle& style) override { style_ = style; }
    [[nodiscard]] double textWidth(const QString& text) const override {
        return static_cast<double>(text.size()) * style_.points * 0.2;
    }
    [[nodiscard]] double lineHeight() const override { return style_.points * 0.4; }
    void beginPage() override { ++pages; }
    void drawText(double x, double top, const QString& text) override {
        texts.push_back({pages - 1, x, top, style_.points, text});
    }
    void drawRect(const labels::RectMm& rect) override { frames.push_back(rect); }
    void drawLine(double, double, double, double) override {}
    void setTurned(bool value) override { turned = value; }
    void markCut(const labels::RectMm& rect) override { cutMarks.push_back(rect); }

    int pages = 0;
    bool turned = false;
    std::vector<Text> texts;
    std::vector<labels::RectMm> frames;
    std::vector<labels::RectMm> cutMarks;

private:
    labels::TextStyle style_;
};

}  // namespace veltro::testing
