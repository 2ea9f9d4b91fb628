#include "ExportFixture.h"

#include "store/CardStore.h"
#include "store/SampleCards.h"

#include <QStringView>

#include <initializer_list>

namespace veltro::testing {

const QString kAddressRtf = QStringLiteral(
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\b Frau Anna M\\'fcller\\b0\\par "
    "Hauptstra\\'dfe 1}");
const QString kNotesRtf = QStringLiteral(
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 Sie sagte \"Hallo\", dann ging sie.\\par "
    "Zweiter Absatz}");

namespace {

// Values in the order of the card table; an empty one is stored as Null.
store::Card card(std::initializer_list<QStringView> values) {
    store::Card result;
    std::size_t i = 0;
    for (const QStringView value : values) {
        if (!value.isEmpty()) {
            result.values[i] = value.toString();
        }
        ++i;
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
         {card({u"1", u"Müller Anna", u"Privat", u"Frau", u"Anna", u"Müller", u"", u"",
                u"Hauptstraße 1", u"", u"Bamberg", u"", u"", u"", u"", u"anna@example.de", u"",
                kAddressRtf, kNotesRtf}),
          card({u"2", u"Zeller Bernd", u"Geschäftlich", u"", u"Bernd", u"Zeller", u"Zeller & Söhne",
                u"Einkauf", u"", u"09123", u"Fürth", u"0911", u"12345", u"12346", u"0170 1", u"",
                u"www.zeller.de", u"", u"Aus Import; ohne RTF – 5 €"}),
          // Never listed, so never exported.
          card({u"3", u"", u"Privat", u"", u"Niemand"})}});
}

QByteArray expectedFile(const QString& name) {
    return fileBytes(QStringLiteral(EXPORT_TEST_DATA "/") + name);
}

}  // namespace veltro::testing
