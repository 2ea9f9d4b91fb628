#include "store/SampleCards.h"

namespace veltro::store {

namespace {

struct DemoRow {
    const char16_t* heading;
    const char16_t* category;
    const char16_t* anrede;
    const char16_t* vorname;
    const char16_t* nachname;
    const char16_t* firma;
    const char16_t* abteilung;
    const char16_t* strasse;
    const char16_t* plz;
    const char16_t* ort;
    const char16_t* vorwahl;
    const char16_t* telefon;
    const char16_t* mobil;
    const char16_t* email;
    const char16_t* web;
    const char16_t* notiz;
};

// Invented people and firms; any likeness is chance.
constexpr DemoRow kRows[] = {
    {u"Bauer Anna", u"Privat", u"Frau", u"Anna", u"Bauer", u"", u"", u"Lindenstraße 12", u"96047",
     u"Bamberg", u"0951", u"203344", u"0171 2233445", u"anna.bauer@example.de", u"",
     u"Schwester von Klaus. Geburtstag am 14. März."},
    {u"Bauer Klaus", u"Privat", u"Herr", u"Klaus", u"Bauer", u"", u"", u"Am Kranen 3", u"96049",
     u"Bamberg", u"0951", u"56712", u"", u"klaus.bauer@example.de", u"",
     u"Spielt Schach im Verein, donnerstags."},
    {u"Becker Familie", u"Privat", u"", u"Jonas und Lea", u"Becker", u"", u"", u"Gartenweg 7",
     u"91054", u"Erlangen", u"09131", u"778899", u"", u"", u"", u"Kinder: Mia (7), Paul (4)."},
    {u"Fischer Gertrud", u"Privat", u"Frau", u"Gertrud", u"Fischer", u"", u"", u"Rosenhof 2",
     u"97070", u"Würzburg", u"0931", u"44120", u"", u"", u"",
     u"Tante Trudi – Weihnachtskarte nicht vergessen!"},
    {u"Hoffmann Peter", u"Privat", u"Herr", u"Peter", u"Hoffmann", u"", u"", u"Königstraße 88",
     u"90402", u"Nürnberg", u"0911", u"2398711", u"0160 9988776", u"peter.hoffmann@example.org",
     u"", u"Studienfreund, Radtour im Juni geplant."},
    {u"Keller Sabine", u"Privat", u"Frau", u"Sabine", u"Keller", u"", u"", u"Hauptstraße 45",
     u"96215", u"Lichtenfels", u"09571", u"3344", u"", u"sabine.keller@example.net", u"",
     u"Nachbarin aus der alten Wohnung."},
    {u"Krüger Thomas", u"Privat", u"Herr", u"Thomas", u"Krüger", u"", u"", u"Schillerplatz 1",
     u"95444", u"Bayreuth", u"0921", u"65432", u"0152 1112223", u"", u"",
     u"Hat den Anhänger ausgeliehen."},
    {u"Lehmann Eva", u"Privat", u"Frau", u"Eva", u"Lehmann", u"", u"", u"Mühlgasse 9", u"96450",
     u"Coburg", u"09561", u"88221", u"", u"eva.lehmann@example.de", u"", u""},
    {u"Meier Hans", u"Privat", u"Herr", u"Hans", u"Meier", u"", u"", u"Bergstraße 21", u"96052",
     u"Bamberg", u"0951", u"31415", u"", u"", u"", u"Schlüssel für den Garten liegt bei ihm."},
    {u"Müller Jürgen", u"Privat", u"Herr", u"Jürgen", u"Müller", u"", u"", u"Obere Sandstraße 4",
     u"96049", u"Bamberg", u"0951", u"27182", u"0175 5566778", u"juergen.mueller@example.de", u"",
     u"Kegelabend jeden ersten Freitag im Monat."},
    {u"Neumann Claudia", u"Privat", u"Frau", u"Claudia", u"Neumann", u"", u"", u"Fliederweg 5",
     u"91301", u"Forchheim", u"09191", u"60011", u"", u"", u"", u""},
    {u"Schröder Familie", u"Privat", u"", u"Markus und Jana", u"Schröder", u"", u"", u"Am Hang 17",
     u"96114", u"Hirschaid", u"09543", u"4455", u"", u"", u"", u"Grillfest im August."},
    {u"Autohaus Wagner", u"Geschäftlich", u"", u"", u"", u"Autohaus Wagner GmbH", u"Kundendienst",
     u"Memmelsdorfer Straße 200", u"96052", u"Bamberg", u"0951", u"96000", u"",
     u"service@autohaus-wagner.example", u"www.autohaus-wagner.example",
     u"Inspektion fällig im Oktober. Ansprechpartner: Herr Roth."},
    {u"Bäckerei Schmitt", u"Geschäftlich", u"", u"", u"", u"Bäckerei Schmitt", u"",
     u"Grüner Markt 6", u"96047", u"Bamberg", u"0951", u"22334", u"", u"", u"",
     u"Bestellung für Feiern zwei Tage vorher."},
    {u"Dr. Weber Zahnarzt", u"Geschäftlich", u"Herr", u"Stefan", u"Weber",
     u"Zahnarztpraxis Dr. Weber", u"", u"Luitpoldstraße 30", u"96052", u"Bamberg", u"0951",
     u"12121", u"", u"praxis@dr-weber.example", u"www.dr-weber.example",
     u"Kontrolle alle sechs Monate."},
    {u"Finanzamt Bamberg", u"Geschäftlich", u"", u"", u"", u"Finanzamt Bamberg", u"Veranlagung",
     u"Martin-Luther-Straße 1", u"96050", u"Bamberg", u"0951", u"84000", u"", u"", u"",
     u"Steuernummer in der Mappe „Steuern“."},
    {u"Hausverwaltung Roth", u"Geschäftlich", u"Frau", u"Ingrid", u"Roth", u"Roth Immobilien KG",
     u"Verwaltung", u"Kapuzinerstraße 8", u"96047", u"Bamberg", u"0951", u"50505", u"",
     u"i.roth@roth-immo.example", u"", u"Nebenkostenabrechnung kommt im April."},
    {u"Kanzlei Schulz & Partner", u"Geschäftlich", u"Herr", u"Dieter", u"Schulz",
     u"Schulz & Partner Rechtsanwälte", u"", u"Schönleinsplatz 2", u"96047", u"Bamberg", u"0951",
     u"70707", u"", u"kanzlei@schulz-partner.example", u"www.schulz-partner.example",
     u"Mietrecht: Herr Schulz selbst."},
    {u"Stadtwerke", u"Geschäftlich", u"", u"", u"", u"Stadtwerke Bamberg", u"Kundencenter",
     u"Margaretendamm 28", u"96052", u"Bamberg", u"0951", u"77770", u"",
     u"kundencenter@stadtwerke.example", u"www.stadtwerke.example",
     u"Zählerstand jedes Jahr im Dezember melden."},
    {u"Sparkasse", u"Geschäftlich", u"Frau", u"Monika", u"Hahn", u"Sparkasse Bamberg",
     u"Privatkunden", u"Schützenstraße 2", u"96047", u"Bamberg", u"0951", u"8080", u"", u"",
     u"www.sparkasse.example", u"Beraterin: Frau Hahn, Durchwahl -412."},
    {u"Verlag Lange", u"Geschäftlich", u"Herr", u"Michael", u"Lange", u"Lange Verlag GmbH",
     u"Lektorat", u"Friedrichstraße 14", u"10117", u"Berlin", u"030", u"2465000", u"",
     u"m.lange@lange-verlag.example", u"www.lange-verlag.example",
     u"Manuskript bis Ende des Quartals."},
    {u"Versicherung Koch", u"Geschäftlich", u"Herr", u"Andreas", u"Koch",
     u"Koch Versicherungsmakler", u"", u"Hallstadter Straße 60", u"96052", u"Bamberg", u"0951",
     u"40404", u"0170 1234567", u"a.koch@koch-makler.example", u"",
     u"Hausrat und Haftpflicht, Vertragsnummern im Ordner."},
    {u"Dachdecker Zimmermann", u"Handwerker", u"Herr", u"Frank", u"Zimmermann",
     u"Zimmermann Bedachungen", u"", u"Industriestraße 11", u"96103", u"Hallstadt", u"0951",
     u"75757", u"0171 7654321", u"info@zimmermann-dach.example", u"", u"Dachrinne 2024 erneuert."},
    {u"Elektro Schwarz", u"Handwerker", u"Herr", u"Uwe", u"Schwarz", u"Elektro Schwarz", u"",
     u"Amselweg 3", u"96135", u"Stegaurach", u"0951", u"29292", u"", u"elektro.schwarz@example.de",
     u"", u"Notdienst auch am Wochenende."},
    {u"Fliesen Braun", u"Handwerker", u"Herr", u"Karl", u"Braun", u"Fliesen Braun", u"",
     u"Lagerhausstraße 5", u"96050", u"Bamberg", u"0951", u"13131", u"", u"", u"",
     u"Angebot für das Bad liegt vor."},
    {u"Gärtnerei Wolf", u"Handwerker", u"Frau", u"Petra", u"Wolf", u"Gärtnerei Wolf", u"",
     u"Nürnberger Straße 120", u"96050", u"Bamberg", u"0951", u"61616", u"",
     u"gaertnerei.wolf@example.de", u"www.gaertnerei-wolf.example", u"Hecke schneiden im Herbst."},
    {u"Heizung Schäfer", u"Handwerker", u"Herr", u"Bernd", u"Schäfer", u"Schäfer Haustechnik",
     u"Wartung", u"Gewerbepark 4", u"96117", u"Memmelsdorf", u"0951", u"40012", u"0160 4443332",
     u"wartung@schaefer-ht.example", u"", u"Wartungsvertrag, Termin im September."},
    {u"Malerbetrieb Richter", u"Handwerker", u"Herr", u"Sven", u"Richter", u"Richter Malerbetrieb",
     u"", u"Kornstraße 19", u"96047", u"Bamberg", u"0951", u"34343", u"", u"", u"",
     u"Farbton Flur: Sandbeige 3."},
    {u"Schlüsseldienst Klein", u"Handwerker", u"", u"", u"Klein", u"Schlüsseldienst Klein", u"",
     u"Heiliggrabstraße 22", u"96052", u"Bamberg", u"0951", u"11811", u"", u"", u"", u""},
    {u"Schreinerei Vogel", u"Handwerker", u"Herr", u"Matthias", u"Vogel", u"Schreinerei Vogel", u"",
     u"Holzgasse 8", u"96191", u"Viereth-Trunstadt", u"09503", u"7070", u"",
     u"info@schreinerei-vogel.example", u"", u"Einbauschrank für das Arbeitszimmer."},
    {u"Chor Cantabile", u"Vereine", u"", u"", u"", u"Chor Cantabile e. V.", u"Vorstand",
     u"Pfarrgasse 1", u"96049", u"Bamberg", u"0951", u"55555", u"", u"vorstand@cantabile.example",
     u"www.cantabile.example", u"Probe dienstags 19:30 Uhr im Pfarrsaal."},
    {u"FC Bamberg Jugend", u"Vereine", u"Herr", u"Oliver", u"Jung", u"FC Bamberg 1901 e. V.",
     u"Jugendabteilung", u"Sportplatzweg 2", u"96050", u"Bamberg", u"0951", u"19011",
     u"0176 1901190", u"jugend@fc-bamberg.example", u"www.fc-bamberg.example",
     u"Trainer der E-Jugend."},
    {u"Förderverein Schule", u"Vereine", u"Frau", u"Karin", u"Winter",
     u"Förderverein Grundschule am Hain", u"", u"Hainstraße 10", u"96047", u"Bamberg", u"0951",
     u"26262", u"", u"foerderverein@hainschule.example", u"",
     u"Beitrag 24 € im Jahr, Lastschrift."},
    {u"Kleingartenverein", u"Vereine", u"Herr", u"Helmut", u"Graf",
     u"Kleingartenverein Sonnenhang e. V.", u"", u"Am Sonnenhang", u"96049", u"Bamberg", u"0951",
     u"48484", u"", u"", u"", u"Parzelle 23, Wasseruhr ablesen im November."},
    {u"Schachclub", u"Vereine", u"Herr", u"Wolfgang", u"König", u"Schachclub Bamberg 1868", u"",
     u"Vereinsheim Luitpoldhain", u"96047", u"Bamberg", u"0951", u"18681", u"",
     u"kontakt@schachclub.example", u"www.schachclub.example",
     u"Spielabend donnerstags ab 19 Uhr."},
    {u"Tafel Bamberg", u"Vereine", u"Frau", u"Renate", u"Kaiser", u"Bamberger Tafel e. V.",
     u"Ehrenamt", u"Kirschäckerstraße 29", u"96052", u"Bamberg", u"0951", u"99990", u"",
     u"ehrenamt@tafel.example", u"", u"Dienst jeden zweiten Samstag."},
    {u"Turnverein", u"Vereine", u"", u"", u"", u"TV 1860 Bamberg e. V.", u"Geschäftsstelle",
     u"Turnerstraße 5", u"96047", u"Bamberg", u"0951", u"18600", u"", u"info@tv1860.example",
     u"www.tv1860.example", u"Rückenkurs montags."},
    {u"Wanderfreunde", u"Vereine", u"Herr", u"Ludwig", u"Frank",
     u"Wanderfreunde Fränkische Schweiz", u"", u"Dorfstraße 3", u"91320", u"Ebermannstadt",
     u"09194", u"3030", u"", u"", u"", u"Nächste Tour: Walberla, Treffpunkt Bahnhof."},
    {u"O'Connor Siobhan", u"Privat", u"Frau", u"Siobhan", u"O'Connor", u"", u"",
     u"Dientzenhoferstraße 6", u"96049", u"Bamberg", u"0951", u"87878", u"", u"siobhan@example.ie",
     u"", u"Brieffreundin aus Dublin."},
    {u"Yıldız Emre", u"Privat", u"Herr", u"Emre", u"Yıldız", u"", u"", u"Gereuthstraße 14",
     u"96049", u"Bamberg", u"0951", u"36363", u"0157 3636363", u"emre.yildiz@example.de", u"",
     u"Kollege aus dem Sprachkurs."},
};

QString text(const char16_t* s) {
    return QString::fromUtf16(s);
}

std::optional<QString> field(const char16_t* s) {
    return s[0] == u'\0' ? std::nullopt : std::optional<QString>(text(s));
}

QStringList addressLines(const DemoRow& row) {
    QStringList lines;
    const QString anrede = text(row.anrede) == u"Herr" ? QStringLiteral("Herrn") : text(row.anrede);
    const QString person = (text(row.vorname) + u' ' + text(row.nachname)).trimmed();
    if (!text(row.firma).isEmpty()) {
        lines << text(row.firma);
    }
    if (!person.isEmpty()) {
        lines << (anrede.isEmpty() ? person : anrede + u' ' + person);
    }
    lines << text(row.strasse) << QString() << text(row.plz) + u' ' + text(row.ort);
    return lines;
}

}  // namespace

SampleSet demoCards() {
    SampleSet set;
    set.categories = {QStringLiteral("Privat"), QStringLiteral("Geschäftlich"),
                      QStringLiteral("Handwerker"), QStringLiteral("Vereine")};
    int number = 1;
    for (const DemoRow& row : kRows) {
        Card card;
        card.set(Field::Nr, QString::number(number++));
        card.set(Field::Schlagworte, text(row.heading));
        card.set(Field::Kategorien, text(row.category));
        card.set(Field::Anrede, field(row.anrede));
        card.set(Field::Vorname, field(row.vorname));
        card.set(Field::Nachname, field(row.nachname));
        card.set(Field::Firma, field(row.firma));
        card.set(Field::Abteilung, field(row.abteilung));
        card.set(Field::Strasse, field(row.strasse));
        card.set(Field::Postleitzahl, field(row.plz));
        card.set(Field::Ort, field(row.ort));
        card.set(Field::Vorwahl, field(row.vorwahl));
        card.set(Field::Telefon, field(row.telefon));
        card.set(Field::Mobiltelefon, field(row.mobil));
        card.set(Field::EMailAdresse, field(row.email));
        card.set(Field::Webseite, field(row.web));
        card.set(Field::Anschrift, simpleRtf(addressLines(row), true));
        if (row.notiz[0] != u'\0') {
            card.set(Field::Notizen, simpleRtf({text(row.notiz)}));
        }
        set.cards.push_back(std::move(card));
    }
    return set;
}

}  // namespace veltro::store
