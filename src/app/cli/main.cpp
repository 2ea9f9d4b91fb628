#include "app/cli/CliCommands.h"

#include "base/Failure.h"
#include "store/DataDirectory.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <exception>
#include <memory>

namespace veltro::cli {

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

namespace {

struct Command {
    const char* name;
    const char* summary;
    int (*run)(const QStringList&);
};

constexpr Command kCommands[] = {
    {"new-store", "new-store VERZ            leere Kartei anlegen", newStore},
    {"demo-store", "demo-store VERZ           Kartei mit Beispielkarten anlegen", demoStore},
    {"generate", "generate VERZ ANZAHL      Kartei mit ANZAHL erzeugten Karten anlegen", generate},
    {"list",
     "list VERZ                 Schlagworte aller Karten ausgeben\n"
     "  list VERZ DATEI.pdf [--category NAME] [--columns SPALTE,...] [--landscape]\n"
     "                            Liste der Karten als PDF drucken; Spalten zur Wahl:\n"
     "                            Karte, Kategorie, Anrede, Vorname, Nachname, Firma,\n"
     "                            Abteilung, Straße, PLZ, Ort, Telefon, Telefax, Mobil,\n"
     "                            E-Mail, Webseite, Anschrift, Nr (Vorgabe:\n"
     "                            Karte,Telefon,Mobil,E-Mail)",
     listCards},
    {"show", "show VERZ SCHLAGWORTE     die Felder einer Karte ausgeben", showCard},
    {"export",
     "export VERZ DATEI [--text] [--separator C | --tab] [--rtf]\n"
     "                            [--encoding windows-1252|utf-8]\n"
     "                            alle Karten als CSV- oder Textdatei ausgeben\n"
     "  export VERZ DATEI --preset thunderbird|outlook|google\n"
     "                            als CSV-Datei für dieses Programm ausgeben\n"
     "  export VERZ DATEI --vcard [--version 3.0|4.0] [--category NAME]\n"
     "                            als vCard-Datei ausgeben",
     exportCards},
    {"import",
     "import VERZ DATEI --category NAME [--map Karte=N,Vorname=M,...]\n"
     "                  [--separator C | --tab] [--quoted] [--skip-first] [--table NAME]\n"
     "                            CSV-, Text-, Access- oder vCard-Datei in die Kategorie\n"
     "                            NAME importieren; vCard- und CSV-Dateien von Thunderbird,\n"
     "                            Outlook und Google brauchen kein --map",
     importFile},
    {"duplicates", "duplicates VERZ [--json]  mögliche doppelte Karten in Gruppen ausgeben",
     findDuplicates},
    {"backups", "backups VERZ              Sicherungen der Kartei mit Datum und Kartenzahl",
     listBackupsCommand},
    {"restore",
     "restore VERZ SICHERUNG    Sicherung wiederherstellen (die Kartei wird vorher gesichert)",
     restoreCommand},
    {"labels",
     "labels VERZ DATEI.pdf --sheet BOGEN [--category NAME] [--start N]\n"
     "                  [--font SCHRIFT] [--size PUNKT] [--frame]\n"
     "                            Etiketten als PDF drucken, ab Position N des ersten\n"
     "                            Bogens; BOGEN: 3474, 3475, 3490, 3422, 3652, L7163, 4780",
     printLabels},
    {"envelope",
     "envelope VERZ DATEI.pdf --format DL|C6|C5|C4 [--form A|B] [--sender TEXT]\n"
     "                  [--category NAME | --card SCHLAGWORTE] [--turned]\n"
     "                            Umschläge als PDF drucken, die Anschrift im Fenster\n"
     "                            nach DIN 5008; --turned für Einzug mit der kurzen Kante",
     printEnvelopes},
    {"sync",
     "sync VERZ --url URL --user NAME --category NAME [--book NAME]\n"
     "                  [--fingerprint SHA256] [--allow-deletes]\n"
     "                            die Kategorie NAME mit einem CardDAV-Adressbuch\n"
     "                            abgleichen; Passwort aus VELTRO_CARDDAV_PASSWORD oder\n"
     "                            vom Terminal; sichert vorher, wenn sich hier Karten\n"
     "                            ändern; würde er mehr als 10 Karten und mehr als ein\n"
     "                            Viertel einer Seite löschen, nur mit --allow-deletes",
     syncBook},
};

// Commands that paint pages need fonts, so they run with a GUI application on no screen.
bool paintsPages(int argc, char** argv) {
    if (argc < 2) {
        return false;
    }
    const QByteArray name(argv[1]);
    return name == "labels" || name == "envelope" || (name == "list" && argc > 3);
}

constexpr const char* kExitStatuses =
    "Rückgabewerte:\n"
    "  0   erledigt\n"
    "  1   Fehler\n"
    "  2   falscher Aufruf\n"
    "  3   teilweise erledigt (fehlerhafte Datensätze übersprungen)\n"
    "  75  Kartei in Gebrauch: das Programm oder ein anderer schreibender Befehl sperrt sie\n";

int help(int status) {
    QTextStream& stream = status == kOk ? out() : err();
    stream << "Veltro Adressbuch – Befehlszeile\n\n"
              "Aufruf: veltro-cli BEFEHL VERZ ...\n"
              "        veltro-cli --help | --version\n\n"
              "VERZ ist das Verzeichnis der Kartei (Kartix.mdb).\n\nBefehle:\n";
    for (const Command& command : kCommands) {
        stream << "  " << command.summary << '\n';
    }
    stream << "\nOptionen:\n"
              "  -h, --help                diese Hilfe zeigen\n"
              "  -V, --version             Version und Datenordner des Programms zeigen\n\n"
           << kExitStatuses;
    stream.flush();
    return status;
}

QString folderReason(veltro::store::DataFolderKind kind) {
    switch (kind) {
        case veltro::store::DataFolderKind::Chosen:
            return QStringLiteral("aus VELTRO_HOME");
        case veltro::store::DataFolderKind::ProgramFolder:
            return QStringLiteral("Verzeichnis des Programms");
        case veltro::store::DataFolderKind::UserFolder:
            return QStringLiteral("Datenordner des Benutzers");
    }
    return {};
}

// Runs the command; what it did not catch is told in German, never in the library's English
// (which stays out of the log here too: the log would be the same terminal).
int runCommand(const Command& command, const QStringList& args) {
    try {
        return command.run(args);
    } catch (const std::exception& e) {
        err() << "Fehler: " << veltro::userText(e) << Qt::endl;
    } catch (...) {
        err() << "Fehler: " << veltro::describeFailure(std::current_exception()).text << Qt::endl;
    }
    return kFailed;
}

int version() {
    const auto folder = veltro::store::dataFolder();
    out() << "veltro-cli (Veltro Adressbuch) " << VELTRO_VERSION_MAJOR << '.'
          << VELTRO_VERSION_MINOR << '.' << VELTRO_VERSION_PATCH
          << "\nDatenordner: " << QString::fromStdString(folder.path.string()) << " ("
          << folderReason(folder.kind) << ")" << Qt::endl;
    return kOk;
}

}  // namespace

}  // namespace veltro::cli

int main(int argc, char** argv) {
    using namespace veltro::cli;
    std::unique_ptr<QCoreApplication> app;
    if (paintsPages(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        return help(kUsage);
    }
    const QString name = args.takeFirst();
    if (name == u"help" || name == u"--help" || name == u"-h") {
        return help(kOk);
    }
    if (name == u"--version" || name == u"-V") {
        return version();
    }
    for (const Command& command : kCommands) {
        if (name == QLatin1String(command.name)) {
            return runCommand(command, args);
        }
    }
    err() << "Unbekannter Befehl: " << name << "\n\n";
    return help(kUsage);
}
