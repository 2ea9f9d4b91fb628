#include "store/ComingDates.h"

#include <gtest/gtest.h>

using namespace veltro::store;

namespace {

TEST(ComingDates, ComeRoundAcrossTheYearsEndAndOn28FebruaryWithoutA29th) {
    struct Row {
        QDate today;
        PartialDate date;
        int days;
        QDate day;  // invalid: not within the days
        int until;
        std::optional<int> years;
    };
    const Row rows[] = {
        {{2025, 12, 30}, {1990, 1, 5}, 30, {2026, 1, 5}, 6, 36},
        {{2025, 12, 30}, {0, 12, 30}, 30, {2025, 12, 30}, 0, std::nullopt},
        {{2025, 12, 30}, {1990, 12, 29}, 363, {}, 0, std::nullopt},
        {{2025, 2, 1}, {2000, 2, 29}, 30, {2025, 2, 28}, 27, 25},
        {{2024, 2, 1}, {2000, 2, 29}, 28, {2024, 2, 29}, 28, 24},
        {{2025, 3, 1}, {0, 2, 29}, 365, {2026, 2, 28}, 364, std::nullopt},
        {{2025, 1, 1}, {2025, 1, 10}, 30, {}, 0, std::nullopt},  // not a year old yet
        {{2025, 1, 4}, {1990, 1, 5}, 0, {}, 0, std::nullopt},
    };
    for (const Row& row : rows) {
        const CardDate date{1, QStringLiteral("K"), {}, DateKind::Jahrestag, row.date};
        const auto coming = comingWithin(date, row.today, row.days);
        EXPECT_EQ(coming.has_value(), row.day.isValid()) << row.date.text().toStdString();
        if (coming) {
            EXPECT_EQ(*coming, (ComingDate{date, row.day, row.until, row.years}));
        }
    }
}

TEST(ComingDates, SoonestFirstThenAsTheCardListOrders) {
    const auto on = [](const char* heading, DateKind kind, int day) {
        return CardDate{day, QString::fromUtf8(heading), {}, kind, PartialDate{0, 3, day}};
    };
    const std::vector<CardDate> dates = {
        on("Zorro", DateKind::Geburtstag, 2), on("Ärger", DateKind::Jahrestag, 2),
        on("ärger", DateKind::Geburtstag, 2), on("Adam", DateKind::Geburtstag, 3),
        on("Bald", DateKind::Geburtstag, 1),  on("Später", DateKind::Geburtstag, 9)};
    QStringList order;
    for (const ComingDate& coming : comingDates(dates, QDate(2025, 3, 1), 7)) {
        order << coming.of.heading + u' ' + dateKindName(coming.of.kind);
    }
    EXPECT_EQ(order.join(u','),
              QString::fromUtf8("Bald Geburtstag,ärger Geburtstag,Ärger Jahrestag,"
                                "Zorro Geburtstag,Adam Geburtstag"));
}

}  // namespace
