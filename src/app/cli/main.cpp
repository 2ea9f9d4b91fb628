#include "app/cli/CliCommands.h"
#include "app/cli/CommandTable.h"

#include "base/Failure.h"
#include "store/DataDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <exception>
#include <map>
#include <memory>
#include <optional>

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

using Run = int (*)(const QStringList&);

// What runs each command of the table.
const std::map<std::string_view, Run> kRuns = {
    {"new-store", newStore},     {"demo-store", demoStore},    {"generate", generate},
    {"list", listCards},         {"show", showCard},           {"duplicates", findDuplicates},
    {"export", exportCards},     {"import", importFile},       {"backups", listBackupsCommand},
    {"restore", restoreCommand}, {"labels", printLabels},      {"envelope", printEnvelopes},
    {"sync", syncBook},          {"birthdays", listBirthdays},
};

QString text(std::string_view view) {
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

const CommandInfo* commandNamed(std::string_view name) {
    const auto found = std::ranges::find(kCommandTable, name, &CommandInfo::name);
    return found == std::end(kCommandTable) ? nullptr : &*found;
}

// Commands that paint pages need fonts, so they run with a GUI application on no screen.
bool paintsPages(int argc, char** argv) {
    if (argc < 2) {
        return false;
    }
    const QByteArray name(argv[1]);
    return name == "labels" || name == "envelope" || (name == "list" && argc > 3);
}

QString names(bool writing) {
    QStringList list;
    for (const CommandInfo& command : kCommandTable) {
        if (command.writes == writing) {
            list << text(command.name);
        }
    }
    return list.join(QStringLiteral(", "));
}

int help(int status) {
    QTextStream& stream = status == kOk ? out() : err();
    stream << "Veltro Adressbuch – Befehlszeile\n\n"
              "Aufruf: veltro-cli BEFEHL VERZ ...\n"
              "        veltro-cli --help | --version\n\n"
              "VERZ ist das Verzeichnis der Kartei (Kartix.mdb).\n\nBefehle:\n";
    for (const CommandInfo& command : kCommandTable) {
        for (const QString& line : text(command.calls).split(u'\n')) {
            stream << "  " << line << '\n';
        }
        for (const QString& line : text(command.summary).split(u'\n')) {
            stream << "      " << line << '\n';
        }
    }
    stream << "\nOptionen:\n"
              "  -h, --help       diese Hilfe zeigen\n"
              "  -V, --version    Version und Datenordner des Programms zeigen\n\n"
              "Rückgabewerte:\n"
              "  0   erledigt\n"
              "  1   Fehler\n"
              "  2   falscher Aufruf\n"
              "  3   teilweise erledigt (fehlerhafte Datensätze übersprungen)\n"
              "  75  Kartei in Gebrauch: das Programm oder ein anderer schreibender Befehl sperrt "
              "sie\n\n"
           << "Schreibende Befehle: " << names(true) << ".\n"
           << "Nur lesende Befehle: " << names(false) << ".\n";
    stream.flush();
    return status;
}

// An option the command does not know is refused before the command runs.
std::optional<QString> unknownOption(const CommandInfo& command, const QStringList& args) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (!args[i].startsWith(u"--")) {
            continue;
        }
        const auto known = std::ranges::find_if(command.options, [&](const OptionInfo& option) {
            return args[i] == text(option.name);
        });
        if (known == command.options.end()) {
            return args[i];
        }
        i += known->takesValue ? 1 : 0;
    }
    return std::nullopt;
}

// Runs the command; what it did not catch is told in German, never in the library's English
// (which stays out of the log here too: the log would be the same terminal).
int runCommand(const CommandInfo& command, const QStringList& args) {
    if (const auto option = unknownOption(command, args)) {
        return usage(command.name, QStringLiteral("Unbekannte Option: %1").arg(*option));
    }
    try {
        return kRuns.at(command.name)(args);
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
          << veltro::store::reasonText(folder.kind) << ")" << Qt::endl;
    return kOk;
}

}  // namespace

int usage(std::string_view command, const QString& problem) {
    err() << problem << '\n';
    const QString start = QStringLiteral("Aufruf: veltro-cli ");
    QString lead = start;
    for (const QString& line : text(commandNamed(command)->calls).split(u'\n')) {
        const bool continues = line.startsWith(u' ');
        err() << (continues ? QString(start.size(), u' ') : lead) << line << '\n';
        lead = QString(start.size() - 11, u' ') + QStringLiteral("veltro-cli ");
    }
    err().flush();
    return kUsage;
}

}  // namespace veltro::cli

int main(int argc, char** argv) {
    using namespace veltro::cli;
    // Painting asks for a runtime folder; where none is set (cron, ssh) it gets a private one
    // rather than Qt's warning on the terminal.
    std::optional<QTemporaryDir> runtime;
    std::unique_ptr<QCoreApplication> app;
    if (paintsPages(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            runtime.emplace(QDir::tempPath() + QStringLiteral("/veltro-cli-XXXXXX"));
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
        }
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
    if (const CommandInfo* command = commandNamed(name.toStdString())) {
        return runCommand(*command, args);
    }
    err() << "Unbekannter Befehl: " << name << "\n\n";
    return help(kUsage);
}
