#include "import/HeadingRegistry.h"

#include "store/CaseFold.h"
#include "store/FoldedUtf8.h"

#include <algorithm>

namespace veltro::import {

namespace {

std::string foldedUtf8(QStringView heading) {
    const QByteArray utf8 = heading.toUtf8();
    const std::string_view bytes(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    std::string folded;
    if (store::isValidUtf8(bytes)) {
        store::appendFoldedUtf8(bytes, folded);
    } else {
        const QByteArray foldedBytes = store::foldCase(heading).toUtf8();
        folded.assign(foldedBytes.constData(), static_cast<std::size_t>(foldedBytes.size()));
    }
    return folded;
}

std::string numbered(const std::string& folded, int suffix) {
    return folded + '_' + std::to_string(suffix);
}

}  // namespace

void HeadingRegistry::reserve(std::size_t headings) {
    folded_.reserve(headings);
}

void HeadingRegistry::add(QStringView heading) {
    folded_.insert(foldedUtf8(heading));
}

void HeadingRegistry::addUtf8(std::string_view heading) {
    if (!store::isValidUtf8(heading)) {
        add(QString::fromUtf8(heading.data(), static_cast<qsizetype>(heading.size())));
        return;
    }
    scratch_.clear();
    store::appendFoldedUtf8(heading, scratch_);
    folded_.insert(scratch_);
}

bool HeadingRegistry::contains(QStringView heading) const {
    return folded_.contains(foldedUtf8(heading));
}

QString HeadingRegistry::claim(const QString& heading) {
    // Folding works letter by letter, so fold(heading + "_n") is fold(heading) + "_n".
    const std::string folded = foldedUtf8(heading);
    if (folded_.insert(folded)) {
        return heading;
    }
    int& suffix = nextSuffix_[folded];
    suffix = std::max(suffix, 1);
    while (folded_.contains(numbered(folded, suffix))) {
        ++suffix;
    }
    folded_.insert(numbered(folded, suffix));
    return heading + u'_' + QString::number(suffix++);
}

}  // namespace veltro::import
