#include "app/cli/CliCommands.h"

#include "base/Counted.h"
#include "export/CalendarFile.h"
#include "store/CardStore.h"
#include "store/ComingDates.h"
#include "store/Schema.h"
#include "store/StoreError.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <filesystem>
#include <variant>

namespace veltro::cli {

namespace {

constexpr int kMostDays = 365;

struct BirthdaysCall {
    QString dir;
    int days = 30;
    QString calendar;  // empty: none
};

// The call read, or the reason it is wrong.
std::variant<BirthdaysCall, QString> readBirthdaysCall(const QStringList& args) {
    BirthdaysCall call;
    QStringList plain;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const bool option = args[i] == u"--days" || args[i] == u"--ics";
        if (!option) {
            plain << args[i];
            continue;
        }
        if (i + 1 >= args.size()) {
            return QStringLiteral("Nach %1 fehlt der Wert.").arg(args[i]);
        }
        const QString& value = args[++i];
        if (args[i - 1] == u"--ics") {
            call.calendar = value;
            continue;
        }
        bool ok = false;
        call.days = value.toInt(&ok);
        if (!ok || call.days < 0 || call.days > kMostDays) {
            return QStringLiteral("--days braucht eine ganze Zahl von 0 bis %1: %2")
                .arg(kMostDays)
                .arg(value);
        }
    }
    if (plain.size() != 1) {
        return QStringLiteral("Das Verzeichnis fehlt oder es ist mehr angegeben.");
    }
    call.dir = plain[0];
    return call;
}

// "05.01.2026  Montag      Müller, Hans  Geburtstag  36 Jahre"
void printComing(const std::vector<store::ComingDate>& coming, int days) {
    if (coming.empty()) {
        out() << "Keine Geburtstage oder Jahrestage in den nächsten "
              << counted(days, "Tag", "Tagen") << ".\n";
        return;
    }
    const QLocale german(QLocale::German, QLocale::Germany);
    qsizetype nameWidth = 0;
    for (const auto& date : coming) {
        nameWidth = std::max(nameWidth, date.of.heading.size());
    }
    for (const auto& date : coming) {
        QString line = date.day.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("  ") +
                       german.dayName(date.day.dayOfWeek()).leftJustified(10) +
                       QStringLiteral("  ") + date.of.heading.leftJustified(nameWidth) +
                       QStringLiteral("  ") + store::dateKindName(date.of.kind);
        if (date.years) {
            line += QStringLiteral("  ") + counted(*date.years, "Jahr", "Jahre");
        }
        out() << line << '\n';
    }
}

}  // namespace

int listBirthdays(const QStringList& args) {
    const auto call = readBirthdaysCall(args);
    if (const auto* problem = std::get_if<QString>(&call)) {
        return usage("birthdays", *problem);
    }
    const auto& [dir, days, calendar] = std::get<BirthdaysCall>(call);
    std::optional<store::CardStore> cardStore;
    try {
        cardStore.emplace(store::CardStore::openForReading(
            std::filesystem::path(dir.toStdString()) / store::kStoreFileName));
    } catch (const store::StoreError& e) {
        err() << "Die Kartei in " << dir << " lässt sich nicht öffnen: " << store::germanReason(e)
              << Qt::endl;
        return kFailed;
    }
    const auto dates = store::cardDates(cardStore->db());
    printComing(store::comingDates(dates, QDate::currentDate(), days), days);
    if (!calendar.isEmpty()) {
        if (const auto failed =
                exporting::writeCalendar(calendar, dates, QDateTime::currentDateTimeUtc())) {
            out().flush();
            err() << "Die Kalenderdatei " << calendar << " lässt sich nicht schreiben: " << *failed
                  << Qt::endl;
            return kFailed;
        }
        out() << "Kalenderdatei geschrieben: " << calendar << " ("
              << counted(static_cast<long long>(dates.size()), "Termin", "Termine") << ")\n";
    }
    out().flush();
    return kOk;
}

}  // namespace veltro::cli
