#pragma once

#include <QString>
#include <QStringView>

#include <QSet>

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
};

}  // namespace veltro::import
