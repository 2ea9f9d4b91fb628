#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringView>

namespace veltro::import {

// The headings that are taken, compared without regard to case, so that every card keeps
// a heading of its own.
class HeadingRegistry {
public:
    void add(QStringView heading);
    [[nodiscard]] bool contains(QStringView heading) const;
    // The heading itself when it is free, else the first free one of heading + "_1", "_2",
    // ...; the result is taken from then on.
    QString claim(const QString& heading);

private:
    QSet<QString> folded_;
    // Per folded heading, the suffix below which every numbered form is taken. Names are
    // only ever added, so the first free suffix never goes down and a run of repeats costs
    // one probe each rather than one per earlier repeat.
    QHash<QString, int> nextSuffix_;
};

}  // namespace veltro::import
