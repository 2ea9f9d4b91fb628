#include "import/HeadingRegistry.h"

#include "store/CaseFold.h"

namespace veltro::import {

void HeadingRegistry::add(QStringView heading) {
    folded_.insert(store::foldCase(heading));
}

bool HeadingRegistry::contains(QStringView heading) const {
    return folded_.contains(store::foldCase(heading));
}

QString HeadingRegistry::claim(const QString& heading) {
    QString candidate = heading;
    for (int suffix = 1; contains(candidate); ++suffix) {
        candidate = heading + u'_' + QString::number(suffix);
    }
    add(candidate);
    return candidate;
}

}  // namespace veltro::import
