#pragma once

// The commands of veltro-cli with their calls and options: the help, the usage errors and
// the check of unknown options all read this one table.
#include <span>
#include <string_view>

namespace veltro::cli {

struct OptionInfo {
    std::string_view name;  // "--category"
    bool takesValue = false;
};

struct CommandInfo {
    std::string_view name;
    // One call a line, as written after "veltro-cli"; a line that starts with blanks
    // continues the call above it.
    std::string_view calls;
    std::string_view summary;  // what it does, for the help
    std::span<const OptionInfo> options;
    bool writes = false;  // takes the store's writer lock (exit status 75 while it is held)
};

namespace options {
inline constexpr OptionInfo kList[] = {{"--category", true}, {"--columns", true},
                                       {"--landscape"},      {"--font", true},
                                       {"--size", true},     {"--address", true}};
inline constexpr OptionInfo kShow[] = {{"--rtf"}};
inline constexpr OptionInfo kDuplicates[] = {{"--json"}};
inline constexpr OptionInfo kBirthdays[] = {{"--days", true}, {"--ics", true}};
inline constexpr OptionInfo kExport[] = {{"--text"},  {"--separator", true}, {"--tab"},
                                         {"--rtf"},   {"--encoding", true},  {"--preset", true},
                                         {"--vcard"}, {"--version", true},   {"--category", true}};
inline constexpr OptionInfo kImport[] = {
    {"--category", true}, {"--map", true},  {"--separator", true}, {"--tab"},
    {"--quoted"},         {"--skip-first"}, {"--table", true}};
inline constexpr OptionInfo kLabels[] = {
    {"--sheet", true}, {"--category", true}, {"--start", true}, {"--font", true},
    {"--size", true},  {"--address", true},  {"--frame"}};
inline constexpr OptionInfo kEnvelope[] = {
    {"--format", true},   {"--form", true},    {"--sender", true},
    {"--category", true}, {"--card", true},    {"--font", true},
    {"--size", true},     {"--address", true}, {"--turned"}};
inline constexpr OptionInfo kSync[] = {{"--url", true},         {"--user", true},
                                       {"--category", true},    {"--book", true},
                                       {"--fingerprint", true}, {"--allow-deletes"}};
}  // namespace options

inline constexpr CommandInfo kCommandTable[] = {
    {"new-store", "new-store VERZ", "leere Kartei anlegen", {}, true},
    {"demo-store", "demo-store VERZ", "Kartei mit Beispielkarten anlegen", {}, true},
    {"generate",
     "generate VERZ ANZAHL",
     "Kartei mit ANZAHL erzeugten Karten anlegen (für Messungen)",
     {},
     true},
    {"list",
     "list VERZ\n"
     "list VERZ DATEI.pdf [--category NAME] [--columns SPALTE,...] [--landscape]\n"
     "     [--font SCHRIFT] [--size PUNKT] [--address ART]",
     "Schlagworte aller Karten ausgeben; mit DATEI.pdf die Karten als Liste in eine\n"
     "PDF-Datei drucken. Spalten: Karte, Kategorie, Anrede, Vorname, Nachname, Firma,\n"
     "Abteilung, Straße, PLZ, Ort, Telefon, Telefax, Mobil, E-Mail, Webseite, Anschrift,\n"
     "Nr (Vorgabe: Karte,Telefon,Mobil,E-Mail)",
     options::kList},
    {"show", "show VERZ SCHLAGWORTE [--rtf]",
     "die Felder einer Karte ausgeben, Anschrift und Notizen als Text (mit --rtf als RTF)",
     options::kShow},
    {"duplicates", "duplicates VERZ [--json]", "mögliche doppelte Karten in Gruppen ausgeben",
     options::kDuplicates},
    {"birthdays", "birthdays VERZ [--days N] [--ics DATEI]",
     "Geburtstage und Jahrestage der nächsten N Tage (Vorgabe: 30) ausgeben; mit --ics\n"
     "alle als jährliche Termine in eine iCalendar-Datei schreiben",
     options::kBirthdays},
    {"export",
     "export VERZ DATEI [--text] [--separator ZEICHEN | --tab] [--rtf]\n"
     "       [--encoding windows-1252|utf-8]\n"
     "export VERZ DATEI --preset thunderbird|outlook|google\n"
     "export VERZ DATEI --vcard [--version 3.0|4.0] [--category NAME]",
     "alle Karten als CSV- oder Textdatei ausgeben, als CSV-Datei für Thunderbird,\n"
     "Outlook oder Google oder als vCard-Datei",
     options::kExport},
    {"import",
     "import VERZ DATEI --category NAME [--map Karte=N,Vorname=M,...]\n"
     "       [--separator ZEICHEN | --tab] [--quoted] [--skip-first] [--table NAME]",
     "CSV-, Text-, Access- oder vCard-Datei in die Kategorie NAME importieren; vCard- und\n"
     "CSV-Dateien von Thunderbird, Outlook und Google brauchen kein --map",
     options::kImport, true},
    {"backups", "backups VERZ", "Sicherungen der Kartei mit Datum, Uhrzeit und Kartenzahl", {}},
    {"restore",
     "restore VERZ SICHERUNG",
     "Sicherung wiederherstellen (die Kartei wird vorher gesichert)",
     {},
     true},
    {"labels",
     "labels VERZ DATEI.pdf --sheet BOGEN [--category NAME] [--start N]\n"
     "       [--font SCHRIFT] [--size PUNKT] [--address ART] [--frame]",
     "Etiketten als PDF drucken, ab Position N des ersten Bogens;\n"
     "BOGEN: 3474, 3475, 3490, 3422, 3652, L7163, 4780; ART: privat, geschäftlich\n"
     "oder andere, die weitere Anschrift dieser Art statt der Anschrift der Karte",
     options::kLabels},
    {"envelope",
     "envelope VERZ DATEI.pdf --format DL|C6|C5|C4 [--form A|B] [--sender TEXT]\n"
     "         [--category NAME | --card SCHLAGWORTE] [--font SCHRIFT] [--size PUNKT]\n"
     "         [--address ART] [--turned]",
     "Umschläge als PDF drucken, die Anschrift im Fenster nach DIN 5008; --turned für\n"
     "Einzug mit der kurzen Kante",
     options::kEnvelope},
    {"sync",
     "sync VERZ --url URL --user NAME --category NAME [--book NAME]\n"
     "     [--fingerprint SHA256] [--allow-deletes]",
     "die Kategorie NAME mit einem CardDAV-Adressbuch abgleichen; Passwort aus\n"
     "VELTRO_CARDDAV_PASSWORD oder vom Terminal; sichert vorher, wenn sich hier Karten\n"
     "ändern; würde er mehr als 10 Karten und mehr als ein Viertel einer Seite löschen,\n"
     "nur mit --allow-deletes",
     options::kSync, true},
};

}  // namespace veltro::cli
