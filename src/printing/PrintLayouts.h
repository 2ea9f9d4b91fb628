#pragma once

#include "printing/PrintData.h"
#include "printing/PrintJob.h"
#include "store/ComingDates.h"

#include <span>

namespace veltro::printing {

enum class PrintLayout { Address, Notes, Fields, Card };

// Each layout sets up the page, prints its lines and ends the job. The items of a labelled
// line go into print zones of 14 columns, so every value of a layout starts in the same
// column and the category never runs into the card number.

// The whole card: heading, fields and notes.
void AllesDrucken(PrintJob& job, const PrintData& data);
// The address fields and the card number.
void EingabefelderDrucken(PrintJob& job, const PrintData& data);
// The address block as plain text, in its own face, placed by the margins.
void AnschriftDrucken(PrintJob& job, const PrintData& data);
// The notes as plain text.
void NotizenDrucken(PrintJob& job, const PrintData& data);

// The coming birthdays and anniversaries under a heading: date, name, occasion and age.
void GeburtstageDrucken(PrintJob& job, const QString& heading,
                        std::span<const store::ComingDate> dates);

void printLayout(PrintLayout layout, PrintJob& job, const PrintData& data);

// The telephone or fax item: the number, after the dialling code in parentheses if there is one.
[[nodiscard]] QString numberWithCode(const QString& code, const QString& number);

}  // namespace veltro::printing
