#include "store/CardStore.h"
#include "store/SampleCards.h"
#include "store/Schema.h"

#include <array>
#include <random>

namespace veltro::store {

namespace {

constexpr std::array kFirstNames = {
    u"Anna",   u"Jürgen", u"Lena",   u"Peter", u"Sabine", u"Thomas", u"Eva",     u"Klaus", u"Mia",
    u"Stefan", u"Ingrid", u"Oliver", u"Petra", u"Bernd",  u"Sophie", u"Michael", u"Karin", u"Uwe"};
constexpr std::array kLastNames = {
    u"Müller", u"Schmidt", u"Schneider", u"Fischer", u"Weber",      u"Meyer", u"Wagner",
    u"Becker", u"Schulz",  u"Hoffmann",  u"Schäfer", u"Koch",       u"Bauer", u"Richter",
    u"Klein",  u"Wolf",    u"Schröder",  u"Neumann", u"Zimmermann", u"Krüger"};
constexpr std::array kTowns = {u"Bamberg", u"Nürnberg", u"Würzburg",    u"Erlangen", u"Bayreuth",
                               u"Coburg",  u"Fürth",    u"Schweinfurt", u"Hof",      u"Ansbach"};
constexpr std::array kStreets = {u"Hauptstraße", u"Lindenweg",    u"Bahnhofstraße",
                                 u"Am Markt",    u"Gartenstraße", u"Schillerplatz",
                                 u"Mühlgasse",   u"Bergstraße"};
constexpr std::array kCategories = {u"Privat",   u"Familie",     u"Freunde",        u"Geschäftlich",
                                    u"Kunden",   u"Lieferanten", u"Handwerker",     u"Ärzte",
                                    u"Behörden", u"Vereine",     u"Schule",         u"Nachbarn",
                                    u"Verlage",  u"Banken",      u"Versicherungen", u"Presse",
                                    u"Hotels",   u"Restaurants", u"Kollegen",       u"Sonstiges"};

template <std::size_t N>
QString pick(const std::array<const char16_t*, N>& items, std::mt19937& rng) {
    return QString::fromUtf16(items[rng() % N]);
}

QStringList notesFor(const QString& first, const QString& town, std::mt19937& rng) {
    QStringList lines;
    lines << QStringLiteral("Kennengelernt %1 in %2.").arg(1990 + rng() % 35).arg(town);
    const int paragraphs = 3 + static_cast<int>(rng() % 6);
    for (int i = 0; i < paragraphs; ++i) {
        lines << QStringLiteral(
                     "%1 hat am %2.%3. angerufen wegen Termin Nr. %4; Rückruf erbeten, "
                     "Unterlagen liegen im Ordner %5. Bitte auch an die Grüße denken.")
                     .arg(first)
                     .arg(1 + rng() % 28)
                     .arg(1 + rng() % 12)
                     .arg(rng() % 10000)
                     .arg(QChar(u'A' + static_cast<char16_t>(rng() % 26)));
    }
    return lines;
}

Card syntheticCard(std::int64_t number, std::mt19937& rng) {
    const QString first = pick(kFirstNames, rng);
    const QString last = pick(kLastNames, rng);
    const QString town = pick(kTowns, rng);
    const QString street = pick(kStreets, rng) + u' ' + QString::number(1 + rng() % 150);
    const QString plz = QString::number(90000 + rng() % 8000);
    Card card;
    card.set(Field::Nr, QString::number(number));
    card.set(Field::Schlagworte, QStringLiteral("%1 %2 %3").arg(last, first).arg(number));
    card.set(Field::Kategorien, QString::fromUtf16(kCategories[rng() % kCategories.size()]));
    card.set(Field::Anrede, rng() % 2 == 0 ? QStringLiteral("Herr") : QStringLiteral("Frau"));
    card.set(Field::Vorname, first);
    card.set(Field::Nachname, last);
    if (rng() % 3 == 0) {
        card.set(Field::Firma, last + QStringLiteral(" GmbH"));
    }
    card.set(Field::Strasse, street);
    card.set(Field::Postleitzahl, plz);
    card.set(Field::Ort, town);
    card.set(Field::Vorwahl, QStringLiteral("09%1").arg(10 + rng() % 90));
    card.set(Field::Telefon, QString::number(10000 + rng() % 900000));
    card.set(Field::EMailAdresse,
             QStringLiteral("%1.%2@example.de").arg(first.toLower(), last.toLower()));
    card.set(Field::Anschrift,
             simpleRtf({first + u' ' + last, street, QString(), plz + u' ' + town}, true));
    card.set(Field::Notizen, simpleRtf(notesFor(first, town, rng)));
    return card;
}

}  // namespace

void writeSyntheticStore(const std::filesystem::path& directory, std::int64_t count,
                         std::uint32_t seed) {
    createEmptyStore(directory);
    auto store = CardStore::open(directory / kStoreFileName);
    std::mt19937 rng(seed);
    Transaction tx(store.db());
    for (const char16_t* name : kCategories) {
        store.addCategory(QString::fromUtf16(name));
    }
    CardInserter inserter(store.db());
    for (std::int64_t i = 1; i <= count; ++i) {
        inserter.insert(syntheticCard(i, rng));
    }
    tx.commit();
}

}  // namespace veltro::store
