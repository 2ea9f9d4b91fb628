#include "mainwindow/FullTextIndex.h"

#include "richtext/StoredText.h"
#include "store/CaseFold.h"
#include "store/LikePattern.h"

#include <algorithm>

namespace veltro::mainwindow {

using store::Field;

const std::array<FullTextIndex::Column, FullTextIndex::kColumns>& FullTextIndex::columns() {
    static const std::array<Column, kColumns> table = {{
        {Field::Schlagworte, Match::Contains},
        {Field::Vorname, Match::Contains},
        {Field::Nachname, Match::Contains},
        {Field::Firma, Match::Contains},
        {Field::Abteilung, Match::Contains},
        {Field::Strasse, Match::Contains},
        {Field::Ort, Match::Contains},
        {Field::Postleitzahl, Match::BeginsWith},
        {Field::Vorwahl, Match::EndsWith},
        {Field::Telefon, Match::EndsWith},
        {Field::Notizen, Match::Contains},
        {Field::EMailAdresse, Match::BeginsWith},
        {Field::Nr, Match::BeginsWith},
        {Field::Webseite, Match::BeginsWith},
    }};
    return table;
}

FullTextIndex::Row FullTextIndex::makeRow(const store::Card& card) {
    Row row;
    row.id = card.id;
    for (std::size_t i = 0; i < kColumns; ++i) {
        const Field field = columns()[i].field;
        const QString value = card.text(field);
        row.folded[i] = store::foldCase(
            field == Field::Notizen ? richtext::plainTextFromStored(value, richtext::LineBreak::Lf)
                                    : value);
    }
    return row;
}

void FullTextIndex::build(store::CardStore& store) {
    rows_.clear();
    store.forEachCard([this](const store::Card& card) {
        if (card.value(Field::Schlagworte)) {
            rows_.push_back(makeRow(card));
        }
    });
    built_ = true;
}

std::optional<std::unordered_set<std::int64_t>> FullTextIndex::search(const QString& text) const {
    const auto contains = store::LikePattern::compile(u'*' + text + u'*');
    const auto begins = store::LikePattern::compile(text + u'*');
    const auto ends = store::LikePattern::compile(u'*' + text);
    if (!contains || !begins || !ends) {
        return std::nullopt;
    }
    const auto patternFor = [&](Match match) -> const store::LikePattern& {
        return match == Match::Contains ? *contains
                                        : (match == Match::BeginsWith ? *begins : *ends);
    };
    std::unordered_set<std::int64_t> ids;
    for (const Row& row : rows_) {
        for (std::size_t i = 0; i < kColumns; ++i) {
            if (patternFor(columns()[i].match).matchesFolded(row.folded[i])) {
                ids.insert(row.id);
                break;
            }
        }
    }
    return ids;
}

void FullTextIndex::update(const store::Card& card) {
    if (!built_) {
        return;
    }
    const auto it =
        std::find_if(rows_.begin(), rows_.end(), [&](const Row& r) { return r.id == card.id; });
    if (it != rows_.end()) {
        *it = makeRow(card);
    } else if (card.value(Field::Schlagworte)) {
        rows_.push_back(makeRow(card));
    }
}

void FullTextIndex::remove(std::int64_t id) {
    std::erase_if(rows_, [id](const Row& r) { return r.id == id; });
}

}  // namespace veltro::mainwindow
