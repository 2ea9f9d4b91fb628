#pragma once

#include "import/FieldMapping.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace veltro::import {

struct PresetMatch {
    QString program;  // "Thunderbird", "Outlook" or "Google"
    FieldMapping mapping;
};

// Recognises the header line of the CSV files that Thunderbird, Outlook and Google
// Contacts write (by their English column names, without regard to case) and maps their
// columns to the card fields. The heading comes from the display name where the file has
// one, else from the last name. The card's address and numbers come from the business
// columns where there are both (Google's numbered columns by each row's type); the other
// columns go to the card's further details (mapping.extras()), none to both. Nothing when the
// headers are not such a layout.
[[nodiscard]] std::optional<PresetMatch> presetMapping(const QStringList& headers,
                                                       const QString& category);

}  // namespace veltro::import
