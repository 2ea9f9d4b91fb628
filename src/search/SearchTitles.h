#pragma once

#include <QColor>
#include <QString>

namespace veltro::search {

// What Return copies.
enum class CopyMode { Address, Notes };

// The search window reports everything in its title; these are its texts.
class SearchTitles {
public:
    static QString modeName(CopyMode mode);
    static QString opened();
    static QString modeSwitched(CopyMode mode);
    static QString emptyPrompt();
    // After a search: the count, or the heading of the one card found.
    static QString found(int count, CopyMode mode, const QString& onlyHeading);
    static QString browsing(const QString& heading, int count);
    static QString cardPrefix(const QString& lastName, const QString& postcode,
                              const QString& town);
    static QString nothingToCopy(const QString& prefix, CopyMode mode);
    static QString copied(const QString& prefix, CopyMode mode);
    // Green for exactly one card, dark red otherwise.
    static QColor hitColor(int count);
};

}  // namespace veltro::search
