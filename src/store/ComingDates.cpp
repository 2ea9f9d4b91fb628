#include "store/ComingDates.h"

#include "store/HeadingOrder.h"

#include <QLocale>

#include <algorithm>

namespace veltro::store {

QString dateKindName(DateKind kind) {
    return kind == DateKind::Geburtstag ? QStringLiteral("Geburtstag")
                                        : QStringLiteral("Jahrestag");
}

std::vector<CardDate> cardDates(Database& db) {
    std::vector<CardDate> dates;
    if (!db.hasTable("KartenAngaben")) {
        return dates;
    }
    // From the extras to their cards (CROSS JOIN keeps that order): most cards have no
    // extras, and the engine would otherwise walk every heading.
    auto stmt = db.prepare(
        "SELECT a.KarteId, k.Schlagworte, a.Geburtstag, a.Jahrestag, i.Uid FROM KartenAngaben a "
        "CROSS JOIN Kontakte k ON k.rowid = a.KarteId "
        "LEFT JOIN KartenInfo i ON i.KarteId = a.KarteId "
        "WHERE k.Schlagworte IS NOT NULL "
        "AND (a.Geburtstag IS NOT NULL OR a.Jahrestag IS NOT NULL)");
    while (stmt.step()) {
        for (const auto kind : {DateKind::Geburtstag, DateKind::Jahrestag}) {
            const int column = kind == DateKind::Geburtstag ? 2 : 3;
            if (const auto date = PartialDate::parse(stmt.textOrEmpty(column))) {
                dates.push_back(
                    {stmt.integer(0), stmt.textOrEmpty(1), stmt.textOrEmpty(4), kind, *date});
            }
        }
    }
    return dates;
}

QDate dayInYear(const PartialDate& date, int year) {
    const QDate day(year, date.month, date.day);
    return day.isValid() ? day : QDate(year, date.month, date.day - 1);
}

QString shownDay(const QDate& day) {
    const QLocale german(QLocale::German, QLocale::Germany);
    return german.dayName(day.dayOfWeek(), QLocale::ShortFormat) + QStringLiteral(", ") +
           day.toString(QStringLiteral("dd.MM.yyyy"));
}

std::optional<ComingDate> comingWithin(const CardDate& date, QDate today, int days) {
    QDate day = dayInYear(date.date, today.year());
    if (day < today) {
        day = dayInYear(date.date, today.year() + 1);
    }
    const auto until = static_cast<int>(today.daysTo(day));
    std::optional<int> years;
    if (date.date.year != 0) {
        years = day.year() - date.date.year;
    }
    if (until > days || (years && *years < 1)) {
        return std::nullopt;
    }
    return ComingDate{date, day, until, years};
}

std::vector<ComingDate> comingDates(std::span<const CardDate> dates, QDate today, int days) {
    std::vector<ComingDate> coming;
    for (const CardDate& date : dates) {
        if (auto next = comingWithin(date, today, days)) {
            coming.push_back(std::move(*next));
        }
    }
    const HeadingOrder order;
    std::ranges::sort(coming, [&](const ComingDate& a, const ComingDate& b) {
        if (a.daysUntil != b.daysUntil) {
            return a.daysUntil < b.daysUntil;
        }
        const int byHeading =
            order.compare(a.of.heading.toUtf8().toStdString(), b.of.heading.toUtf8().toStdString());
        return byHeading != 0 ? byHeading < 0 : a.of.kind < b.of.kind;
    });
    return coming;
}

}  // namespace veltro::store
