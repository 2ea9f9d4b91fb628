#pragma once

#include "labels/PageCanvas.h"
#include "store/CardFields.h"

#include <QDate>
#include <QStringList>

#include <functional>
#include <span>

namespace veltro::labels {

struct ListOptions {
    QStringList columns;  // column names; unknown ones are left out
    bool landscape = false;
    QString title;  // above the table, e.g. the category
    QDate date;
    TextStyle style{QString(), 9.0, false};
    int maxPages = 0;  // draw no more pages than this (0: all); the page count stays the whole
    std::function<QStringList(const store::Card&)> addressOf = {};  // none: the card's own address
};

inline constexpr double kListMargin = 15.0;

[[nodiscard]] SizeMm listPage(const ListOptions& options);

// Where the list's parts go on every page.
struct ListLayout {
    std::vector<RectMm> columns;  // x and width of each known column
    QStringList names;            // their headings
    double bodyTop = 0.0;         // first row's top
    double rowHeight = 0.0;
    int rowsPerPage = 1;
    int pages = 1;
};

[[nodiscard]] ListLayout layoutList(const ListOptions& options, std::size_t rows,
                                    TextMetrics& metrics);
// Draws the cards as a table, in the given order, and returns the page count.
int drawList(PageCanvas& canvas, const ListOptions& options, std::span<const store::Card> cards);

}  // namespace veltro::labels
