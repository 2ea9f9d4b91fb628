#include "store/ExtrasInput.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <iterator>
#include <tuple>
#include <utility>

namespace veltro::store {

namespace {

constexpr std::array kEntryKinds = {EntryKind::Telefon, EntryKind::EMail, EntryKind::Anschrift,
                                    EntryKind::Webseite};

const QString kDateForm = QStringLiteral(
    "Bitte als TT.MM.JJJJ eingeben, zum Beispiel 24.12.1980, oder ohne Jahr als TT.MM.");

std::vector<Entry> withoutBlanks(std::vector<Entry> entries) {
    std::erase_if(entries, [](const Entry& entry) { return entry.isBlank(); });
    return entries;
}

}  // namespace

TypedDate readGermanDate(QStringView text) {
    text = text.trimmed();
    if (text.isEmpty()) {
        return {};
    }
    static const QRegularExpression form(
        QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(?:(\\d{4}))?$"));
    const auto match = form.match(text.toString());
    if (!match.hasMatch()) {
        return {std::nullopt, QStringLiteral("„%1“ ist kein Datum. ").arg(text) + kDateForm};
    }
    if (match.capturedView(3) == u"0000") {
        return {std::nullopt, QStringLiteral("„%1“ ist kein Datum. ").arg(text) + kDateForm};
    }
    PartialDate date;
    date.day = match.capturedView(1).toInt();
    date.month = match.capturedView(2).toInt();
    date.year = match.capturedView(3).isEmpty() ? 0 : match.capturedView(3).toInt();
    // Without a year, 29 February is a birthday like any other.
    const bool real = date.year != 0 || QDate(2000, date.month, date.day).isValid();
    if (!real || (date.year != 0 && !QDate(date.year, date.month, date.day).isValid())) {
        return {std::nullopt,
                QStringLiteral("Den Tag „%1“ gibt es im Kalender nicht. ").arg(text) + kDateForm};
    }
    return {date, {}};
}

TypedExtras TypedExtras::of(const CardExtras& extras) {
    return {extras.birthday ? extras.birthday->shown() : QString(),
            extras.anniversary ? extras.anniversary->shown() : QString(),
            extras.nickname,
            extras.title,
            extras.role,
            extras.entries};
}

bool TypedExtras::sameAs(const TypedExtras& other) const {
    const auto sameDate = [](const QString& a, const QString& b) {
        const auto first = readGermanDate(a);
        const auto second = readGermanDate(b);
        // What cannot be read is compared as typed.
        return first.problem.isEmpty() && second.problem.isEmpty() ? first.date == second.date
                                                                   : a.trimmed() == b.trimmed();
    };
    return sameDate(birthday, other.birthday) && sameDate(anniversary, other.anniversary) &&
           nickname == other.nickname && title == other.title && role == other.role &&
           withoutBlanks(entries) == withoutBlanks(other.entries);
}

ExtrasWrite typedInto(CardExtras stored, const TypedExtras& shown, const TypedExtras& typed) {
    ExtrasWrite write{std::move(stored), shown, {}};
    for (const auto& [text, date, saved] :
         {std::tuple{&typed.birthday, &write.extras.birthday, &write.shown.birthday},
          std::tuple{&typed.anniversary, &write.extras.anniversary, &write.shown.anniversary}}) {
        if (*text == *saved) {
            continue;
        }
        const TypedDate read = readGermanDate(*text);
        if (!read.problem.isEmpty()) {
            write.problem = read.problem;
            continue;
        }
        *date = read.date;
        *saved = *text;
    }
    for (const auto& [text, kept, saved] :
         {std::tuple{&typed.nickname, &write.extras.nickname, &write.shown.nickname},
          std::tuple{&typed.title, &write.extras.title, &write.shown.title},
          std::tuple{&typed.role, &write.extras.role, &write.shown.role}}) {
        if (*text != *saved) {
            *kept = *text;
            *saved = *text;
        }
    }
    // Each kind of entry is one part: its list as typed, or as the store holds it.
    std::vector<Entry> entries;
    std::vector<Entry> shownEntries;
    for (const EntryKind kind : kEntryKinds) {
        const auto ofKind = [kind](const std::vector<Entry>& all) {
            std::vector<Entry> found;
            std::copy_if(all.begin(), all.end(), std::back_inserter(found),
                         [kind](const Entry& entry) { return entry.kind == kind; });
            return withoutBlanks(found);
        };
        const bool changed = ofKind(typed.entries) != ofKind(shown.entries);
        const auto taken = ofKind(changed ? typed.entries : write.extras.entries);
        entries.insert(entries.end(), taken.begin(), taken.end());
        const auto seen = ofKind(changed ? typed.entries : shown.entries);
        shownEntries.insert(shownEntries.end(), seen.begin(), seen.end());
    }
    write.extras.entries = std::move(entries);
    write.shown.entries = std::move(shownEntries);
    return write;
}

}  // namespace veltro::store
