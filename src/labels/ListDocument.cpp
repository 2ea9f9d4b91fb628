#include "labels/ListDocument.h"

#include "labels/FitText.h"
#include "labels/ListColumns.h"

#include <algorithm>
#include <cmath>

namespace veltro::labels {

namespace {

constexpr double kHeadingPoints = 12.0;
constexpr double kCellGap = 2.0;  // room between a cell's text and the next column
constexpr double kRowSpacing = 1.25;

TextStyle bold(TextStyle style, double points) {
    style.bold = true;
    style.points = points;
    return style;
}

double bodyTopOf(const ListOptions& options, TextMetrics& metrics) {
    metrics.setStyle(bold(options.style, kHeadingPoints));
    const double heading = metrics.lineHeight();
    metrics.setStyle(bold(options.style, options.style.points));
    return kListMargin + heading * 1.5 + metrics.lineHeight() * 1.4;
}

void drawHeader(PageCanvas& canvas, const ListOptions& options, const ListLayout& layout,
                const SizeMm& page) {
    canvas.setStyle(bold(options.style, kHeadingPoints));
    const double right = page.width - kListMargin;
    const QString date = options.date.isValid() ? options.date.toString(u"dd.MM.yyyy") : QString();
    const double dateWidth = canvas.textWidth(date);
    canvas.drawText(kListMargin, kListMargin,
                    elided(options.title, right - kListMargin - dateWidth - 5.0, canvas));
    canvas.drawText(right - dateWidth, kListMargin, date);
    canvas.setStyle(bold(options.style, options.style.points));
    const double top = kListMargin + (layout.bodyTop - kListMargin) * 0.5;
    for (std::size_t i = 0; i < layout.columns.size(); ++i) {
        const RectMm& column = layout.columns[i];
        canvas.drawText(column.x, top,
                        elided(layout.names[static_cast<qsizetype>(i)], column.width, canvas));
    }
    const double rule = layout.bodyTop - canvas.lineHeight() * 0.2;
    canvas.drawLine(kListMargin, rule, right, rule);
}

void drawFooter(PageCanvas& canvas, const ListOptions& options, const SizeMm& page, int number,
                int pages) {
    canvas.setStyle(options.style);
    const QString text = QStringLiteral("Seite %1 von %2").arg(number).arg(pages);
    canvas.drawText((page.width - canvas.textWidth(text)) / 2,
                    page.height - kListMargin + canvas.lineHeight() * 0.5, text);
}

}  // namespace

SizeMm listPage(const ListOptions& options) {
    return options.landscape ? SizeMm{kA4.height, kA4.width} : kA4;
}

ListLayout layoutList(const ListOptions& options, std::size_t rows, TextMetrics& metrics) {
    ListLayout layout;
    std::vector<ListColumn> known;
    for (const QString& name : options.columns) {
        if (const auto column = listColumnByName(name)) {
            known.push_back(*column);
            layout.names << column->name;
        }
    }
    const SizeMm page = listPage(options);
    const double width = page.width - 2 * kListMargin;
    double weights = 0.0;
    for (const ListColumn& column : known) {
        weights += column.weight;
    }
    double x = kListMargin;
    for (const ListColumn& column : known) {
        const double share = width * column.weight / weights;
        layout.columns.push_back({x, 0.0, std::max(0.0, share - kCellGap), 0.0});
        x += share;
    }
    layout.bodyTop = bodyTopOf(options, metrics);
    metrics.setStyle(options.style);
    layout.rowHeight = metrics.lineHeight() * kRowSpacing;
    const double bodyBottom = page.height - kListMargin - metrics.lineHeight();
    layout.rowsPerPage =
        std::max(1, static_cast<int>(std::floor((bodyBottom - layout.bodyTop) / layout.rowHeight)));
    const auto perPage = static_cast<std::size_t>(layout.rowsPerPage);
    layout.pages = std::max(1, static_cast<int>((rows + perPage - 1) / perPage));
    return layout;
}

int drawList(PageCanvas& canvas, const ListOptions& options, std::span<const store::Card> cards) {
    const ListLayout layout = layoutList(options, cards.size(), canvas);
    const SizeMm page = listPage(options);
    std::size_t next = 0;
    const int drawn =
        options.maxPages > 0 ? std::min(options.maxPages, layout.pages) : layout.pages;
    for (int number = 1; number <= drawn; ++number) {
        canvas.beginPage();
        drawHeader(canvas, options, layout, page);
        drawFooter(canvas, options, page, number, layout.pages);
        canvas.setStyle(options.style);
        double top = layout.bodyTop;
        for (int row = 0; row < layout.rowsPerPage && next < cards.size(); ++row, ++next) {
            for (std::size_t i = 0; i < layout.columns.size(); ++i) {
                const RectMm& column = layout.columns[i];
                const QString text = cellText(cards[next], layout.names[static_cast<qsizetype>(i)],
                                              options.addressOf);
                canvas.drawText(column.x, top, elided(text, column.width, canvas));
            }
            top += layout.rowHeight;
        }
    }
    return layout.pages;
}

}  // namespace veltro::labels
