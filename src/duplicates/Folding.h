#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <string>
#include <string_view>

// How names, e-mail addresses and phone numbers are made comparable when looking for
// duplicate cards.
namespace veltro::duplicates {

// A heading without the "_1", "_2" … an import appends to keep it unique.
[[nodiscard]] QStringView withoutImportSuffix(QStringView text);

// A name or heading as compared: case folded, ä ö ü as ae oe ue, ß as ss, other accents
// dropped, blanks and punctuation gone, the words "Dr.", "Herr" and "Frau" left out and
// the "_1", "_2" … an import adds to a heading ignored. "Dr. Jürgen Müller_1" and
// "juergen mueller" fold alike.
[[nodiscard]] QString foldName(QStringView text);
// foldName of a heading in UTF-8 written in ASCII and the German letters ä ö ü ß (either
// case, composed), into `folded`, without building strings of Qt; false (and `folded`
// undefined) for a heading with any other letter.
bool foldGermanName(std::string_view utf8, std::string& folded);

// The first byte of foldName of a heading in UTF-8 (if any), where its first letter or digit tells
// it for certain: ASCII or ä ö ü ß, no accent after it, and not the d, h or f a title (Dr, Herr,
// Frau) may start with. Nothing otherwise. A cheap sieve before folding whole headings.
[[nodiscard]] std::optional<char> certainFirstFolded(std::string_view utf8);

// The Cologne phonetics code of a name (digits), so that Meier, Maier, Mayer and Meyer
// or Schmidt and Schmitt share one code. Folds first; empty for a name without letters.
[[nodiscard]] QString phoneticKey(QStringView name);
// The same for a name folded already.
[[nodiscard]] QString phoneticKeyOfFolded(QStringView folded);

// The e-mail addresses in a field (several may stand separated by commas, semicolons or
// blanks), case folded, without a "mailto:".
[[nodiscard]] QStringList mailKeys(QStringView field);

// A phone number as its digits, a leading +49 or 0049 read as the 0 of a German number,
// another country's + as 00. Numbers given without area code take the card's own.
// Empty when fewer than six digits remain: too short to tell cards apart.
[[nodiscard]] QString phoneKey(QStringView number, QStringView areaCode = {});

}  // namespace veltro::duplicates
