#include "fulltext/FullTextIndex.h"

#include "richtext/StoredText.h"
#include "store/ByteSearch.h"
#include "store/CaseFold.h"
#include "store/FoldedUtf8.h"
#include "store/FullTextNotes.h"
#include "store/LikePattern.h"

#include <algorithm>
#include <array>
#include <climits>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace veltro::fulltext {

using store::Field;

namespace {

// Small enough that a cancel is noticed within a few milliseconds.
constexpr std::int64_t kChunk = 250;

bool hasWildcard(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c == u'*' || c == u'?' || c == u'#' || c == u'['; });
}

std::string utf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// Piece ids take one byte below 0x80, the most frequent ones; then two, three or four, the
// first byte saying how many (10xxxxxx, 110xxxxx, 111xxxxx) and holding the highest bits.
void appendId(std::vector<std::uint8_t>& bytes, std::uint32_t id) {
    const auto byte = [](std::uint32_t value) { return static_cast<std::uint8_t>(value & 0xFF); };
    if (id < 0x80) {
        bytes.push_back(byte(id));
    } else if (id < 0x4000) {
        bytes.insert(bytes.end(), {byte(0x80 | (id >> 8)), byte(id)});
    } else if (id < 0x200000) {
        bytes.insert(bytes.end(), {byte(0xC0 | (id >> 16)), byte(id >> 8), byte(id)});
    } else {
        bytes.insert(bytes.end(),
                     {byte(0xE0 | (id >> 24)), byte(id >> 16), byte(id >> 8), byte(id)});
    }
}

// How many bytes follow a piece id's first byte.
constexpr std::size_t followingBytes(std::uint8_t first) {
    return first < 0x80 ? 0 : first < 0xC0 ? 1 : first < 0xE0 ? 2 : 3;
}

// Walks the piece ids of a record; `visit` returns false to stop.
template <typename Visit>
void forEachId(std::span<const std::uint8_t> bytes, Visit&& visit) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t first = bytes[i];
        const std::size_t more = followingBytes(first);
        std::uint32_t id = more == 0 ? first : more == 1 ? first & 0x3Fu : first & 0x1Fu;
        for (std::size_t k = 0; k < more && i + 1 < bytes.size(); ++k) {
            id = (id << 8) | bytes[++i];
        }
        if (!visit(id)) {
            return;
        }
    }
}

// The bytes a piece id begins with: its first, and its second where it has one, which tells
// it from the other ids that share the first.
struct IdPrefix {
    std::uint8_t first = 0;
    std::uint8_t second = 0;
    bool two = false;

    static IdPrefix of(std::uint32_t id) {
        std::vector<std::uint8_t> bytes;
        appendId(bytes, id);
        return {bytes[0], bytes.size() > 1 ? bytes[1] : std::uint8_t{0}, bytes.size() > 1};
    }
    friend bool operator==(const IdPrefix&, const IdPrefix&) = default;
    [[nodiscard]] bool at(std::span<const std::uint8_t> bytes, std::size_t i) const {
        return bytes[i] == first && (!two || (i + 1 < bytes.size() && bytes[i + 1] == second));
    }
};

// The first place at or after `from` where one of `wanted` (at most PieceMarks::kFew)
// begins, or bytes.size(). Sixteen places at a time where the processor allows.
std::size_t findAnyPrefix(std::span<const std::uint8_t> bytes, std::size_t from,
                          std::span<const IdPrefix> wanted) {
    std::size_t at = from;
#if defined(__SSE2__)
    struct Needle {
        __m128i first;  // wrapped: a vector type loses its alignment as a template argument
        __m128i second;
    };
    std::array<Needle, PieceMarks::kFew> needles{};
    for (std::size_t k = 0; k < wanted.size(); ++k) {
        needles[k].first = _mm_set1_epi8(static_cast<char>(wanted[k].first));
        needles[k].second = _mm_set1_epi8(static_cast<char>(wanted[k].second));
    }
    const __m128i all = _mm_set1_epi8(-1);
    for (; at + 17 <= bytes.size(); at += 16) {
        const auto* place = bytes.data() + at;
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(place));
        const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(place + 1));
        __m128i hits = _mm_setzero_si128();
        for (std::size_t k = 0; k < wanted.size(); ++k) {
            const __m128i second = wanted[k].two ? _mm_cmpeq_epi8(after, needles[k].second) : all;
            hits =
                _mm_or_si128(hits, _mm_and_si128(_mm_cmpeq_epi8(here, needles[k].first), second));
        }
        if (const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0) {
            return at + static_cast<std::size_t>(__builtin_ctz(mask));
        }
    }
#endif
    for (; at < bytes.size(); ++at) {
        if (std::any_of(wanted.begin(), wanted.end(),
                        [&](const IdPrefix& prefix) { return prefix.at(bytes, at); })) {
            return at;
        }
    }
    return bytes.size();
}

// Runs of word bytes with the separators after them.
template <typename Visit>
void forEachPiece(std::string_view text, Visit&& visit) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && isWordByte(static_cast<unsigned char>(text[end]))) {
            ++end;
        }
        while (end < text.size() && !isWordByte(static_cast<unsigned char>(text[end]))) {
            ++end;
        }
        visit(text.substr(start, end - start));
        start = end;
    }
}

void appendLength(std::string& out, std::size_t length) {
    do {
        const auto low = static_cast<char>(length & 0x7F);
        length >>= 7;
        out.push_back(static_cast<char>(low | (length != 0 ? 0x80 : 0)));
    } while (length != 0);
}

std::size_t readLength(std::span<const char> bytes, std::size_t& at) {
    std::size_t length = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[at++]);
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) {
            return length;
        }
    }
}

// The longest run of word bytes in a text: any match must hold it within one piece.
std::string_view longestWordRun(std::string_view text) {
    std::string_view best;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && isWordByte(static_cast<unsigned char>(text[end]))) {
            ++end;
        }
        if (end - start > best.size()) {
            best = text.substr(start, end - start);
        }
        start = end + 1;
    }
    return best;
}

}  // namespace

namespace {

// The columns kept as pieces first, then those kept as they are.
constexpr std::array<FullTextIndex::Column, FullTextIndex::kColumns> kColumnTable = {{
    {Field::Schlagworte, FullTextIndex::Match::Contains},
    {Field::Vorname, FullTextIndex::Match::Contains},
    {Field::Nachname, FullTextIndex::Match::Contains},
    {Field::Firma, FullTextIndex::Match::Contains},
    {Field::Abteilung, FullTextIndex::Match::Contains},
    {Field::Strasse, FullTextIndex::Match::Contains},
    {Field::Ort, FullTextIndex::Match::Contains},
    {Field::Notizen, FullTextIndex::Match::Contains},
    {std::nullopt, FullTextIndex::Match::Contains},
    {std::nullopt, FullTextIndex::Match::Contains},
    {Field::Postleitzahl, FullTextIndex::Match::BeginsWith},
    {Field::EMailAdresse, FullTextIndex::Match::BeginsWith},
    {Field::Nr, FullTextIndex::Match::BeginsWith},
    {Field::Webseite, FullTextIndex::Match::BeginsWith},
    {Field::Vorwahl, FullTextIndex::Match::EndsWith},
    {Field::Telefon, FullTextIndex::Match::EndsWith},
}};

// The column of each field the store notes changes of, in the store's order.
constexpr std::array<std::size_t, store::kFullTextFields.size()> columnsOfFields() {
    std::array<std::size_t, store::kFullTextFields.size()> at{};
    for (std::size_t i = 0; i < at.size(); ++i) {
        at[i] = i < FullTextIndex::kExtrasWordsColumn ? i : i + 2;
    }
    return at;
}
constexpr auto kColumnOfField = columnsOfFields();

constexpr bool sameFieldsAsTheStoreNotes() {
    for (std::size_t i = 0; i < store::kFullTextFields.size(); ++i) {
        if (kColumnTable[kColumnOfField[i]].field != store::kFullTextFields[i]) {
            return false;
        }
    }
    return !kColumnTable[FullTextIndex::kExtrasWordsColumn].field &&
           !kColumnTable[FullTextIndex::kExtrasOtherColumn].field;
}
static_assert(sameFieldsAsTheStoreNotes());

const std::vector<Field>& storeFields() {
    static const std::vector<Field> fields(store::kFullTextFields.begin(),
                                           store::kFullTextFields.end());
    return fields;
}

// Text the store may hold broken: read as the store's text would be, broken sequences replaced.
void appendFolded(std::string_view bytes, std::string& out) {
    if (store::isValidUtf8(bytes)) {
        store::appendFoldedUtf8(bytes, out);
    } else {
        out += utf8(
            store::foldCase(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))));
    }
}

// Each line of the extras, folded, to the words or the other column; a search never finds
// text across two lines, so it does not matter that they are kept apart.
void appendExtras(std::string_view bytes, FullTextIndex::Values& values) {
    std::string folded;
    appendFolded(bytes, folded);
    for (std::size_t start = 0; start < folded.size();) {
        const std::size_t end = std::min(folded.find('\n', start), folded.size() - 1) + 1;
        const std::string_view line = std::string_view(folded).substr(start, end - start);
        const bool wordsOnly = std::none_of(
            line.begin(), line.end(), [](char c) { return (c >= '0' && c <= '9') || c == '@'; });
        values[wordsOnly ? FullTextIndex::kExtrasWordsColumn : FullTextIndex::kExtrasOtherColumn]
            .append(line);
        start = end;
    }
}

}  // namespace

const std::array<FullTextIndex::Column, FullTextIndex::kColumns>& FullTextIndex::columns() {
    return kColumnTable;
}

FullTextIndex::Values FullTextIndex::valuesOf(const store::Card& card, std::string_view extras) {
    Values values;
    for (std::size_t i = 0; i < store::kFullTextFields.size(); ++i) {
        const Field field = store::kFullTextFields[i];
        const QString value = card.text(field);
        values[kColumnOfField[i]] = utf8(store::foldCase(
            field == Field::Notizen ? richtext::plainTextFromStored(value, richtext::LineBreak::Lf)
                                    : value));
    }
    appendExtras(extras, values);
    return values;
}

FullTextIndex::Values FullTextIndex::valuesOfUtf8(std::span<const std::string_view> fields,
                                                  std::string_view extras) {
    Values values;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string_view bytes = fields[i];
        std::string& value = values[kColumnOfField[i]];
        if (store::kFullTextFields[i] == Field::Notizen && store::isValidUtf8(bytes) &&
            richtext::looksLikeRtf(
                QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())))) {
            const QByteArray plain =
                richtext::plainTextFromStoredUtf8(bytes, richtext::LineBreak::Lf).toUtf8();
            store::appendFoldedUtf8(
                std::string_view(plain.constData(), static_cast<std::size_t>(plain.size())), value);
        } else if (store::kFullTextFields[i] == Field::Notizen && !store::isValidUtf8(bytes)) {
            const QString text =
                QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
            value =
                utf8(store::foldCase(richtext::plainTextFromStored(text, richtext::LineBreak::Lf)));
        } else {
            appendFolded(bytes, value);
        }
    }
    appendExtras(extras, values);
    return values;
}

std::int64_t FullTextIndex::readValues(store::CardStore& store, store::SearchableExtras& extras,
                                       std::int64_t after, std::int64_t until, std::int64_t limit,
                                       std::vector<std::pair<std::int64_t, Values>>& cards) {
    cards.clear();
    const std::int64_t last =
        store.visitHeadedRows(after, until, limit, storeFields(),
                              [&](std::int64_t id, std::span<const std::string_view> values) {
                                  cards.emplace_back(id, valuesOfUtf8(values, {}));
                              });
    if (last == 0) {
        return 0;
    }
    std::vector<std::pair<std::int64_t, std::string>> texts;
    extras.read(after, last, texts);
    auto card = cards.begin();
    for (const auto& [id, text] : texts) {
        while (card != cards.end() && card->first < id) {
            ++card;
        }
        if (card != cards.end() && card->first == id) {
            appendExtras(text, card->second);
        }
    }
    return last;
}

FullTextIndex::Prepared FullTextIndex::prepare(std::int64_t id, const Values& values) {
    Prepared card;
    card.id = id;
    for (std::size_t i = 0; i < kPieceColumns; ++i) {
        forEachPiece(values[i], [&](std::string_view piece) {
            card.pieces.push_back({static_cast<std::uint32_t>(card.text.size()),
                                   static_cast<std::uint32_t>(piece.size()),
                                   TokenDictionary::hashOf(piece)});
            card.text += piece;
        });
        card.pieces.push_back({});  // the end of the field
    }
    for (std::size_t i = kPieceColumns; i < kColumns; ++i) {
        appendLength(card.edges, values[i].size());
        card.edges += values[i];
    }
    return card;
}

void FullTextIndex::append(std::int64_t id, const Values& values) {
    append(prepare(id, values));
}

void FullTextIndex::append(const Prepared& card) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(card.pieces.size());
    const std::string_view text(card.text);
    for (const Prepared::Piece& piece : card.pieces) {
        if (piece.length == 0) {
            bytes.push_back(0);
        } else {
            appendId(bytes, words_.idOf(text.substr(piece.offset, piece.length), piece.hash));
        }
    }
    Record record;
    record.id = card.id;
    record.pieces = pieces_.append(bytes);
    record.pieceBytes = static_cast<std::uint32_t>(bytes.size());
    record.edges = edges_.append(std::span<const char>(card.edges.data(), card.edges.size()));
    record.edgeBytes = static_cast<std::uint32_t>(card.edges.size());
    records_.push_back(record);
    setPosition(card.id, static_cast<std::uint32_t>(records_.size()));
    ++live_;
}

namespace {
constexpr std::int64_t kDenseIds = std::int64_t{1} << 26;
}  // namespace

void FullTextIndex::setPosition(std::int64_t id, std::uint32_t position) {
    if (id < 0 || id >= kDenseIds) {
        if (position == 0) {
            farPositions_.erase(id);
        } else {
            farPositions_[id] = position;
        }
        return;
    }
    const auto at = static_cast<std::size_t>(id);
    if (at >= positions_.size()) {
        if (position == 0) {
            return;
        }
        positions_.resize(std::max(at + 1, positions_.size() + positions_.size() / 2));
    }
    positions_[at] = position;
}

std::uint32_t FullTextIndex::positionOf(std::int64_t id) const {
    if (id < 0 || id >= kDenseIds) {
        const auto found = farPositions_.find(id);
        return found == farPositions_.end() ? 0 : found->second;
    }
    const auto at = static_cast<std::size_t>(id);
    return at < positions_.size() ? positions_[at] : 0;
}

bool FullTextIndex::build(store::CardStore& store, const std::atomic<bool>& cancel) {
    store::SearchableExtras extras(store.db());
    std::vector<std::pair<std::int64_t, Values>> cards;
    for (std::int64_t after = 0; !cancel;) {
        after = readValues(store, extras, after, INT64_MAX, kChunk, cards);
        for (const auto& [id, values] : cards) {
            append(id, values);
        }
        if (after == 0) {
            return true;
        }
    }
    return false;
}

bool FullTextIndex::holdsAny(const Record& record, const PieceMarks& marks) const {
    bool found = false;
    forEachId(pieces_.at(record.pieces, record.pieceBytes), [&](std::uint32_t id) {
        found = marks.has(id);
        return !found;
    });
    return found;
}

// A few pieces: where their ids begin is looked for in the blocks directly, and only the
// records with a candidate are read. A candidate may lie within a longer id, so each record
// is read through before it counts.
void FullTextIndex::searchFewPieces(const PieceMarks& marks, IdSet& ids) const {
    std::array<IdPrefix, PieceMarks::kFew> wanted{};
    std::size_t count = 0;
    for (const std::uint32_t id : marks.few()) {
        const IdPrefix prefix = IdPrefix::of(id);
        if (std::find(wanted.begin(), wanted.begin() + count, prefix) == wanted.begin() + count) {
            wanted[count++] = prefix;
        }
    }
    const auto prefixes = std::span<const IdPrefix>(wanted.data(), count);
    auto next = records_.begin();
    for (std::size_t b = 0; b < pieces_.blockCount(); ++b) {
        const auto block = pieces_.block(b);
        for (std::size_t at = findAnyPrefix(block, 0, prefixes); at < block.size();) {
            // The record that holds this byte: records lie in the blocks in their order.
            next = std::upper_bound(
                next, records_.end(), std::pair(b, at),
                [](const std::pair<std::size_t, std::size_t>& place, const Record& r) {
                    return place <
                           std::pair<std::size_t, std::size_t>(r.pieces.block, r.pieces.offset);
                });
            const Record& record = *(next - 1);
            if (record.alive && holdsAny(record, marks)) {
                ids.insert(record.id);
            }
            at = findAnyPrefix(block, record.pieces.offset + record.pieceBytes, prefixes);
        }
    }
}

void FullTextIndex::searchPieces(const PieceMarks& marks, IdSet& ids) const {
    if (marks.count() == 0) {
        return;
    }
    if (marks.count() <= PieceMarks::kFew) {
        searchFewPieces(marks, ids);
        return;
    }
    for (const Record& record : records_) {
        if (!record.alive) {
            continue;
        }
        bool found = false;
        forEachId(pieces_.at(record.pieces, record.pieceBytes), [&](std::uint32_t id) {
            found = marks.has(id);
            return !found;
        });
        if (found) {
            ids.insert(record.id);
        }
    }
}

// For texts with separators: each field put back together, of the cards that hold the
// text's longest word somewhere.
void FullTextIndex::searchJoined(std::string_view needle, IdSet& ids) const {
    const std::string_view key = longestWordRun(needle);
    const std::optional<PieceMarks> marks =
        key.empty() ? std::nullopt : std::optional(words_.containing(key));
    std::string field;
    for (const Record& record : records_) {
        if (!record.alive) {
            continue;
        }
        bool candidate = !marks;
        field.clear();
        bool found = false;
        forEachId(pieces_.at(record.pieces, record.pieceBytes), [&](std::uint32_t id) {
            candidate = candidate || marks->has(id);
            if (id != 0) {
                field += words_.text(id);
                return true;
            }
            found = candidate && store::findBytes(field, 0, needle) != std::string_view::npos;
            field.clear();
            return !found;
        });
        if (found) {
            ids.insert(record.id);
        }
    }
}

void FullTextIndex::searchEdges(std::string_view needle, IdSet& ids) const {
    for (const Record& record : records_) {
        if (!record.alive || ids.contains(record.id)) {
            continue;
        }
        const auto bytes = edges_.at(record.edges, record.edgeBytes);
        std::size_t at = 0;
        for (std::size_t i = kPieceColumns; i < kColumns; ++i) {
            const std::size_t length = readLength(bytes, at);
            const std::string_view value(bytes.data() + at, length);
            at += length;
            const Match match = columns()[i].match;
            if (match == Match::Contains
                    ? store::findBytes(value, 0, needle) != std::string_view::npos
                : match == Match::BeginsWith ? value.starts_with(needle)
                                             : value.ends_with(needle)) {
                ids.insert(record.id);
                break;
            }
        }
    }
}

FullTextIndex::Values FullTextIndex::valuesOf(const Record& record) const {
    Values values;
    std::size_t column = 0;
    forEachId(pieces_.at(record.pieces, record.pieceBytes), [&](std::uint32_t id) {
        if (id == 0) {
            ++column;
        } else {
            values[column] += words_.text(id);
        }
        return true;
    });
    const auto bytes = edges_.at(record.edges, record.edgeBytes);
    std::size_t at = 0;
    for (std::size_t i = kPieceColumns; i < kColumns; ++i) {
        const std::size_t length = readLength(bytes, at);
        values[i].assign(bytes.data() + at, length);
        at += length;
    }
    return values;
}

IdSet FullTextIndex::searchPattern(const QString& text) const {
    const auto contains = store::LikePattern::compile(u'*' + text + u'*');
    const auto begins = store::LikePattern::compile(text + u'*');
    const auto ends = store::LikePattern::compile(u'*' + text);
    IdSet ids;
    for (const Record& record : records_) {
        if (!record.alive) {
            continue;
        }
        const Values values = valuesOf(record);
        for (std::size_t i = 0; i < kColumns; ++i) {
            const Match match = columns()[i].match;
            const auto& pattern = match == Match::Contains     ? *contains
                                  : match == Match::BeginsWith ? *begins
                                                               : *ends;
            if (pattern.matchesFolded(QString::fromUtf8(
                    values[i].data(), static_cast<qsizetype>(values[i].size())))) {
                ids.insert(record.id);
                break;
            }
        }
    }
    return ids;
}

std::optional<IdSet> FullTextIndex::search(const QString& text) const {
    if (!store::LikePattern::compile(text)) {
        return std::nullopt;
    }
    if (hasWildcard(text)) {
        return searchPattern(text);
    }
    const std::string needle = utf8(store::foldCase(text));
    IdSet ids;
    if (needle.empty()) {
        for (const Record& record : records_) {
            if (record.alive) {
                ids.insert(record.id);
            }
        }
        return ids;
    }
    if (std::all_of(needle.begin(), needle.end(),
                    [](char c) { return isWordByte(static_cast<unsigned char>(c)); })) {
        searchPieces(words_.containing(needle), ids);
    } else {
        searchJoined(needle, ids);
    }
    searchEdges(needle, ids);
    return ids;
}

void FullTextIndex::update(const store::Card& card, std::string_view extras) {
    replace(card.id,
            card.value(Field::Schlagworte) ? std::optional(valuesOf(card, extras)) : std::nullopt);
}

void FullTextIndex::remove(std::int64_t id) {
    if (const std::uint32_t position = positionOf(id); position != 0) {
        records_[position - 1].alive = false;
        --live_;
        setPosition(id, 0);
    }
}

void FullTextIndex::replace(std::int64_t id, const std::optional<Values>& values) {
    remove(id);
    if (values) {
        append(id, *values);
    }
    compactIfWasteful();
}

void FullTextIndex::write(ImageSink& sink) const {
    words_.write(sink);
    pieces_.write(sink);
    edges_.write(sink);
    sink.put(records_);
}

bool FullTextIndex::read(ImageSource& source) {
    if (!words_.read(source) || !pieces_.read(source) || !edges_.read(source) ||
        !source.get(records_, source.left() / sizeof(Record))) {
        return false;
    }
    const auto fits = [](const auto& buffer, auto place, std::size_t count) {
        return place.block < buffer.blockCount() &&
               std::size_t{place.offset} + count <= buffer.block(place.block).size();
    };
    live_ = 0;
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const Record& record = records_[i];
        if (!fits(pieces_, record.pieces, record.pieceBytes) ||
            !fits(edges_, record.edges, record.edgeBytes)) {
            return false;
        }
        if (record.alive) {
            if (positionOf(record.id) != 0) {
                return false;  // a card twice
            }
            setPosition(record.id, static_cast<std::uint32_t>(i + 1));
            ++live_;
        }
    }
    return true;
}

void FullTextIndex::compactIfWasteful() {
    if (records_.size() < 1024 || live_ * 2 > records_.size()) {
        return;
    }
    FullTextIndex compacted;
    compacted.words_ = words_;
    for (const Record& record : records_) {
        if (record.alive) {
            compacted.append(record.id, valuesOf(record));
        }
    }
    *this = std::move(compacted);
}

}  // namespace veltro::fulltext
