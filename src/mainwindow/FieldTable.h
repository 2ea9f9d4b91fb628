#pragma once

#include "store/CardFields.h"

#include <optional>
#include <span>

namespace veltro::mainwindow {

// When a box marks the run as changed.
enum class FlagOn { Focus, Key };
// Which of the scheme's two field colours a box takes; Text19 takes none.
enum class ColourGroup { None, First, Second };

// One field box of the card view: Text<number>, its column and its rules.
struct FieldBox {
    int number;
    store::Field field;
    bool saved;     // a save writes it back
    bool lockable;  // read-only while no card is shown
    FlagOn flagOn;  // every key press flags as well, for boxes that save
    bool swallowsEnter;
    ColourGroup colour;
};

// In the order the card view fills the boxes.
inline constexpr FieldBox kFieldTable[] = {
    {2, store::Field::Vorname, true, true, FlagOn::Focus, false, ColourGroup::First},
    {3, store::Field::Telefon, true, true, FlagOn::Focus, false, ColourGroup::Second},
    {4, store::Field::Fax, true, true, FlagOn::Focus, false, ColourGroup::Second},
    {5, store::Field::Mobiltelefon, true, true, FlagOn::Focus, false, ColourGroup::Second},
    {7, store::Field::Nachname, true, true, FlagOn::Focus, false, ColourGroup::First},
    {8, store::Field::Firma, true, true, FlagOn::Key, false, ColourGroup::Second},
    {9, store::Field::Abteilung, true, true, FlagOn::Key, false, ColourGroup::Second},
    {10, store::Field::Strasse, true, true, FlagOn::Key, false, ColourGroup::First},
    {11, store::Field::Postleitzahl, true, true, FlagOn::Key, false, ColourGroup::First},
    {12, store::Field::Ort, true, true, FlagOn::Key, false, ColourGroup::First},
    {13, store::Field::Nr, true, true, FlagOn::Key, false, ColourGroup::Second},
    {14, store::Field::Vorwahl, true, true, FlagOn::Key, false, ColourGroup::Second},
    {15, store::Field::Webseite, true, true, FlagOn::Key, true, ColourGroup::Second},
    {17, store::Field::EMailAdresse, true, true, FlagOn::Key, true, ColourGroup::Second},
    {18, store::Field::Anrede, true, true, FlagOn::Key, false, ColourGroup::First},
    {19, store::Field::Kategorien, false, false, FlagOn::Key, true, ColourGroup::None},
};

[[nodiscard]] constexpr std::optional<FieldBox> fieldBox(int number) {
    for (const FieldBox& box : kFieldTable) {
        if (box.number == number) {
            return box;
        }
    }
    return std::nullopt;
}

[[nodiscard]] constexpr std::span<const FieldBox> fieldTable() {
    return kFieldTable;
}

}  // namespace veltro::mainwindow
