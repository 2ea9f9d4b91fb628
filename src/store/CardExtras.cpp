#include "store/CardExtras.h"

#include <QDate>

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

namespace veltro::store {

namespace {

constexpr std::array kAllTypes = {EntryType::Privat, EntryType::Geschaeftlich, EntryType::Mobil,
                                  EntryType::Fax,    EntryType::Pager,         EntryType::Andere};
constexpr std::array kPlaceTypes = {EntryType::Privat, EntryType::Geschaeftlich, EntryType::Andere};

constexpr std::array kKinds = {EntryKind::Telefon, EntryKind::EMail, EntryKind::Anschrift,
                               EntryKind::Webseite};

// Digits only, as a number; -1 when any character is not a digit.
int digits(QStringView text) {
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            return -1;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    return text.isEmpty() ? -1 : value;
}

// A day that a year with the given number has; a day without a year may be 29 February.
bool isRealDay(int year, int month, int day) {
    return QDate(year == 0 ? 2000 : year, month, day).isValid();
}

}  // namespace

QString PartialDate::text() const {
    const QString monthDay = QStringLiteral("%1-%2")
                                 .arg(month, 2, 10, QLatin1Char('0'))
                                 .arg(day, 2, 10, QLatin1Char('0'));
    return year == 0 ? QStringLiteral("--") + monthDay
                     : QStringLiteral("%1-").arg(year, 4, 10, QLatin1Char('0')) + monthDay;
}

QString PartialDate::shown() const {
    const QString dayMonth = QStringLiteral("%1.%2.")
                                 .arg(day, 2, 10, QLatin1Char('0'))
                                 .arg(month, 2, 10, QLatin1Char('0'));
    return year == 0 ? dayMonth : dayMonth + QString::number(year);
}

std::optional<PartialDate> PartialDate::parse(QStringView text) {
    text = text.trimmed();
    if (const auto time = text.indexOf(u'T'); time >= 0) {
        text = text.left(time);
    }
    PartialDate date;
    QStringView rest = text;
    if (text.startsWith(u"--")) {
        rest = text.mid(2);
    } else if (text.size() >= 8) {
        const bool extended = text.size() == 10 && text[4] == u'-';
        date.year = digits(text.left(4));
        rest = text.mid(extended ? 5 : 4);
        if (date.year < 1) {
            return std::nullopt;
        }
    } else {
        return std::nullopt;
    }
    const bool extended = rest.size() == 5 && rest[2] == u'-';
    if (!extended && rest.size() != 4) {
        return std::nullopt;
    }
    date.month = digits(rest.left(2));
    date.day = digits(rest.right(2));
    if (date.month < 1 || date.day < 1 || !isRealDay(date.year, date.month, date.day)) {
        return std::nullopt;
    }
    return date;
}

std::span<const EntryType> typesOf(EntryKind kind) {
    if (kind == EntryKind::Telefon) {
        return kAllTypes;
    }
    return kPlaceTypes;
}

QString typeName(EntryType type) {
    switch (type) {
        case EntryType::Privat:
            return QStringLiteral("privat");
        case EntryType::Geschaeftlich:
            return QStringLiteral("geschäftlich");
        case EntryType::Mobil:
            return QStringLiteral("mobil");
        case EntryType::Fax:
            return QStringLiteral("Fax");
        case EntryType::Pager:
            return QStringLiteral("Pager");
        case EntryType::Andere:
            break;
    }
    return QStringLiteral("andere");
}

std::optional<EntryType> typeByName(QStringView name) {
    const auto found = std::find_if(kAllTypes.begin(), kAllTypes.end(), [name](EntryType type) {
        return name.compare(typeName(type), Qt::CaseInsensitive) == 0;
    });
    return found == kAllTypes.end() ? std::nullopt : std::optional<EntryType>(*found);
}

QString kindName(EntryKind kind) {
    switch (kind) {
        case EntryKind::Telefon:
            return QStringLiteral("Telefon");
        case EntryKind::EMail:
            return QStringLiteral("E-Mail");
        case EntryKind::Anschrift:
            return QStringLiteral("Anschrift");
        case EntryKind::Webseite:
            break;
    }
    return QStringLiteral("Webseite");
}

std::optional<EntryKind> kindByName(QStringView name) {
    const auto found = std::find_if(kKinds.begin(), kKinds.end(),
                                    [name](EntryKind kind) { return name == kindName(kind); });
    return found == kKinds.end() ? std::nullopt : std::optional<EntryKind>(*found);
}

bool Entry::isBlank() const {
    return value.trimmed().isEmpty() && postcode.trimmed().isEmpty() && town.trimmed().isEmpty() &&
           country.trimmed().isEmpty();
}

QString pictureType(const QByteArray& bytes) {
    if (bytes.startsWith("\x89PNG\r\n\x1a\n")) {
        return QStringLiteral("image/png");
    }
    if (bytes.startsWith("\xff\xd8\xff")) {
        return QStringLiteral("image/jpeg");
    }
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")) {
        return QStringLiteral("image/gif");
    }
    if (bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP") {
        return QStringLiteral("image/webp");
    }
    return {};
}

std::vector<Entry> CardExtras::of(EntryKind kind) const {
    std::vector<Entry> found;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(found),
                 [kind](const Entry& entry) { return entry.kind == kind; });
    return found;
}

bool CardExtras::isEmpty() const {
    return !birthday && !anniversary && nickname.isEmpty() && title.isEmpty() && role.isEmpty() &&
           !photo && entries.empty();
}

void CardExtras::groupEntriesByKind() {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.kind < b.kind; });
}

void CardExtras::dropBlankEntries() {
    std::erase_if(entries, [](const Entry& entry) { return entry.isBlank(); });
}

CardExtras joinedExtras(const CardExtras& first, const CardExtras& second) {
    CardExtras joined = first;
    const auto fill = [](QString& mine, const QString& theirs) {
        if (mine.isEmpty()) {
            mine = theirs;
        }
    };
    joined.birthday = first.birthday ? first.birthday : second.birthday;
    joined.anniversary = first.anniversary ? first.anniversary : second.anniversary;
    joined.photo = first.photo ? first.photo : second.photo;
    fill(joined.nickname, second.nickname);
    fill(joined.title, second.title);
    fill(joined.role, second.role);
    for (const Entry& entry : second.entries) {
        if (std::find(joined.entries.begin(), joined.entries.end(), entry) ==
            joined.entries.end()) {
            joined.entries.push_back(entry);
        }
    }
    return joined;
}

}  // namespace veltro::store
