#include "export/CalendarFile.h"

#include "store/AtomicFile.h"

namespace veltro::exporting {

namespace {

// A year with 29 February, for dates whose year nobody knows.
constexpr int kLeapYear = 2000;

QString escapedText(const QString& text) {
    QString escaped;
    for (const QChar c : text) {
        if (c == u'\\' || c == u';' || c == u',') {
            escaped += u'\\';
            escaped += c;
        } else if (c == u'\n') {
            escaped += QStringLiteral("\\n");
        } else if (c != u'\r') {
            escaped += c;
        }
    }
    return escaped;
}

// Lines of at most 75 octets, continued after CRLF and a blank, never inside a character.
void appendFolded(QByteArray& out, const QString& line) {
    const QByteArray bytes = line.toUtf8();
    qsizetype room = 75;
    qsizetype start = 0;
    while (bytes.size() - start > room) {
        qsizetype end = start + room;
        while ((static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) {
            --end;
        }
        out += bytes.mid(start, end - start) + "\r\n ";
        start = end;
        room = 74;
    }
    out += bytes.mid(start) + "\r\n";
}

QString dayText(const QDate& day) {
    return day.toString(QStringLiteral("yyyyMMdd"));
}

void appendEvent(QByteArray& out, const store::CardDate& date, const QString& stamp) {
    const store::PartialDate& when = date.date;
    const QDate start(when.year == 0 ? kLeapYear : when.year, when.month, when.day);
    const QString kind = store::dateKindName(date.kind);
    const QString uid = date.uid.isEmpty() ? QStringLiteral("karte-%1").arg(date.card) : date.uid;
    QString summary = kind + QStringLiteral(": ") + date.heading;
    if (when.year != 0) {
        summary += QStringLiteral(" (%1)").arg(when.year);
    }
    // In years without 29 February, the last day of February; a plain yearly rule would skip
    // them, as the standard says.
    const bool leapDay = when.month == 2 && when.day == 29;
    for (const QString& line : {
             QStringLiteral("BEGIN:VEVENT"),
             QStringLiteral("UID:%1-%2@veltro-adressbuch").arg(uid, kind.toLower()),
             QStringLiteral("DTSTAMP:") + stamp,
             QStringLiteral("DTSTART;VALUE=DATE:") + dayText(start),
             QStringLiteral("DTEND;VALUE=DATE:") + dayText(start.addDays(1)),
             leapDay ? QStringLiteral("RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-1")
                     : QStringLiteral("RRULE:FREQ=YEARLY"),
             QStringLiteral("SUMMARY:") + escapedText(summary),
             QStringLiteral("TRANSP:TRANSPARENT"),
             QStringLiteral("END:VEVENT"),
         }) {
        appendFolded(out, line);
    }
}

}  // namespace

QByteArray calendarText(std::span<const store::CardDate> dates, const QDateTime& stamp) {
    QByteArray out =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
        "PRODID:-//Veltrix//Veltro Adressbuch//DE\r\nCALSCALE:GREGORIAN\r\n";
    const QString stampText = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    for (const store::CardDate& date : dates) {
        appendEvent(out, date, stampText);
    }
    return out + "END:VCALENDAR\r\n";
}

std::optional<QString> writeCalendar(const QString& target, std::span<const store::CardDate> dates,
                                     const QDateTime& stamp) {
    store::AtomicFile file(target);
    if (!file.open() || !file.write(calendarText(dates, stamp)) || !file.commit()) {
        return file.reason();
    }
    return std::nullopt;
}

}  // namespace veltro::exporting
