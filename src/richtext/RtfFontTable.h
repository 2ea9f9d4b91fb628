#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>

namespace veltro::richtext {

// The fonts of \fonttbl by number: face name and code page. An entry is read piece by piece as
// the reader meets \fN, \fcharsetN or \cpgN, the name's text, and the ';' or '}' that ends it.
class RtfFontTable {
public:
    void beginEntry(int index, std::size_t groupDepth);
    void setCharset(int charset);
    void setCodePage(int codePage);
    // Where the entry's name text goes; null when no entry is open.
    QString* nameTarget() { return open_ ? &name_ : nullptr; }
    // Ends the name at a ';' that arrived with the last text.
    void nameTextAdded();
    // An entry ends with the group it began in (RTF 1.0 tables have no inner groups).
    void groupClosing(std::size_t groupDepth);

    // Code page for the entry's own name text; nullopt: the document's.
    std::optional<int> entryCodePage() const { return codePage_; }
    QString family(int font) const;
    std::optional<int> codePage(int font) const;
    // Counts the entries written, so a reader can tell that what it looked up still holds.
    std::uint32_t changes() const { return changes_; }

private:
    struct Entry {
        QString name;
        std::optional<int> codePage;
    };
    void commit();

    std::map<int, Entry> fonts_;
    std::uint32_t changes_ = 0;  // keyed by number: Word uses numbers like 31505
    bool open_ = false;
    int index_ = 0;
    std::size_t depth_ = 0;
    std::optional<int> codePage_;
    QString name_;
};

}  // namespace veltro::richtext
