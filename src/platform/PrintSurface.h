#pragma once

#include <QString>
#include <QStringList>

namespace veltro::platform {

struct PrintFont {
    QString face;
    double points = 10.0;
    bool bold = false;
    bool italic = false;

    friend bool operator==(const PrintFont&, const PrintFont&) = default;
};

// A drawing surface in page units (210 × 297 across the printable area) that prints
// one line of the current font at a time, breaking pages by itself.
class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    // The coordinates of the printable area's top-left corner: with (-20, -22) the
    // first line starts 20 units right of and 22 units below that corner. Also moves
    // the print position back to the first line.
    virtual void setOrigin(double left, double top) = 0;
    virtual void setFont(const PrintFont& font) = 0;
    // Prints the items on the current line and moves one line down. The first item starts
    // at the left origin, every further one at the next print zone (every 14 columns of the
    // current font's average character width) with at least one blank's room after the item
    // before it, so that labelled values line up and never run into each other.
    virtual void printItems(const QStringList& items) = 0;
    // Sends the job to the printer.
    virtual void finish() = 0;

    void printLine(const QString& text) { printItems(QStringList{text}); }
};

}  // namespace veltro::platform
