#include "mainwindow/ProgramArguments.h"

#include "base/SystemReason.h"
#include "store/DataDirectory.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <string_view>

namespace veltro::mainwindow {

namespace {

constexpr const char* kHelp =
    "Veltro Adressbuch – Kartei für Anschriften und Notizen\n\n"
    "Aufruf: veltro-adressbuch [DATEI.vcf]\n"
    "        veltro-adressbuch --help | --version\n\n"
    "Eine genannte vCard-Datei wird nach einer Rückfrage in die angezeigte Kategorie\n"
    "importiert.\n\n"
    "Optionen:\n"
    "  -h, --help       diese Hilfe zeigen\n"
    "  -V, --version    Version und Datenordner des Programms zeigen\n"
    "Dazu gelten die Optionen von Qt, etwa -platform NAME oder -style NAME.\n\n"
    "Ohne Fenster arbeitet veltro-cli auf der Kartei (veltro-cli --help).\n";

void printVersion(int argc, char** argv) {
    // The data folder follows from the program's own path, which Qt Core finds.
    const QCoreApplication core(argc, argv);
    const auto folder = store::dataFolder();
    QTextStream(stdout) << "veltro-adressbuch (Veltro Adressbuch) " << VELTRO_VERSION_MAJOR << '.'
                        << VELTRO_VERSION_MINOR << '.' << VELTRO_VERSION_PATCH
                        << "\nDatenordner: " << QString::fromStdString(folder.path.string()) << " ("
                        << store::reasonText(folder.kind) << ")\n";
}

}  // namespace

std::optional<int> answerOnTerminal(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--") {
            break;
        }
        if (arg == "--help" || arg == "-h") {
            QTextStream(stdout) << QString::fromUtf8(kHelp);
            return 0;
        }
        if (arg == "--version" || arg == "-V") {
            printVersion(argc, argv);
            return 0;
        }
    }
    return std::nullopt;
}

StartCall readStartCall(const QStringList& arguments) {
    QStringList files;
    bool optionsEnd = false;
    for (const QString& arg : arguments.mid(1)) {
        if (!optionsEnd && arg == u"--") {
            optionsEnd = true;
        } else if (!optionsEnd && arg.startsWith(u'-') && arg.size() > 1) {
            return {{},
                    QStringLiteral("Unbekannte Option: %1 (veltro-adressbuch --help zeigt alle)")
                        .arg(arg)};
        } else {
            files << arg;
        }
    }
    if (files.size() > 1) {
        return {{}, QStringLiteral("Es lässt sich nur eine Datei auf einmal öffnen.")};
    }
    if (files.isEmpty()) {
        return {};
    }
    if (const auto reason = whyUnreadable(files.front())) {
        return {{},
                QStringLiteral("Die Datei „%1“ lässt sich nicht öffnen. %2")
                    .arg(files.front(), *reason)};
    }
    return {files.front(), {}};
}

}  // namespace veltro::mainwindow
