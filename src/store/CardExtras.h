#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace veltro::store {

// A day of the year, with or without its year (a birthday whose year nobody knows).
struct PartialDate {
    int year = 0;  // 0: not known
    int month = 1;
    int day = 1;

    friend bool operator==(const PartialDate&, const PartialDate&) = default;

    // As the store keeps it: 1980-02-29, or --02-29 without a year.
    [[nodiscard]] QString text() const;
    // As a German reader writes it: 29.02.1980, or 29.02. without a year.
    [[nodiscard]] QString shown() const;
    // That form, and the basic forms 19800229 and --0229, each perhaps followed by a time
    // (T…); nothing for anything else or a day the calendar does not have.
    [[nodiscard]] static std::optional<PartialDate> parse(QStringView text);
};

// What a further entry of a card holds.
enum class EntryKind { Telefon, EMail, Anschrift, Webseite };

// What kind of number, address or page it is.
enum class EntryType { Privat, Geschaeftlich, Mobil, Fax, Pager, Andere };

// The types an entry of the kind may have, in the order a choice offers them.
[[nodiscard]] std::span<const EntryType> typesOf(EntryKind kind);
// The German word for the type ("privat", "geschäftlich", "mobil", "Fax", "Pager", "andere"),
// which the store keeps.
[[nodiscard]] QString typeName(EntryType type);
[[nodiscard]] std::optional<EntryType> typeByName(QStringView name);
// How the store names the kind ("Telefon", "E-Mail", "Anschrift", "Webseite").
[[nodiscard]] QString kindName(EntryKind kind);
[[nodiscard]] std::optional<EntryKind> kindByName(QStringView name);

// A telephone number, e-mail address, postal address or web page beyond the card's own field
// of that kind.
struct Entry {
    Entry() = default;
    Entry(EntryKind ofKind, EntryType ofType, QString text, QString code = {}, QString place = {},
          QString land = {})
        : kind(ofKind),
          type(ofType),
          value(std::move(text)),
          postcode(std::move(code)),
          town(std::move(place)),
          country(std::move(land)) {}

    EntryKind kind = EntryKind::Telefon;
    EntryType type = EntryType::Andere;
    QString value;     // the number, the e-mail address, the web address or the street
    QString postcode;  // the other three for postal addresses only
    QString town;
    QString country;

    friend bool operator==(const Entry&, const Entry&) = default;
    [[nodiscard]] bool isBlank() const;
};

// A picture of the person, the bytes as they came with their media type.
struct Photo {
    QByteArray bytes;
    QString mediaType;  // image/jpeg, image/png, …

    friend bool operator==(const Photo&, const Photo&) = default;
};

// The media type the bytes show they are (PNG, JPEG, GIF, WebP); empty when unknown.
[[nodiscard]] QString pictureType(const QByteArray& bytes);

// What a card holds beyond its sixteen fields and two blocks. The card's own telephone, fax,
// mobile, e-mail, web page and address fields stay its first entries of their kind; these
// follow them.
struct CardExtras {
    std::optional<PartialDate> birthday;
    std::optional<PartialDate> anniversary;
    QString nickname;
    QString title;  // title or position (vCard TITLE)
    QString role;   // the part the person plays (vCard ROLE)
    std::optional<Photo> photo;
    std::vector<Entry> entries;  // each kind in its order; kinds may interleave

    friend bool operator==(const CardExtras&, const CardExtras&) = default;

    [[nodiscard]] std::vector<Entry> of(EntryKind kind) const;
    [[nodiscard]] bool isEmpty() const;
    // Drops entries without any text: an empty line the user added and never filled.
    void dropBlankEntries();
    // Puts the entries in the order of their kinds, each kind in its own order: how the store
    // gives them back.
    void groupEntriesByKind();
};

// What two cards that become one hold beyond their fields: the first's dates, names and photo
// where it has them, else the second's; the first's entries, then the second's it lacks.
[[nodiscard]] CardExtras joinedExtras(const CardExtras& first, const CardExtras& second);

}  // namespace veltro::store
