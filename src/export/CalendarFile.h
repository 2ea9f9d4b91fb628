#pragma once

#include "store/ComingDates.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <span>

namespace veltro::exporting {

// The birthdays and anniversaries as an iCalendar file (RFC 5545) that calendar programs
// import: a yearly all-day event each, its UID lasting per card and kind. A date without a
// year starts in 2000; 29 February comes round on the last day of February. `stamp` is the
// time the file is made.
[[nodiscard]] QByteArray calendarText(std::span<const store::CardDate> dates,
                                      const QDateTime& stamp);

// Writes it to the file as a whole or not at all; nothing when written, otherwise the
// German reason.
[[nodiscard]] std::optional<QString> writeCalendar(const QString& target,
                                                   std::span<const store::CardDate> dates,
                                                   const QDateTime& stamp);

}  // namespace veltro::exporting
