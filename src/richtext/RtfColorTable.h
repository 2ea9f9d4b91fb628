#pragma once

#include "richtext/RichDocument.h"

#include <optional>
#include <vector>

namespace veltro::richtext {

// The colours of \colortbl, one entry per ';'. An entry without components is "automatic",
// so index 0 is automatic only when its entry is empty (RichEdit 1.0 writes black there).
class RtfColorTable {
public:
    enum class Component { Red, Green, Blue };

    void clear();
    void set(Component component, int value);
    void endEntry();
    // Automatic for an empty entry and for an index the table does not have.
    std::optional<Rgb> at(int index) const;

private:
    std::vector<std::optional<Rgb>> colours_;
    Rgb value_ = 0;
    bool set_ = false;
};

}  // namespace veltro::richtext
