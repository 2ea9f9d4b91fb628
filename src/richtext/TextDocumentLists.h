#pragma once

#include "richtext/RichDocument.h"

#include <QTextListFormat>

#include <array>
#include <map>

class QTextBlock;
class QTextCursor;
class QTextList;

namespace veltro::richtext {

// Makes paragraphs list items while a document is filled: one QTextList per list and level,
// continued across other paragraphs, and a new one for a level after an item of a higher
// level of its list, where numbering starts again. The QTextLists of one list carry a number
// of their own, unique in the process, so that pasting keeps lists apart.
class QtListBuilder {
public:
    // The block of the cursor becomes the item.
    void add(QTextCursor& cursor, const ListItem& item);

private:
    QTextListFormat qtListFormat(const ListItem& item);

    std::map<int, std::array<QTextList*, kMaxListLevel + 1>> lists_;
    std::map<int, int> ids_;  // list -> its number in the QTextLists
};

// Reads the list items of a document's paragraphs, which must come in document order. Lists
// made by the editor have no number of their own: one whose first item follows an item of a
// higher level, or starts a level its neighbours do not have yet, belongs to their list.
class QtListReader {
public:
    ListItem itemOf(const QTextBlock& block);

private:
    int listOf(const QTextList* list, int level);

    std::map<int, int> ids_;                 // number of the QTextLists -> list
    std::map<const QTextList*, int> lists_;  // -> list
    std::map<int, std::array<const QTextList*, kMaxListLevel + 1>> levels_;
    int count_ = 0;
    int previous_ = 0;  // the list of the paragraph before, 0 when it was no item
    int previousLevel_ = 0;
};

}  // namespace veltro::richtext
