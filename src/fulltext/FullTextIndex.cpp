#include "fulltext/FullTextIndex.h"

#include "richtext/StoredText.h"
#include "store/CaseFold.h"
#include "store/LikePattern.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace veltro::fulltext {

using store::Field;

namespace {

// Small enough that a cancel is noticed within a few milliseconds.
constexpr std::int64_t kChunk = 250;

bool hasWildcard(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c == u'*' || c == u'?' || c == u'#' || c == u'['; });
}

}  // namespace

const std::array<FullTextIndex::Column, FullTextIndex::kColumns>& FullTextIndex::columns() {
    // The contains-columns first, then those matched at one edge.
    static const std::array<Column, kColumns> table = {{
        {Field::Schlagworte, Match::Contains},
        {Field::Vorname, Match::Contains},
        {Field::Nachname, Match::Contains},
        {Field::Firma, Match::Contains},
        {Field::Abteilung, Match::Contains},
        {Field::Strasse, Match::Contains},
        {Field::Ort, Match::Contains},
        {Field::Notizen, Match::Contains},
        {Field::Postleitzahl, Match::BeginsWith},
        {Field::EMailAdresse, Match::BeginsWith},
        {Field::Nr, Match::BeginsWith},
        {Field::Webseite, Match::BeginsWith},
        {Field::Vorwahl, Match::EndsWith},
        {Field::Telefon, Match::EndsWith},
    }};
    return table;
}

namespace {
constexpr std::size_t kContainsColumns = 8;

std::array<QString, FullTextIndex::kColumns> foldedValues(const store::Card& card) {
    std::array<QString, FullTextIndex::kColumns> values;
    for (std::size_t i = 0; i < FullTextIndex::kColumns; ++i) {
        const Field field = FullTextIndex::columns()[i].field;
        const QString value = card.text(field);
        values[i] = store::foldCase(
            field == Field::Notizen ? richtext::plainTextFromStored(value, richtext::LineBreak::Lf)
                                    : value);
    }
    return values;
}
}  // namespace

void FullTextIndex::append(std::int64_t id, const std::array<QString, kColumns>& values) {
    Region region;
    region.id = id;
    region.containsBegin = containsText_.size();
    region.edgesBegin = edgeText_.size();
    for (std::size_t i = 0; i < kContainsColumns; ++i) {
        const QByteArray utf8 = values[i].toUtf8();
        containsText_.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        containsText_.push_back('\0');
    }
    for (std::size_t i = kContainsColumns; i < kColumns; ++i) {
        const QByteArray utf8 = values[i].toUtf8();
        edgeText_.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        region.edgeLength[i - kContainsColumns] = static_cast<std::uint32_t>(utf8.size());
    }
    regions_.push_back(region);
    ++live_;
}

bool FullTextIndex::build(store::CardStore& store, const std::atomic<bool>& cancel) {
    std::vector<Field> fields;
    for (const auto& column : columns()) {
        fields.push_back(column.field);
    }
    std::int64_t after = 0;
    for (;;) {
        if (cancel) {
            return false;
        }
        const auto cards = store.cardsAfter(after, kChunk, fields);
        if (cards.empty()) {
            return true;
        }
        for (const auto& card : cards) {
            if (cancel) {
                return false;
            }
            if (card.value(Field::Schlagworte)) {
                append(card.id, foldedValues(card));
            }
        }
        after = cards.back().id;
    }
}

std::size_t FullTextIndex::regionAt(std::size_t offset) const {
    const auto it = std::upper_bound(
        regions_.begin(), regions_.end(), offset,
        [](std::size_t value, const Region& r) { return value < r.containsBegin; });
    return static_cast<std::size_t>(it - regions_.begin()) - 1;
}

void FullTextIndex::searchLiteral(const std::string& needle, IdSet& ids) const {
    if (needle.empty()) {
        for (const auto& region : regions_) {
            if (region.alive) {
                ids.insert(region.id);
            }
        }
        return;
    }
    const char* base = containsText_.data();
    std::size_t from = 0;
    while (from < containsText_.size()) {
        const void* hit =
            memmem(base + from, containsText_.size() - from, needle.data(), needle.size());
        if (hit == nullptr) {
            break;
        }
        const std::size_t index =
            regionAt(static_cast<std::size_t>(static_cast<const char*>(hit) - base));
        const Region& region = regions_[index];
        if (region.alive) {
            ids.insert(region.id);
        }
        // Go on with the next card.
        from =
            index + 1 < regions_.size() ? regions_[index + 1].containsBegin : containsText_.size();
    }
}

void FullTextIndex::searchEdges(const std::string& needle, IdSet& ids) const {
    const std::string_view text(edgeText_);
    for (const auto& region : regions_) {
        if (!region.alive || ids.contains(region.id)) {
            continue;
        }
        std::size_t at = region.edgesBegin;
        for (std::size_t i = 0; i < region.edgeLength.size(); ++i) {
            const std::string_view value = text.substr(at, region.edgeLength[i]);
            at += region.edgeLength[i];
            const bool begins = columns()[kContainsColumns + i].match == Match::BeginsWith;
            if (begins ? value.starts_with(needle) : value.ends_with(needle)) {
                ids.insert(region.id);
                break;
            }
        }
    }
}

std::array<QString, FullTextIndex::kColumns> FullTextIndex::columnsOf(const Region& region) const {
    std::array<QString, kColumns> values;
    const char* at = containsText_.data() + region.containsBegin;
    for (std::size_t i = 0; i < kContainsColumns; ++i) {
        const std::size_t length = std::strlen(at);
        values[i] = QString::fromUtf8(at, static_cast<qsizetype>(length));
        at += length + 1;
    }
    std::size_t edge = region.edgesBegin;
    for (std::size_t i = kContainsColumns; i < kColumns; ++i) {
        const auto length = region.edgeLength[i - kContainsColumns];
        values[i] = QString::fromUtf8(edgeText_.data() + edge, length);
        edge += length;
    }
    return values;
}

IdSet FullTextIndex::searchPattern(const QString& text) const {
    const auto contains = store::LikePattern::compile(u'*' + text + u'*');
    const auto begins = store::LikePattern::compile(text + u'*');
    const auto ends = store::LikePattern::compile(u'*' + text);
    IdSet ids;
    for (const auto& region : regions_) {
        if (!region.alive) {
            continue;
        }
        const auto values = columnsOf(region);
        for (std::size_t i = 0; i < kColumns; ++i) {
            const Match match = columns()[i].match;
            const auto& pattern = match == Match::Contains     ? *contains
                                  : match == Match::BeginsWith ? *begins
                                                               : *ends;
            if (pattern.matchesFolded(values[i])) {
                ids.insert(region.id);
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
    const QByteArray folded = store::foldCase(text).toUtf8();
    const std::string needle(folded.constData(), static_cast<std::size_t>(folded.size()));
    IdSet ids;
    searchLiteral(needle, ids);
    searchEdges(needle, ids);
    return ids;
}

void FullTextIndex::update(const store::Card& card) {
    remove(card.id);
    if (card.value(Field::Schlagworte)) {
        append(card.id, foldedValues(card));
    }
    compactIfWasteful();
}

void FullTextIndex::remove(std::int64_t id) {
    for (auto& region : regions_) {
        if (region.alive && region.id == id) {
            region.alive = false;
            --live_;
        }
    }
}

void FullTextIndex::compactIfWasteful() {
    if (regions_.size() < 1024 || live_ * 2 > regions_.size()) {
        return;
    }
    FullTextIndex compacted;
    for (const auto& region : regions_) {
        if (region.alive) {
            compacted.append(region.id, columnsOf(region));
        }
    }
    *this = std::move(compacted);
}

}  // namespace veltro::fulltext
