#pragma once

#include <QString>

namespace veltro {

// Removes blanks only, unlike QString::trimmed: line feeds and tabs stay where they are.
[[nodiscard]] inline QString trimBlanks(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == u' ') {
        ++from;
    }
    while (to > from && text.at(to - 1) == u' ') {
        --to;
    }
    return text.mid(from, to - from);
}

}  // namespace veltro
