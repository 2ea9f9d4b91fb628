#include "ExportFixture.h"

#include "store/CardStore.h"
#include "store/SampleCards.h"

namespace veltro::testing {

const QString kAddressRtf = QStringLiteral(
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\b Frau Anna M\\'fcller\\b0\\par "
    "Hauptstra\\'dfe 1}");
const QString kNotesRtf = QStringLiteral(
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 Sie sagte \"Hallo\", dann ging sie.\\par "
    "Zweiter Absatz}");

namespace {

// Values in the order of the card table; an empty one is stored as Null.
store::Card card(const QStringList& values) {
    store::Card result;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!values[i].isEmpty()) {
            result.values[static_cast<std::size_t>(i)] = values[i];
        }
    }
    return result;
}

}  // namespace

void makeExportStore(const std::filesystem::path& dir) {
    // Nr, Schlagworte, Kategorien, Anrede, Vorname, Nachname, Firma, Abteilung, Straße,
    // Postleitzahl, Ort, Vorwahl, Telefon, Fax, Mobiltelefon, EMailAdresse, Webseite,
    // Anschrift, Notizen
    store::writeSampleStore(
        dir,
        {{QStringLiteral("Privat"), QStringLiteral("Geschäftlich")},
         {card({"1", "Müller Anna", "Privat", "Frau", "Anna", "Müller", "", "", "Hauptstraße 1", "",
                "Bamberg", "", "", "", "", "anna@example.de", "", kAddressRtf, kNotesRtf}),
          card({"2", "Zeller Bernd", "Geschäftlich", "", "Bernd", "Zeller", "Zeller & Söhne",
                "Einkauf", "", "09123", "Fürth", "0911", "12345", "12346", "0170 1", "",
                "www.zeller.de", "", "Aus Import; ohne RTF – 5 €"}),
          // Never listed, so never exported.
          card({"3", "", "Privat", "", "Niemand"})}});
}

QByteArray expectedFile(const QString& name) {
    return fileBytes(QStringLiteral(EXPORT_TEST_DATA "/") + name);
}

}  // namespace veltro::testing
