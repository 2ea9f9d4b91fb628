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

bool isVoice(const Property& tel) {
    return !tel.is(vcard::kFax | vcard::kCell | vcard::kPager);
}

// Which lines the mapping reads into the card's fields, chosen by the same rules: the first
// of each kind, the work address before others, every note and every property of our own.
QList<bool> mappedLines(const QList<Line>& lines) {
    QList<bool> mapped(lines.size(), false);
    const auto firstWhere = [&](const QByteArray& name, auto&& fits) {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].name == name) {
                if (const auto property = propertyOf(lines[i]); property && fits(*property)) {
                    mapped[i] = true;
                    return true;
                }
            }
        }
        return false;
    };
    const auto any = [](const Property&) { return true; };
    for (const char* name : {"N", "FN", "ORG", "EMAIL", "URL"}) {
        firstWhere(name, any);
    }
    if (!firstWhere("ADR", [](const Property& p) { return p.is(vcard::kWork); })) {
        firstWhere("ADR", any);
    }
    firstWhere("TEL", isVoice);
    firstWhere("TEL", [](const Property& p) { return p.is(vcard::kFax); });
    firstWhere("TEL", [](const Property& p) { return p.is(vcard::kCell) && !p.is(vcard::kFax); });
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& name = lines[i].name;
        mapped[i] = mapped[i] || name == "NOTE" || name == "REV" || name.startsWith("X-VELTRO-");
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

QString uidOf(const QByteArray& text) {
    const auto read = vcard::readVcards(text);
    if (read.cards.empty()) {
        return {};
    }
    const vcard::Property* uid = read.cards.front().first(vcard::Name::UID);
    return uid != nullptr ? vcard::unescapeText(uid->value).trimmed() : QString();
}

store::Card comparable(const store::Card& card, const QString& category) {
    auto back = cardFromText(vcard::cardToVcard(card, QStringLiteral("x")), category);
    store::Card result = back.value_or(card);
    result.id = card.id;
    return result;
}

QByteArray mergedVcard(const QByteArray& serverText, const store::Card& card, const QString& uid,
                       const QDateTime& rev) {
    const QList<Line> server = linesOf(serverText);
    const bool usable = std::any_of(server.begin(), server.end(),
                                    [](const Line& line) { return line.name == "BEGIN"; });
    if (!usable) {
        return vcard::cardToVcard(card, uid, rev);
    }
    const QList<Line> ours = linesOf(vcard::cardToVcard(card, uid, rev, versionOf(server)));
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
