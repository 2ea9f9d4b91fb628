#pragma once

#include "labels/Millimetres.h"

#include <QString>

namespace veltro::labels {

struct TextStyle {
    QString face;  // empty: the default face
    double points = 10.0;
    bool bold = false;

    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

// How long a text is in a style, in millimetres.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    virtual void setStyle(const TextStyle& style) = 0;
    [[nodiscard]] virtual double textWidth(const QString& text) const = 0;
    // From one line's top to the next one's.
    [[nodiscard]] virtual double lineHeight() const = 0;
};

// A stack of pages of one size, drawn in millimetres from each page's top-left corner.
class PageCanvas : public TextMetrics {
public:
    // The first call starts the first page, every further one a new page.
    virtual void beginPage() = 0;
    // Text whose line box starts at (x, top).
    virtual void drawText(double x, double top, const QString& text) = 0;
    virtual void drawRect(const RectMm& rect) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2) = 0;
    // Draws on the page as if it were turned a quarter: what is drawn across the page's
    // height stands upright when the printer feeds it short edge first.
    virtual void setTurned(bool turned) = 0;
    // Marks a place whose text had to be cut; only a preview shows it.
    virtual void markCut(const RectMm& rect) = 0;
};

}  // namespace veltro::labels
