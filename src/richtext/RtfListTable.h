#pragma once

#include "richtext/RichDocument.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <utility>
#include <vector>

namespace veltro::richtext {

// The list definitions of newer writers: \listtable with its levels and \listoverridetable,
// which gives each definition the number that \lsN names in a paragraph.
class RtfListTable {
public:
    void beginList();
    void setListId(int id);
    void beginLevel();
    void setNumberFormat(int format);  // \levelnfc
    void setStart(int start);          // \levelstartat
    // \leveltext as read: its length, then text with the level placeholders U+0000 … U+0008.
    void setLevelText(QStringView text);

    void beginOverride();
    void setOverrideListId(int id);
    void setOverrideNumber(int ls);

    struct LevelFormat {
        bool labelled = true;  // false: the level shows no label, its paragraphs are no items
        ListItem item;         // style, prefix, suffix and start
    };
    // The format of `level` in the list \lsN names; nullopt when that list is unknown.
    [[nodiscard]] std::optional<LevelFormat> level(int ls, int level) const;

private:
    struct Level {
        int format = 0;
        int start = 1;
        QString text;
    };
    struct List {
        int id = 0;
        std::vector<Level> levels;
    };
    Level* currentLevel();

    std::vector<List> lists_;
    std::vector<std::pair<int, int>> overrides_;  // (list id, ls)
};

// A list label written as text ("1.", "b)", "(iv)", "•") as the item it stands for, with its
// number as start; nullopt when it is no label we know.
std::optional<ListItem> listItemFromLabel(QStringView label);

// The bullet a label character draws.
std::optional<ListStyle> bulletStyle(QChar label);

}  // namespace veltro::richtext
