// duplicates: the search for duplicate cards over a store in which one card in a hundred
// repeats another in a changed form; every planted pair must be found.
#include "Bench.h"

#include "duplicates/DuplicateFinder.h"
#include "store/CardStore.h"
#include "store/Schema.h"
#include "store/SchemaVersion.h"
#include "store/Upgrade.h"

#include <QElapsedTimer>

#include <array>
#include <iostream>
#include <random>
#include <set>

namespace veltro::bench {

namespace {

namespace fs = std::filesystem;
using store::Field;

constexpr std::array kFirst = {u"Anna",  u"Jürgen", u"Lena",   u"Peter",   u"Sabine", u"Thomas",
                               u"Eva",   u"Klaus",  u"Mia",    u"Stefan",  u"Ingrid", u"Oliver",
                               u"Petra", u"Bernd",  u"Sophie", u"Michael", u"Karin",  u"Uwe",
                               u"Heike", u"Jonas",  u"Greta",  u"Lukas",   u"Marta",  u"Tobias"};
constexpr std::array kSyllables = {u"ber", u"dor", u"fal", u"gun", u"hel",  u"kra", u"lin",
                                   u"mös", u"nag", u"pol", u"rüb", u"sat",  u"tem", u"wal",
                                   u"zin", u"bau", u"kel", u"mar", u"schu", u"ston"};

QString familyName(std::mt19937& rng) {
    QString name;
    for (int i = 0; i < 4; ++i) {
        name += QString::fromUtf16(kSyllables[rng() % kSyllables.size()]);
    }
    name[0] = name[0].toUpper();
    return name;
}

store::Card baseCard(std::int64_t number, std::mt19937& rng) {
    const QString first = QString::fromUtf16(kFirst[rng() % kFirst.size()]);
    const QString last = familyName(rng);
    store::Card card;
    card.set(Field::Nr, QString::number(number));
    card.set(Field::Schlagworte, last + u' ' + first);
    card.set(Field::Kategorien, QStringLiteral("Kunden"));
    card.set(Field::Vorname, first);
    card.set(Field::Nachname, last);
    card.set(Field::Vorwahl, QStringLiteral("0951"));
    card.set(Field::Telefon, QString::number(1000000 + number));
    card.set(Field::EMailAdresse, QStringLiteral("kunde%1@example.de").arg(number));
    return card;
}

// The same person written another way: four kinds, each found by another key.
store::Card plantedCopy(const store::Card& base, std::int64_t number, int kind) {
    store::Card card;
    card.set(Field::Nr, QString::number(number));
    card.set(Field::Kategorien, QStringLiteral("Import"));
    const QString first = base.text(Field::Vorname);
    const QString last = base.text(Field::Nachname);
    switch (kind) {
        case 0:  // an import's copy
            card = base;
            card.set(Field::Schlagworte, base.text(Field::Schlagworte) + QStringLiteral("_1"));
            break;
        case 1:  // other case, order and title
            card.set(Field::Schlagworte, QStringLiteral("Dr. ") + first + u' ' + last.toUpper());
            card.set(Field::Vorname, first);
            card.set(Field::Nachname, last.toUpper());
            break;
        case 2:  // only the mail address, in capitals
            card.set(Field::Schlagworte, QStringLiteral("Kontakt %1").arg(number));
            card.set(Field::EMailAdresse, base.text(Field::EMailAdresse).toUpper());
            break;
        default:  // only the phone number, written internationally
            card.set(Field::Schlagworte, QStringLiteral("Anrufer %1").arg(number));
            card.set(Field::Mobiltelefon, QStringLiteral("+49 951 ") + base.text(Field::Telefon));
            break;
    }
    return card;
}

struct Planted {
    fs::path dir;
    std::vector<std::pair<std::int64_t, std::int64_t>> pairs;  // row ids
};

// Made once per size and kept; the planted pairs are worked out again from the seed.
Planted plantedStore(const BenchContext& context, std::int64_t cards) {
    Planted planted{context.cacheDir / ("duplicates-" + std::to_string(cards)), {}};
    const fs::path file = planted.dir / store::kStoreFileName;
    const bool make = !fs::exists(file);
    if (make) {
        std::cerr << "erzeuge Kartei mit " << cards << " Karten und Dubletten ..." << std::endl;
        fs::remove_all(planted.dir);
        store::createEmptyStore(planted.dir);
    }
    auto cardStore = store::CardStore::open(file);
    std::optional<store::Transaction> tx;
    std::optional<store::CardInserter> inserter;
    if (make) {
        tx.emplace(cardStore.db());
        inserter.emplace(cardStore.db());
    }
    std::mt19937 rng(7);
    const std::int64_t copies = cards / 100;
    std::vector<store::Card> bases;
    std::int64_t row = 0;
    for (std::int64_t i = 1; i <= cards - copies; ++i) {
        auto card = baseCard(i, rng);
        card.id = ++row;
        if (inserter) {
            inserter->insert(card);
        }
        if (i % 99 == 0 && static_cast<std::int64_t>(bases.size()) < copies) {
            bases.push_back(card);
        }
    }
    int kind = 0;
    for (const auto& base : bases) {
        const auto copy = plantedCopy(base, ++row, kind++ % 4);
        if (inserter) {
            inserter->insert(copy);
        }
        planted.pairs.emplace_back(base.id, row);
    }
    if (tx) {
        tx->commit();
    }
    return planted;
}

void duplicatesMetric(const BenchContext& context) {
    for (const std::int64_t cards : context.cardCounts) {
        const Planted planted = plantedStore(context, cards);
        std::vector<double> wall;
        std::vector<duplicates::Group> groups;
        Repeats repeats(context, cards);
        while (repeats.another()) {
            QElapsedTimer timer;
            timer.start();
            auto cardStore = store::CardStore::openForReading(planted.dir / store::kStoreFileName);
            groups = duplicates::findDuplicates(cardStore);
            wall.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        std::set<std::pair<std::int64_t, std::int64_t>> together;
        for (const auto& group : groups) {
            for (const auto& pair : group.pairs) {
                together.insert({pair.a, pair.b});
            }
        }
        std::size_t found = 0;
        for (const auto& pair : planted.pairs) {
            found += together.contains(pair) ? 1 : 0;
        }
        report("duplicates", cards, median(wall), repeats.done(),
               {{"planted", std::to_string(planted.pairs.size())},
                {"found", std::to_string(found)},
                {"groups", std::to_string(groups.size())}});
    }
}

const Register kDuplicatesMetric("duplicates", duplicatesMetric);

}  // namespace

}  // namespace veltro::bench
