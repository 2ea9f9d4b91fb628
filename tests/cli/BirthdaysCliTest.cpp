#include "CliRun.h"
#include "TestHome.h"
#include "TestTools.h"

#include "store/CardExtrasTable.h"
#include "store/CardStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

#include <gtest/gtest.h>

using namespace veltro::testing;
using namespace veltro::store;
using namespace Qt::Literals::StringLiterals;

namespace {

// python3-icalendar reads the file; dateutil expands each event's rule over 2027 and
// 2028.
const QString kReadCalendar =
    uR"(
import sys, json, datetime as d, icalendar, dateutil.rrule as r
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
for e in sorted(cal.walk('VEVENT'), key=lambda e: str(e['summary'])):
    start = d.datetime.combine(e.decoded('dtstart'), d.time())
    rule = r.rrulestr(e['rrule'].to_ical().decode(), dtstart=start)
    days = [x.date().isoformat() for x in rule.between(d.datetime(2027, 1, 1), d.datetime(2029, 1, 1))]
    print(json.dumps([str(e['uid']), start.date().isoformat(), str(e['summary']), ','.join(days)]))
)"_s;

TEST(BirthdaysCli, ListsTheComingDatesAndWritesACalendarThatIcalendarReads) {
    TestHome home;
    const QString longName =
        u"Gärtnerei Grün und Söhne; Baumschule, Stauden\\Rosen – Öffnungszeiten"_s;
    makeStore(home.dir(), {u"K"_s}, {{u"Müller, Hans"_s, u"K"_s}, {longName, u"K"_s}});
    const QDate today = QDate::currentDate();
    {
        auto store = CardStore::open(home.storeFile());
        CardExtras hans;
        hans.birthday = PartialDate{today.year() - 40, today.month(), std::min(today.day(), 28)};
        writeCardExtras(store.db(), *store.findByHeading(u"Müller, Hans"), hans);
        CardExtras shop;
        shop.anniversary = PartialDate{0, 2, 29};
        writeCardExtras(store.db(), *store.findByHeading(longName), shop);
    }
    const QString dir = QString::fromStdString(home.dir().string());
    const QString ics = dir + u"/termine.ics"_s;
    const CliRun run = runCli({u"birthdays"_s, dir, u"--days"_s, u"28"_s, u"--ics"_s, ics});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QDate day(today.year(), today.month(), std::min(today.day(), 28));
    if (day >= today) {
        EXPECT_TRUE(run.out.startsWith(day.toString(u"dd.MM.yyyy"_s) + u"  "_s +
                                       QLocale(QLocale::German).dayName(day.dayOfWeek())))
            << run.out.toStdString();
        EXPECT_TRUE(run.out.contains(u"Müller, Hans  Geburtstag  40 Jahre\n"_s));
    }
    EXPECT_TRUE(run.out.endsWith(u"Kalenderdatei geschrieben: "_s + ics + u" (2 Termine)\n"_s));

    const QByteArray bytes = fileBytes(ics);
    for (const QByteArray& line : bytes.split('\n')) {
        EXPECT_TRUE(line.isEmpty() || (line.endsWith('\r') && line.size() <= 76)) << line.data();
    }
    const CliRun read = runProgram(u"/usr/bin/python3"_s, {u"-c"_s, kReadCalendar, ics});
    ASSERT_EQ(read.status, 0) << "python3-icalendar fehlt? " << read.err.toStdString();
    const QStringList events = read.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(events.size(), 2);
    const auto event = [&](int i) { return QJsonDocument::fromJson(events[i].toUtf8()).array(); };
    const QString monthDay = day.toString(u"-MM-dd"_s);
    EXPECT_EQ(event(0)[1], QString::number(today.year() - 40) + monthDay);
    EXPECT_EQ(event(0)[2], u"Geburtstag: Müller, Hans (%1)"_s.arg(today.year() - 40));
    EXPECT_EQ(event(0)[3], u"2027"_s + monthDay + u",2028"_s + monthDay);
    EXPECT_EQ(event(1)[1], u"2000-02-29"_s);
    EXPECT_EQ(event(1)[2], u"Jahrestag: "_s + longName);
    EXPECT_EQ(event(1)[3], u"2027-02-28,2028-02-29"_s);
    // The same card and kind keep their UID in the next file.
    ASSERT_EQ(runCli({u"birthdays"_s, dir, u"--ics"_s, ics}).status, 0);
    EXPECT_TRUE(fileBytes(ics).contains(event(0)[0].toString().toUtf8()));

    for (const QStringList& wrong : {QStringList{u"--days"_s, u"-3"_s},
                                     {u"--days"_s, u"x"_s},
                                     {u"--days"_s, u"366"_s},
                                     {u"--ics"_s},
                                     {u"zwei"_s}}) {
        const CliRun refused = runCli(QStringList{u"birthdays"_s, dir} + wrong);
        EXPECT_EQ(refused.status, 2) << wrong.join(u' ').toStdString();
        EXPECT_TRUE(refused.err.contains(u"Aufruf: veltro-cli birthdays VERZ"_s));
    }
}

}  // namespace
