// RtfReader's list items: labels, \pn formats of older writers and \ls of newer ones.
#include "richtext/RtfReader.h"

#include "richtext/RtfReaderLimits.h"

#include <algorithm>

namespace veltro::richtext {

using namespace limits;

void RtfReader::closeListLabel() {
    unplacedLabel_ = std::exchange(label_, QString()).trimmed();
    labelItem_ = listItemFromLabel(unplacedLabel_);
}

bool RtfReader::paragraphIsItem() const {
    const ParaState& para = stack_.back().para;
    return para.listOverride > 0 || (para.pn.seen && !para.pn.continues) || labelItem_;
}

void RtfReader::placeLabel() {
    if (unplacedLabel_.isEmpty()) {
        return;
    }
    // An item's label is drawn by the list; any other label stays as the text it was.
    if (!paragraphIsItem()) {
        run_ += unplacedLabel_ + u'\t';
    }
    unplacedLabel_.clear();
}

// What list the ending paragraph is an item of: \ls names a definition of the list table;
// older writers give the format in \pn; a label alone still tells bullets and numbers apart.
ListItem RtfReader::listItem() {
    const ParaState& para = state().para;
    ListItem item;
    if (para.listOverride > 0) {
        previousAnonymous_ = 0;
        if (const auto level = lists_.level(para.listOverride, para.listLevel)) {
            if (!level->labelled) {
                return {};
            }
            item = level->item;
        } else if (para.pn.seen) {
            item = pnItem(para.pn);
        } else if (labelItem_) {
            item = *labelItem_;
        }
        item.list = para.listOverride;
        item.level = para.listLevel;
    } else if (para.pn.seen && !para.pn.continues) {
        item = pnItem(para.pn);
        item.list = anonymousList(item);
    } else if (labelItem_) {
        item = *labelItem_;
        item.list = anonymousList(item);
    } else {
        previousAnonymous_ = 0;
    }
    return item;
}

ListItem RtfReader::pnItem(const PnState& pn) {
    ListItem item;
    item.level = pn.level;
    if (pn.bullet) {
        item.style = bulletStyle(pn.before.isEmpty() ? QChar() : pn.before.front())
                         .value_or(ListStyle::Disc);
        return item;
    }
    item.style = pn.style;
    item.prefix = pn.before;
    item.suffix = pn.after;
    item.start = pn.start;
    return item;
}

// Items of older writers have no list number: a run of them is one list, as long as each level
// keeps its format.
int RtfReader::anonymousList(ListItem& item) {
    std::optional<ListItem>& level =
        anonymousLevels_[static_cast<std::size_t>(std::clamp(item.level, 0, kMaxListLevel))];
    const bool sameFormat = level && level->style == item.style && level->prefix == item.prefix &&
                            level->suffix == item.suffix;
    if (previousAnonymous_ == 0 || (level && !sameFormat)) {
        previousAnonymous_ = --anonymousLists_;
        anonymousLevels_ = {};
    }
    if (level) {
        item.start = level->start;  // later items often restate their own number as start
    } else {
        level = item;
    }
    return previousAnonymous_;
}

}  // namespace veltro::richtext
