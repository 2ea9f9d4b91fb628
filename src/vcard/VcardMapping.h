#pragma once

#include "import/PreviewTable.h"
#include "store/CardExtras.h"
#include "store/CardFields.h"
#include "vcard/VcardReader.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace veltro::vcard {

struct PhoneParts {
    QString areaCode;  // Vorwahl
    QString number;    // Telefon
};

// Splits a leading German area code off a number when a blank, a slash or parentheses
// separate it: "0221 123456", "0221/123456", "(0221) 123456". Anything else stays whole.
[[nodiscard]] PhoneParts splitAreaCode(const QString& phone);

// The heading a card gets from its names: "Nachname Vorname", else the formatted name,
// else the company.
[[nodiscard]] QString headingFromNames(const QString& lastName, const QString& firstName,
                                       const QString& formattedName, const QString& company);

// The lines of a text joined by ", ", blank ones dropped: how a value with line breaks
// fills a single-line field.
[[nodiscard]] QString singleLine(const QString& text);

// A short digest of what the standard properties say of name, firm and address (the
// components of N, ORG and the address the card takes, and FN). Written beside our own
// properties that refine them: where it no longer matches, another program changed the
// standard properties since, and they win over ours.
[[nodiscard]] QString standardBasis(const QStringList& name, const QStringList& org,
                                    const QStringList& address, const QString& formattedName);

// "Herr" or "Frau" when the name prefix is one of them (in any case), else empty.
[[nodiscard]] QString salutationFromPrefix(const QString& prefix);

// The card a vCard gives in the category; nothing when it has no name to make a heading
// from. Fields it does not fill stay empty. Address block and notes are plain text like
// those of every import.
[[nodiscard]] std::optional<store::Card> toCard(const Vcard& vcard, const QString& category);

// What the vCard holds beyond the card's fields: dates, photo, nickname, title, role, and every
// number, e-mail address, postal address and web page that the card's own fields did not take.
[[nodiscard]] store::CardExtras extrasOf(const Vcard& vcard);

// The card as an import row (preview and import run), fields in target order.
[[nodiscard]] import::PreviewRow toPreviewRow(const store::Card& card);
// The same with the vCard's extras; nothing when it has no name to make a heading from.
[[nodiscard]] std::optional<import::PreviewRow> rowOf(const Vcard& vcard, const QString& category);

struct VcardImport {
    std::vector<import::PreviewRow> rows;
    std::int64_t skipped = 0;  // broken cards and cards without any name
};

// The rows of every usable card of a read file.
[[nodiscard]] VcardImport importRows(const ReadResult& read, const QString& category);
// Nothing when the file cannot be read.
[[nodiscard]] std::optional<VcardImport> importFile(const QString& path, const QString& category);

// Reads the file and hands on its rows a chunk at a time, in the order of the file, each
// chunk with the cards it skipped; the cards the reading itself found broken are returned.
// Nothing when the file cannot be read.
std::optional<std::int64_t> readMapped(const QString& path, const QString& category,
                                       const std::function<void(VcardImport&&)>& take);

}  // namespace veltro::vcard
