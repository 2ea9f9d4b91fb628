#include "import/PresetExtras.h"

#include "import/FieldMapping.h"
#include "import/PreviewTable.h"
#include "import/RecordReader.h"

#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>

namespace veltro::import {

enum class PresetExtras::DetailKind : int {
    Nickname,
    Title,
    Birthday,
    BirthYear,
    BirthMonth,
    BirthDay,
    Anniversary
};

// Which part of a further entry a column holds; More is appended to the street.
enum class PresetExtras::Part : int { Value, More, Postcode, Town, Country, Formatted };

namespace {

using Kind = store::EntryKind;
using Type = store::EntryType;

using DetailKind = PresetExtras::DetailKind;
using Part = PresetExtras::Part;

constexpr int kAlone = 0;  // a column that makes an entry by itself
constexpr int kHomeAddress = 1;
constexpr int kOtherAddress = 2;

struct FixedColumn {
    std::u16string_view header;
    Kind kind;
    Type type;
    int group = kAlone;
    Part part = Part::Value;
};

// Thunderbird's and Outlook's columns beyond the card fields; the business ones are the card's.
const FixedColumn kFixedColumns[] = {
    {u"Secondary Email", Kind::EMail, Type::Andere},
    {u"E-mail 2 Address", Kind::EMail, Type::Andere},
    {u"E-mail 3 Address", Kind::EMail, Type::Andere},
    {u"Home Phone", Kind::Telefon, Type::Privat},
    {u"Home Phone 2", Kind::Telefon, Type::Privat},
    {u"Business Phone 2", Kind::Telefon, Type::Geschaeftlich},
    {u"Company Main Phone", Kind::Telefon, Type::Geschaeftlich},
    {u"Car Phone", Kind::Telefon, Type::Mobil},
    {u"Home Fax", Kind::Telefon, Type::Fax},
    {u"Other Fax", Kind::Telefon, Type::Fax},
    {u"Pager Number", Kind::Telefon, Type::Pager},
    {u"Pager", Kind::Telefon, Type::Pager},
    {u"Primary Phone", Kind::Telefon, Type::Andere},
    {u"Other Phone", Kind::Telefon, Type::Andere},
    {u"Assistant's Phone", Kind::Telefon, Type::Andere},
    {u"Callback", Kind::Telefon, Type::Andere},
    {u"ISDN", Kind::Telefon, Type::Andere},
    {u"Radio Phone", Kind::Telefon, Type::Andere},
    {u"TTY/TDD Phone", Kind::Telefon, Type::Andere},
    {u"Web Page 2", Kind::Webseite, Type::Privat},
    {u"Home Address", Kind::Anschrift, Type::Privat, kHomeAddress},
    {u"Home Address 2", Kind::Anschrift, Type::Privat, kHomeAddress, Part::More},
    {u"Home Street", Kind::Anschrift, Type::Privat, kHomeAddress},
    {u"Home Street 2", Kind::Anschrift, Type::Privat, kHomeAddress, Part::More},
    {u"Home Street 3", Kind::Anschrift, Type::Privat, kHomeAddress, Part::More},
    {u"Home City", Kind::Anschrift, Type::Privat, kHomeAddress, Part::Town},
    {u"Home ZipCode", Kind::Anschrift, Type::Privat, kHomeAddress, Part::Postcode},
    {u"Home Postal Code", Kind::Anschrift, Type::Privat, kHomeAddress, Part::Postcode},
    {u"Home Country", Kind::Anschrift, Type::Privat, kHomeAddress, Part::Country},
    {u"Home Country/Region", Kind::Anschrift, Type::Privat, kHomeAddress, Part::Country},
    {u"Other Street", Kind::Anschrift, Type::Andere, kOtherAddress},
    {u"Other Street 2", Kind::Anschrift, Type::Andere, kOtherAddress, Part::More},
    {u"Other Street 3", Kind::Anschrift, Type::Andere, kOtherAddress, Part::More},
    {u"Other City", Kind::Anschrift, Type::Andere, kOtherAddress, Part::Town},
    {u"Other Postal Code", Kind::Anschrift, Type::Andere, kOtherAddress, Part::Postcode},
    {u"Other Country/Region", Kind::Anschrift, Type::Andere, kOtherAddress, Part::Country},
};

const std::pair<std::u16string_view, DetailKind> kDetailColumns[] = {
    {u"Nickname", DetailKind::Nickname},
    {u"Job Title", DetailKind::Title},
    {u"Organization 1 - Title", DetailKind::Title},
    {u"Organization Title", DetailKind::Title},
    {u"Birthday", DetailKind::Birthday},
    {u"Birth Year", DetailKind::BirthYear},
    {u"Birth Month", DetailKind::BirthMonth},
    {u"Birth Day", DetailKind::BirthDay},
    {u"Anniversary", DetailKind::Anniversary},
};

// Google's numbered columns: "Phone 2 - Type", "Address 1 - Postal Code", "Event 1 - Value".
const QRegularExpression kNumbered(
    QStringLiteral("^(E-mail|Phone|Address|Website|Event) (\\d+) - (.+)$"),
    QRegularExpression::CaseInsensitiveOption);

const QString kMultipleValues = QStringLiteral(" ::: ");

bool same(const QString& a, std::u16string_view b) {
    return a.compare(QStringView(b.data(), static_cast<qsizetype>(b.size())),
                     Qt::CaseInsensitive) == 0;
}

std::optional<Kind> numberedKind(const QString& word) {
    for (const auto& [name, kind] :
         {std::pair{u"E-mail", Kind::EMail}, std::pair{u"Phone", Kind::Telefon},
          std::pair{u"Address", Kind::Anschrift}, std::pair{u"Website", Kind::Webseite}}) {
        if (same(word, name)) {
            return kind;
        }
    }
    return std::nullopt;  // an event
}

std::optional<Part> addressPart(const QString& name) {
    const std::pair<std::u16string_view, Part> parts[] = {
        {u"Street", Part::Value},         {u"Extended Address", Part::More},
        {u"Postal Code", Part::Postcode}, {u"City", Part::Town},
        {u"Country", Part::Country},      {u"Formatted", Part::Formatted},
    };
    for (const auto& [part, value] : parts) {
        if (same(name, part)) {
            return value;
        }
    }
    return std::nullopt;  // PO box and region have no place on a card
}

// Google's type label without the mark of the primary value: "* Work" is "work".
QString plainLabel(QStringView label) {
    label = label.trimmed();
    if (label.startsWith(u'*')) {
        label = label.mid(1).trimmed();
    }
    return label.toString().toLower();
}

Type typeOfLabel(Kind kind, const QString& label) {
    const Type type = label == u"home"         ? Type::Privat
                      : label == u"work"       ? Type::Geschaeftlich
                      : label == u"mobile"     ? Type::Mobil
                      : label.contains(u"fax") ? Type::Fax
                      : label == u"pager"      ? Type::Pager
                                               : Type::Andere;
    const auto allowed = store::typesOf(kind);
    return std::find(allowed.begin(), allowed.end(), type) != allowed.end() ? type : Type::Andere;
}

std::size_t target(store::Field field) {
    for (std::size_t i = 0; i < kTargetCount; ++i) {
        if (kTargets[i].field == field) {
            return i;
        }
    }
    return kCategoryTarget;
}

}  // namespace

struct PresetExtras::Detail {
    DetailKind what;
    int column;
};

struct PresetExtras::Group {
    Kind kind = Kind::Telefon;
    std::optional<Type> type;  // fixed; else read from typeColumn
    int typeColumn = -1;
    std::vector<std::pair<Part, int>> columns;
    bool isEvent = false;
};

PresetExtras::PresetExtras() = default;
PresetExtras::~PresetExtras() = default;

namespace {

using Groups = std::vector<PresetExtras::Group>;

// The groups of columns that make one entry, found by Thunderbird's and Outlook's group of a
// column or by Google's numbered name ("phone2").
class GroupsOfHeader {
public:
    explicit GroupsOfHeader(Groups& groups) : groups_(groups) {}

    PresetExtras::Group& of(int fixed, const QString& numbered) {
        const auto [at, added] = keys_.try_emplace(std::pair{fixed, numbered}, groups_.size());
        if (added) {
            groups_.emplace_back();
        }
        return groups_[at->second];
    }

    void addFixed(const QString& header, int column) {
        for (const FixedColumn& fixed : kFixedColumns) {
            if (same(header, fixed.header)) {
                PresetExtras::Group& group =
                    fixed.group == kAlone ? groups_.emplace_back() : of(fixed.group, {});
                group.kind = fixed.kind;
                group.type = fixed.type;
                group.columns.emplace_back(fixed.part, column);
            }
        }
    }

    void addNumbered(const QString& header, int column) {
        const auto numbered = kNumbered.match(header);
        if (!numbered.hasMatch()) {
            return;
        }
        const QString what = numbered.captured(3);
        PresetExtras::Group& group =
            of(kAlone, numbered.captured(1).toLower() + numbered.captured(2));
        const auto kind = numberedKind(numbered.captured(1));
        group.kind = kind.value_or(Kind::Telefon);
        group.isEvent = !kind;
        if (same(what, u"Type") || same(what, u"Label")) {
            group.typeColumn = column;
        } else if (same(what, u"Value")) {
            group.columns.emplace_back(Part::Value, column);
        } else if (const auto part = addressPart(what); part && kind == Kind::Anschrift) {
            group.columns.emplace_back(*part, column);
        }
    }

private:
    Groups& groups_;
    std::map<std::pair<int, QString>, std::size_t> keys_;
};

}  // namespace

namespace {

// Whether Google's typed values of the group may go to the card field.
bool typedGroupFills(const PresetExtras::Group& group, store::Field field) {
    using store::Field;
    if (group.type || group.isEvent) {
        return false;
    }
    switch (group.kind) {
        case Kind::Telefon:
            return field == Field::Telefon || field == Field::Mobiltelefon || field == Field::Fax;
        case Kind::EMail:
            return field == Field::EMailAdresse;
        case Kind::Webseite:
            return field == Field::Webseite;
        case Kind::Anschrift:
            return field == Field::Strasse || field == Field::Postleitzahl || field == Field::Ort;
    }
    return false;
}

}  // namespace

std::shared_ptr<const PresetExtras> PresetExtras::of(const QStringList& headers) {
    auto layout = std::make_shared<PresetExtras>();
    GroupsOfHeader groups(layout->groups_);
    for (qsizetype i = 0; i < headers.size(); ++i) {
        const QString header = headers[i].trimmed();
        const int column = static_cast<int>(i);
        for (const auto& [name, what] : kDetailColumns) {
            if (same(header, name)) {
                layout->details_.push_back({what, column});
            }
        }
        groups.addFixed(header, column);
        groups.addNumbered(header, column);
    }
    std::erase_if(layout->groups_, [](const Group& g) { return g.columns.empty(); });
    if (layout->details_.empty() && layout->groups_.empty()) {
        return nullptr;
    }
    for (std::size_t t = 0; t < kTargetCount; ++t) {
        layout->fills_[t] = std::ranges::any_of(layout->groups_, [t](const Group& group) {
            return typedGroupFills(group, kTargets[t].field);
        });
    }
    return layout;
}

int PresetExtras::columnCount() const {
    auto count = static_cast<int>(details_.size());
    for (const Group& group : groups_) {
        count += static_cast<int>(group.columns.size()) + (group.typeColumn >= 0 ? 1 : 0);
    }
    return count;
}

bool PresetExtras::fillsTarget(std::size_t which) const {
    return which < fills_.size() && fills_[which];
}

namespace {

// The record's fields that no card field takes, an empty field ("-") as empty text.
class RecordValues {
public:
    RecordValues(const FieldMapping& mapping, std::span<const QStringView> fields)
        : fields_(fields) {
        for (std::size_t t = kCategoryTarget + 1; t < kTargetCount; ++t) {
            if (const auto& source = mapping.source(t)) {
                used_.push_back(source->column);
            }
        }
    }
    [[nodiscard]] QStringView at(int column) const {
        const auto index = static_cast<std::size_t>(column);
        if (index >= fields_.size() ||
            std::find(used_.begin(), used_.end(), column) != used_.end()) {
            return {};
        }
        const QStringView value = fields_[index].trimmed();
        return value == kEmptyValue ? QStringView() : value;
    }

private:
    std::span<const QStringView> fields_;
    std::vector<int> used_;
};

int number(QStringView text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : -1;
}

std::optional<store::PartialDate> dateOf(int year, int month, int day) {
    if (month < 1 || day < 1 || year < 0) {
        return std::nullopt;
    }
    return store::PartialDate::parse(store::PartialDate{year, month, day}.text());
}

// The street of an entry from its parts; Google's formatted text where it has no street.
QString streetOf(const QString& street, const QStringList& more, const QString& formatted) {
    QStringList parts{street};
    parts << more;
    parts.removeAll(QString());
    if (parts.isEmpty() && !formatted.isEmpty()) {
        QString lines = formatted;
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        parts = lines.split(u'\n', Qt::SkipEmptyParts);
    }
    for (QString& part : parts) {
        part = part.trimmed();
    }
    return parts.join(QStringLiteral(", "));
}

// The nth of the values a cell holds (Google joins several with " ::: ").
QString nthValue(QStringView cell, int nth, bool several) {
    if (!several) {
        return nth == 0 ? cell.toString() : QString();
    }
    const auto values = cell.split(kMultipleValues);
    return nth < values.size() ? values[nth].trimmed().toString() : QString();
}

}  // namespace

namespace {

void readDetails(std::span<const PresetExtras::Detail> details, const RecordValues& values,
                 store::CardExtras& extras) {
    int year = 0;
    int month = -1;
    int day = -1;
    for (const PresetExtras::Detail& detail : details) {
        const QStringView text = values.at(detail.column);
        if (text.isEmpty()) {
            continue;
        }
        switch (detail.what) {
            case DetailKind::Nickname:
                extras.nickname = extras.nickname.isEmpty() ? text.toString() : extras.nickname;
                break;
            case DetailKind::Title:
                extras.title = extras.title.isEmpty() ? text.toString() : extras.title;
                break;
            case DetailKind::Birthday:
                extras.birthday = foreignDate(text);
                break;
            case DetailKind::Anniversary:
                extras.anniversary = foreignDate(text);
                break;
            case DetailKind::BirthYear:
                year = number(text);
                break;
            case DetailKind::BirthMonth:
                month = number(text);
                break;
            case DetailKind::BirthDay:
                day = number(text);
                break;
        }
    }
    if (!extras.birthday && (month > 0 || day > 0)) {
        extras.birthday = dateOf(year, month, day);
    }
}

// How many values the group's cells hold in this record.
int valueCount(const PresetExtras::Group& group, const RecordValues& values) {
    int count = 1;
    if (!group.type) {
        for (const auto& [part, column] : group.columns) {
            count = std::max(count, static_cast<int>(values.at(column).count(kMultipleValues)) + 1);
        }
    }
    return count;
}

store::Entry nthEntry(const PresetExtras::Group& group, const RecordValues& values, int nth) {
    const bool several = !group.type;
    store::Entry entry;
    entry.kind = group.kind;
    QString street;
    QString formatted;
    QStringList more;
    for (const auto& [part, column] : group.columns) {
        QString text = nthValue(values.at(column), nth, several);
        switch (part) {
            case Part::Value:
                street = std::move(text);
                break;
            case Part::More:
                more << std::move(text);
                break;
            case Part::Postcode:
                entry.postcode = std::move(text);
                break;
            case Part::Town:
                entry.town = std::move(text);
                break;
            case Part::Country:
                entry.country = std::move(text);
                break;
            case Part::Formatted:
                formatted = std::move(text);
                break;
        }
    }
    entry.value = streetOf(street, more, formatted);
    return entry;
}

// The card's own fields that a typed value may take: the first work number, mobile and
// work fax, the first e-mail address and web page, and the first work address (our own
// export writes the card's fields so).
class OwnFields {
public:
    OwnFields(const PresetExtras& layout, const FieldMapping& mapping, PresetExtras::Read& out)
        : layout_(layout), mapping_(mapping), out_(out) {}

    bool take(const store::Entry& entry, const QString& label) {
        using store::Field;
        switch (entry.kind) {
            case Kind::Telefon: {
                const auto field = label == u"work"       ? Field::Telefon
                                   : label == u"mobile"   ? Field::Mobiltelefon
                                   : label == u"work fax" ? Field::Fax
                                                          : Field::Nr;
                return field != Field::Nr && put({{field, entry.value}});
            }
            case Kind::EMail:
                return put({{Field::EMailAdresse, entry.value}});
            case Kind::Webseite:
                return put({{Field::Webseite, entry.value}});
            case Kind::Anschrift:
                return label == u"work" && entry.country.isEmpty() &&
                       put({{Field::Strasse, entry.value},
                            {Field::Postleitzahl, entry.postcode},
                            {Field::Ort, entry.town}});
        }
        return false;
    }

private:
    bool put(std::initializer_list<std::pair<store::Field, QString>> values) {
        for (const auto& [field, text] : values) {
            const std::size_t t = target(field);
            if (!layout_.fillsTarget(t) || mapping_.isAssigned(t) || out_.targets.at(t)) {
                return false;
            }
        }
        for (const auto& [field, text] : values) {
            out_.targets.at(target(field)) = text;
        }
        return true;
    }

    const PresetExtras& layout_;
    const FieldMapping& mapping_;
    PresetExtras::Read& out_;
};

}  // namespace

PresetExtras::Read PresetExtras::read(const FieldMapping& mapping,
                                      std::span<const QStringView> fields) const {
    const RecordValues values(mapping, fields);
    Read out;
    store::CardExtras& extras = out.extras;
    readDetails(details_, values, extras);
    OwnFields own(*this, mapping, out);
    for (const Group& group : groups_) {
        const QStringView types =
            group.typeColumn >= 0 ? values.at(group.typeColumn) : QStringView();
        const int count = valueCount(group, values);
        for (int nth = 0; nth < count; ++nth) {
            store::Entry entry = nthEntry(group, values, nth);
            if (entry.isBlank()) {
                continue;
            }
            // One type for several values gives each of them that type.
            const bool typeEach = types.contains(kMultipleValues);
            const QString label = plainLabel(nthValue(types, typeEach ? nth : 0, typeEach));
            if (group.isEvent) {
                if (label == u"anniversary" && !extras.anniversary) {
                    extras.anniversary = foreignDate(entry.value);
                }
                continue;
            }
            entry.type = group.type.value_or(typeOfLabel(group.kind, label));
            if (!group.type && own.take(entry, label)) {
                continue;
            }
            extras.entries.push_back(std::move(entry));
        }
    }
    extras.groupEntriesByKind();
    return out;
}

std::optional<store::PartialDate> foreignDate(QStringView text) {
    text = text.trimmed();
    if (auto iso = store::PartialDate::parse(text)) {
        return iso;
    }
    const bool us = text.contains(u'/');
    const auto parts = text.split(us ? u'/' : u'.', Qt::SkipEmptyParts);
    if (parts.size() < 2 || parts.size() > 3 || (us && parts.size() != 3)) {
        return std::nullopt;
    }
    const int year = parts.size() == 3 ? number(parts[2]) : 0;
    if (year != 0 && year < 1000) {
        return std::nullopt;  // no guessing the century; Outlook's 0/0/00 is no date
    }
    return us ? dateOf(year, number(parts[0]), number(parts[1]))
              : dateOf(year, number(parts[1]), number(parts[0]));
}

PreviewRow presetPreviewRow(const FieldMapping& mapping, std::span<const QStringView> fields) {
    const PresetExtras& layout = *mapping.extras();
    PresetExtras::Read read = layout.read(mapping, fields);
    PreviewRow::Fields texts;
    texts[kCategoryTarget] = mapping.category();
    for (std::size_t t = kCategoryTarget + 1; t < kTargetCount; ++t) {
        const auto& source = mapping.source(t);
        const auto column = source ? static_cast<std::size_t>(source->column) : 0;
        texts[t] = source ? (column < fields.size() ? fields[column] : QStringView(kEmptyValue))
                   : read.targets[t] && !read.targets[t]->isEmpty() ? QStringView(*read.targets[t])
                   : layout.fillsTarget(t)                          ? QStringView(kEmptyValue)
                                                                    : QStringView(kUnmappedValue);
    }
    PreviewRow row(texts);
    if (!read.extras.isEmpty()) {
        row.extras = std::make_shared<const store::CardExtras>(std::move(read.extras));
    }
    return row;
}

}  // namespace veltro::import
