#pragma once

#include "store/CardExtras.h"
#include "store/Sqlite.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace veltro::store {

enum class DateKind { Geburtstag, Jahrestag };

// "Geburtstag", "Jahrestag"
[[nodiscard]] QString dateKindName(DateKind kind);

// A birthday or anniversary of a card with a heading.
struct CardDate {
    std::int64_t card = 0;
    QString heading;
    QString uid;  // the card's lasting identity (KartenInfo)
    DateKind kind = DateKind::Geburtstag;
    PartialDate date;

    friend bool operator==(const CardDate&, const CardDate&) = default;
};

// Every birthday and anniversary of the cards the card list shows, in one read; none from a store
// that keeps none.
[[nodiscard]] std::vector<CardDate> cardDates(Database& db);

// The day the date comes round in the year. 29 February comes round on 28 February in
// years without it: by German civil law one born on it completes a year with that day.
[[nodiscard]] QDate dayInYear(const PartialDate& date, int year);

// "Mo., 05.01.2026"
[[nodiscard]] QString shownDay(const QDate& day);

// A date as it next comes round.
struct ComingDate {
    CardDate of;
    QDate day;
    int daysUntil = 0;         // 0: today
    std::optional<int> years;  // age or years since, where the year is known

    friend bool operator==(const ComingDate&, const ComingDate&) = default;
};

// The next time the date comes round on `today` or within `days` days after it; nothing
// when that is later, or before a whole year has passed since the date.
[[nodiscard]] std::optional<ComingDate> comingWithin(const CardDate& date, QDate today, int days);

// Those that come round within `days` days, soonest first, then by heading as the card list
// orders them.
[[nodiscard]] std::vector<ComingDate> comingDates(std::span<const CardDate> dates, QDate today,
                                                  int days);

}  // namespace veltro::store
