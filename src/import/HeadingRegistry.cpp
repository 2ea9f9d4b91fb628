#include "import/HeadingRegistry.h"

#include "store/CaseFold.h"

namespace veltro::import {

namespace {

QString numbered(const QString& heading, int suffix) {
    return heading + u'_' + QString::number(suffix);
}

}  // namespace

void HeadingRegistry::add(QStringView heading) {
    folded_.insert(store::foldCase(heading));
}

bool HeadingRegistry::contains(QStringView heading) const {
    return folded_.contains(store::foldCase(heading));
}

QString HeadingRegistry::claim(const QString& heading) {
    // Folding works letter by letter, so fold(heading + "_n") is fold(heading) + "_n".
    QString folded = store::foldCase(heading);
    if (!folded_.contains(folded)) {
        folded_.insert(std::move(folded));
        return heading;
    }
    int& suffix = nextSuffix_[folded];
    suffix = std::max(suffix, 1);
    while (folded_.contains(numbered(folded, suffix))) {
        ++suffix;
    }
    folded_.insert(numbered(folded, suffix));
    return numbered(heading, suffix++);
}

}  // namespace veltro::import
