#pragma once

#include <QIcon>
#include <QString>

namespace veltro::richtext {

// Icons of the toolbar buttons: the desktop theme's where it has one, else a drawing of our
// own, so that no button is ever blank.
class BarIcons {
public:
    // The theme's icon of this name, or our drawing for the key.
    static QIcon icon(const QString& key, const QString& themeName);
    // Our drawing for the key, at any size; a null icon for a key we do not know.
    static QIcon drawn(const QString& key);
};

}  // namespace veltro::richtext
