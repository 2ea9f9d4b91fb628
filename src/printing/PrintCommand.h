#pragma once

#include "printing/PrintLayouts.h"

#include <QString>

#include <optional>

namespace veltro::printing {

// The places a print command is started from.
enum class PrintEntry {
    MenuAddress,   // mnuDruckAnschrift
    MenuNotes,     // mnuDruckNotizen
    MenuFields,    // mnuDruckEingabefelder
    MenuCard,      // mnuDruckGesamt2
    CardMenuCard,  // mnuDruckGesamt
    PopupAddress,  // popaDrucken
    PopupNotes,    // popnDrucken
};

// The widget with the keyboard focus when the print button is clicked.
enum class FocusedWidget { AddressBlock, NotesBlock, CardList, Other };

// A layout and the question asked before it prints (none: it prints at once).
struct PrintCommand {
    PrintLayout layout;
    std::optional<QString> question;

    bool operator==(const PrintCommand&) const = default;
};

[[nodiscard]] PrintCommand commandFor(PrintEntry entry);
// What the print button does with the focus where it is.
[[nodiscard]] PrintCommand commandForFocus(FocusedWidget focus);
// The layout's name as a person reads it, e.g. in the preview's title.
[[nodiscard]] QString layoutName(PrintLayout layout);

}  // namespace veltro::printing
