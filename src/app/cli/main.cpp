#include "app/cli/CliCommands.h"

#include "store/StoreError.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>

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
    {"list", "list VERZ                 Schlagworte aller Karten ausgeben", listCards},
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
    {"import", "import VERZ DATEI ...     CSV-, Text-, Access- oder vCard-Datei importieren",
     importFile},
    {"backups", "backups VERZ              Sicherungen der Kartei mit Datum und Kartenzahl",
     listBackupsCommand},
    {"restore",
     "restore VERZ SICHERUNG    Sicherung wiederherstellen (die Kartei wird vorher gesichert)",
     restoreCommand},
};

int help(int status) {
    QTextStream& stream = status == kOk ? out() : err();
    stream << "Veltro Adressbuch – Befehlszeile\n\nAufruf: veltro-cli BEFEHL ...\n\n";
    for (const Command& command : kCommands) {
        stream << "  " << command.summary << '\n';
    }
    stream.flush();
    return status;
}

}  // namespace

}  // namespace veltro::cli

int main(int argc, char** argv) {
    using namespace veltro::cli;
    const QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        return help(kUsage);
    }
    const QString name = args.takeFirst();
    if (name == u"help" || name == u"--help" || name == u"-h") {
        return help(kOk);
    }
    for (const Command& command : kCommands) {
        if (name == QLatin1String(command.name)) {
            try {
                return command.run(args);
            } catch (const veltro::store::StoreError& e) {
                err() << "Fehler: " << e.what() << Qt::endl;
                return kFailed;
            } catch (const std::exception& e) {
                err() << "Fehler: " << e.what() << Qt::endl;
                return kFailed;
            }
        }
    }
    err() << "Unbekannter Befehl: " << name << "\n\n";
    return help(kUsage);
}
