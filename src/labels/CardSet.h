#pragma once

#include "store/CardFields.h"

#include <QString>

#include <vector>

namespace veltro::labels {

// Cards a dialog can print, under the name its card choice shows.
struct CardSet {
    QString name;
    std::vector<store::Card> cards;
};

}  // namespace veltro::labels
