#include "VcardFixture.h"

#include "richtext/StoredText.h"
#include "store/CardExtrasTable.h"
#include "store/CardStore.h"
#include "store/SampleCards.h"
#include "store/Schema.h"

namespace veltro::testing {

using store::Field;
using namespace Qt::Literals::StringLiterals;

QString exchangeLongNote() {
    return u"Ein sehr langer Vermerk mit Umlauten äöüß und Zeichen außerhalb der Grundebene "_s
           u"😀🎉, damit beim Falten kein Zeichen zerschnitten wird. "_s.repeated(4);
}

std::vector<GivenCard> exchangeCards() {
    const QString longNote = exchangeLongNote();
    return {
        {u"Müller Hans"_s,
         u"Kunden"_s,
         {{Field::Anrede, u"Herr"_s},
          {Field::Vorname, u"Hans"_s},
          {Field::Nachname, u"Müller"_s},
          {Field::Strasse, u"Hauptstraße 12"_s},
          {Field::Postleitzahl, u"96047"_s},
          {Field::Ort, u"Bamberg"_s},
          {Field::Vorwahl, u"0951"_s},
          {Field::Telefon, u"123456"_s},
          {Field::Mobiltelefon, u"0171 2345678"_s},
          {Field::EMailAdresse, u"hans.mueller@example.de"_s},
          {Field::Anschrift, store::simpleRtf({u"Herrn "_s, u"Hans Müller"_s, u"Hauptstraße 12"_s,
                                               QString(), u"96047 Bamberg"_s})},
          {Field::Notizen,
           store::simpleRtf({u"Rückruf bitte; dringend, sagt er."_s, u"Pfad C:\\Daten\\neu"_s},
                            true)}}},
        {u"Schäfer & Söhne, Bau"_s,
         u"Kunden"_s,
         {{Field::Nr, u"17"_s},
          {Field::Firma, u"Schäfer & Söhne, Bau; GmbH"_s},
          {Field::Abteilung, u"Einkauf"_s},
          {Field::Strasse, u"Am Markt 1"_s},
          {Field::Postleitzahl, u"90402"_s},
          {Field::Ort, u"Nürnberg"_s},
          {Field::Vorwahl, u"+49 911"_s},
          {Field::Telefon, u"445566"_s},
          {Field::Fax, u"0911 445567"_s},
          {Field::Webseite, u"https://www.example.de/a,b;c"_s},
          {Field::Anschrift, u"Schäfer & Söhne\nz. Hd. Einkauf\nAm Markt 1\n\n90402 Nürnberg"_s},
          {Field::Notizen, longNote}}},
        {u"Weber Dr. Anna (Zahnärztin)"_s,
         u"Privat"_s,
         {{Field::Anrede, u"Dr."_s},
          {Field::Vorname, u"Anna"_s},
          {Field::Nachname, u"Weber"_s},
          {Field::Telefon, u"(089) 1234"_s},
          {Field::EMailAdresse, u"anna@example.org"_s}}},
        {u"Koch Eva"_s,
         u"Privat"_s,
         {{Field::Anrede, u"Frau"_s},
          {Field::Vorname, u"Eva"_s},
          {Field::Nachname, u"Koch"_s},
          {Field::Vorwahl, u"030"_s},
          {Field::Telefon, u"99 88 77"_s},
          {Field::Notizen, u"Zeile eins\r\nZeile zwei mit \\ Rückstrich"_s}}},
    };
}

store::CardExtras exchangeExtras() {
    using store::EntryKind;
    using store::EntryType;
    store::CardExtras extras;
    extras.birthday = store::PartialDate{0, 2, 29};
    extras.anniversary = store::PartialDate{2001, 12, 31};
    extras.nickname = u"Hansi"_s;
    extras.title = u"Prokurist; Einkauf, Lager"_s;
    extras.role = u"Kunde"_s;
    extras.photo = store::Photo{QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), u"image/png"_s};
    extras.entries = {
        {EntryKind::Telefon, EntryType::Geschaeftlich, u"0951 2222"_s},
        {EntryKind::Telefon, EntryType::Mobil, u"0172 9"_s},
        {EntryKind::EMail, EntryType::Geschaeftlich, u"h.mueller@firma.example"_s},
        {EntryKind::Anschrift, EntryType::Geschaeftlich, u"Ring 1"_s, u"96050"_s, u"Bamberg"_s,
         u"Deutschland"_s},
    };
    return extras;
}

void makeExchangeStore(const std::filesystem::path& dir) {
    makeStore(dir, {u"Kunden"_s, u"Privat"_s}, exchangeCards());
    auto cardStore = store::CardStore::open(dir / store::kStoreFileName);
    store::writeCardExtras(cardStore.db(), *cardStore.findByHeading(u"Müller Hans"),
                           exchangeExtras());
}

std::vector<store::Card> plainCards(const std::filesystem::path& storeFile) {
    std::vector<store::Card> cards;
    auto cardStore = store::CardStore::open(storeFile);
    cardStore.forEachCard([&](const store::Card& stored) {
        store::Card card = stored;
        for (const Field block : {Field::Anschrift, Field::Notizen}) {
            card.set(block,
                     richtext::plainTextFromStored(card.text(block), richtext::LineBreak::Lf));
        }
        cards.push_back(card);
    });
    return cards;
}

}  // namespace veltro::testing
