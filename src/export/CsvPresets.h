#pragma once

#include "export/ExportOptions.h"
#include "store/CardExtras.h"
#include "store/CardFields.h"

#include <QString>

#include <optional>
#include <span>
#include <string_view>

namespace veltro::exporting {

// How a column of another program's layout is filled from a card.
enum class PresetSource {
    Empty,        // a column we have nothing for
    Field,        // the field as it is
    DisplayName,  // "Vorname Nachname", else the company, else the heading
    Phone,        // area code and number
    Notes,        // the notes as plain text
    PostalLines,  // street, then postcode and town, on two lines
    Label,        // a fixed label, written only when the partner column has a value
    Nickname,
    JobTitle,
    BirthdayIso,    // 1980-02-29, or --02-29 without the year
    BirthdayUs,     // 2/29/1980, only with the year
    AnniversaryUs,  // the same for the anniversary
    BirthYear,      // each part on its own
    BirthMonth,
    BirthDay,
    Entry,           // a part of a further entry (see EntrySlot)
    EntryTypeLabel,  // the type of that entry in English ("Home", "Work", "Mobile" …)
};

// Which further entry a column takes: the `nth` of the kind (of the type, where one is given).
struct EntrySlot {
    enum class Part { Value, Postcode, Town, Country, Lines };
    store::EntryKind kind = store::EntryKind::Telefon;
    std::optional<store::EntryType> type;
    int nth = 0;
    Part part = Part::Value;
};

struct PresetColumn {
    std::u16string_view header;
    PresetSource source = PresetSource::Empty;
    store::Field field = store::Field::Nr;
    std::u16string_view label = {};
    int partner = 0;  // for Label: offset of the column the label describes
    EntrySlot slot = {};
};

// The columns of a preset in that program's order; empty for CsvPreset::None. Address and
// numbers go into the business columns, where every program shows them.
[[nodiscard]] std::span<const PresetColumn> presetColumns(CsvPreset preset);

// The text of every column of the preset for one card.
[[nodiscard]] std::vector<QString> presetRow(std::span<const PresetColumn> columns,
                                             const store::Card& card,
                                             const store::CardExtras& extras = {});

}  // namespace veltro::exporting
