#include "sync/VcardMerge.h"

#include "vcard/VcardMapping.h"
#include "vcard/VcardReader.h"
#include "vcard/VcardText.h"
#include "vcard/VcardWriter.h"

#include <QList>

#include <algorithm>
#include <array>

namespace veltro::sync {

namespace {

using vcard::Property;

// One logical line of a vCard with its physical lines as they came.
struct Line {
    QByteArray raw;       // folded, without the final line break
    QByteArray unfolded;  // for reading its name and parameters
    QByteArray name;      // upper case, group dropped
};

QList<Line> linesOf(const QByteArray& text) {
    QList<Line> lines;
    for (QByteArray physical : text.split('\n')) {
        if (physical.endsWith('\r')) {
            physical.chop(1);
        }
        if (!lines.isEmpty() && (physical.startsWith(' ') || physical.startsWith('\t'))) {
            lines.back().raw += "\r\n" + physical;
            lines.back().unfolded += physical.mid(1);
            continue;
        }
        if (physical.isEmpty()) {
            continue;
        }
        lines.push_back({physical, physical, {}});
    }
    for (Line& line : lines) {
        const qsizetype end = [&] {
            const qsizetype colon = line.unfolded.indexOf(':');
            const qsizetype semicolon = line.unfolded.indexOf(';');
            return semicolon >= 0 && (colon < 0 || semicolon < colon) ? semicolon : colon;
        }();
        QByteArray name = line.unfolded.left(end < 0 ? line.unfolded.size() : end).toUpper();
        const qsizetype dot = name.lastIndexOf('.');
        line.name = dot >= 0 ? name.mid(dot + 1) : name;
    }
    return lines;
}

// The property the reader makes of a single line (types decoded its own way).
std::optional<Property> propertyOf(const Line& line) {
    const QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\n" + line.unfolded + "\r\nEND:VCARD\r\n";
    auto read = vcard::readVcards(card);
    if (read.cards.empty() || read.cards.front().properties.empty()) {
        return std::nullopt;
    }
    return read.cards.front().properties.front();
}

// Which lines the card and its extras hold: the first N, FN and ORG, every number, address,
// e-mail address, web page, date, inline photo, nickname, title, role and note, and every
// property of our own.
QList<bool> mappedLines(const QList<Line>& lines) {
    using vcard::Name;
    QList<bool> mapped(lines.size(), false);
    for (const char* name : {"N", "FN", "ORG"}) {
        const auto first = std::find_if(lines.begin(), lines.end(),
                                        [name](const Line& line) { return line.name == name; });
        if (first != lines.end()) {
            mapped[first - lines.begin()] = true;
        }
    }
    static constexpr std::array kAll = {Name::TEL,   Name::EMAIL,       Name::ADR,   Name::URL,
                                        Name::BDAY,  Name::ANNIVERSARY, Name::PHOTO, Name::NICKNAME,
                                        Name::TITLE, Name::ROLE,        Name::NOTE,  Name::REV};
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto property = propertyOf(lines[i]);
        mapped[i] = mapped[i] || lines[i].name.startsWith("X-VELTRO-") ||
                    (property && std::find(kAll.begin(), kAll.end(), property->name) != kAll.end());
    }
    return mapped;
}

// Lines of our own vCard that describe the card's fields; identity and framing stay the
// server's, and the category is ours alone.
bool carriesFields(const QByteArray& name) {
    static constexpr std::array kSkipped = {"BEGIN", "END",        "VERSION",
                                            "UID",   "CATEGORIES", "PRODID"};
    return std::none_of(kSkipped.begin(), kSkipped.end(),
                        [&](const char* skipped) { return name == skipped; });
}

vcard::Version versionOf(const QList<Line>& lines) {
    for (const Line& line : lines) {
        if (line.name == "VERSION") {
            return line.unfolded.contains("4.0") ? vcard::Version::V4 : vcard::Version::V3;
        }
    }
    return vcard::Version::V3;
}

}  // namespace

std::optional<store::Card> cardFromText(const QByteArray& text, const QString& category) {
    const auto read = vcard::readVcards(text);
    if (read.cards.empty()) {
        return std::nullopt;
    }
    return vcard::toCard(read.cards.front(), category);
}

store::CardExtras extrasFromText(const QByteArray& text) {
    const auto read = vcard::readVcards(text);
    return read.cards.empty() ? store::CardExtras() : vcard::extrasOf(read.cards.front());
}

QString uidOf(const QByteArray& text) {
    const auto read = vcard::readVcards(text);
    if (read.cards.empty()) {
        return {};
    }
    const vcard::Property* uid = read.cards.front().first(vcard::Name::UID);
    return uid != nullptr ? vcard::unescapeText(uid->value).trimmed() : QString();
}

store::Card comparable(const store::Card& card, const QString& category) {
    return comparable(card, {}, category).card;
}

ComparableCard comparable(const store::Card& card, const store::CardExtras& extras,
                          const QString& category) {
    const QByteArray text =
        vcard::cardToVcard(card, QStringLiteral("x"), {}, vcard::Version::V3, extras);
    auto back = cardFromText(text, category);
    ComparableCard result{back.value_or(card), back ? extrasFromText(text) : extras};
    result.card.id = card.id;
    return result;
}

QByteArray mergedVcard(const QByteArray& serverText, const store::Card& card,
                       const store::CardExtras& extras, const QString& uid, const QDateTime& rev) {
    const QList<Line> server = linesOf(serverText);
    const bool usable = std::any_of(server.begin(), server.end(),
                                    [](const Line& line) { return line.name == "BEGIN"; });
    if (!usable) {
        return vcard::cardToVcard(card, uid, rev, vcard::Version::V3, extras);
    }
    const QList<Line> ours = linesOf(vcard::cardToVcard(card, uid, rev, versionOf(server), extras));
    const QList<bool> mapped = mappedLines(server);
    // Ours go first, so that where the server keeps more of a kind (a second number, a
    // second address) the card read back is still ours.
    QByteArray out;
    bool placed = false;
    for (qsizetype i = 0; i < server.size(); ++i) {
        const Line& line = server[i];
        if (!mapped[i]) {
            out += line.raw + "\r\n";
        }
        if (!placed && (line.name == "VERSION" || line.name == "END")) {
            if (line.name == "END") {
                out.chop(line.raw.size() + 2);
            }
            for (const Line& own : ours) {
                if (carriesFields(own.name)) {
                    out += own.raw + "\r\n";
                }
            }
            placed = true;
            if (line.name == "END") {
                out += line.raw + "\r\n";
            }
        }
        if (line.name == "END") {
            break;
        }
    }
    return out;
}

}  // namespace veltro::sync
