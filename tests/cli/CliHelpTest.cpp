// What the two programs say about themselves, and the command table against the README, the
// manual page and the completion.
#include "CliRun.h"
#include "TestTools.h"

#include "app/cli/CommandTable.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace Qt::Literals::StringLiterals;
using veltro::testing::CliRun;

// With VELTRO_HOME set to the folder given, or not set at all.
CliRun cli(const QStringList& args, const QString& veltroHome = {}) {
    return veltro::testing::runCli(args, {{QStringLiteral("VELTRO_HOME"), veltroHome}});
}

QString text(std::string_view view) {
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

QString sourceText(const char* path) {
    return QString::fromUtf8(
        veltro::testing::fileBytes(QStringLiteral(VELTRO_SOURCE_DIR "/") + QLatin1String(path)));
}

// The lines that start as `starts` says, each with the indented lines that continue it.
QString blocks(const QString& document, const QRegularExpression& starts,
               const QRegularExpression& continues) {
    QString found;
    bool inside = false;
    for (const QString& line : document.split(u'\n')) {
        inside = starts.match(line).hasMatch() || (inside && continues.match(line).hasMatch());
        if (inside) {
            found += line + u'\n';
        }
    }
    return found;
}

TEST(CliHelp, EveryCommandAndOptionIsInTheHelpTheManualTheReadmeAndTheCompletion) {
    const CliRun help = cli({u"--help"_s});
    ASSERT_EQ(help.status, 0);
    EXPECT_TRUE(help.err.isEmpty());
    EXPECT_EQ(cli({u"-h"_s}).out, help.out);
    for (const QStringList& wrong : {QStringList{}, QStringList{u"frobnicate"_s}}) {
        const CliRun run = cli(wrong);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.isEmpty() && run.err.endsWith(help.out)) << run.err.toStdString();
    }
    const QString readme = sourceText("README.md").remove(u'`');
    QString manual = sourceText("resources/man/veltro-cli.1");
    manual.replace(u"\\-"_s, u"-"_s).remove(QRegularExpression(u"\\\\f[BIRP]"_s));
    const QString completion = sourceText("resources/completion/veltro-cli");
    for (const veltro::cli::CommandInfo& command : veltro::cli::kCommandTable) {
        const QString name = text(command.name);
        SCOPED_TRACE(name.toStdString());
        // The README's calls of the command, and the manual's items of it.
        const QString inReadme =
            blocks(readme, QRegularExpression(u"^veltro-cli "_s + name + u"\\b"_s),
                   QRegularExpression(u"^\\s+\\S"_s));
        const QString inManual = blocks(manual, QRegularExpression(u"^\\.BI? "_s + name + u"\\b"_s),
                                        QRegularExpression(u"^(?!\\.(TP|SH))"_s));
        EXPECT_TRUE(help.out.contains(u"\n  "_s + name + u' '));
        EXPECT_TRUE(completion.contains(QRegularExpression(u"commands=\"[^\"]*\\b"_s + name)));
        EXPECT_FALSE(inReadme.isEmpty());
        EXPECT_FALSE(inManual.isEmpty());
        for (const veltro::cli::OptionInfo& option : command.options) {
            const QString optionName = text(option.name);
            EXPECT_TRUE(text(command.calls).contains(optionName)) << optionName.toStdString();
            EXPECT_TRUE(inReadme.contains(optionName)) << optionName.toStdString();
            EXPECT_TRUE(inManual.contains(optionName)) << optionName.toStdString();
            EXPECT_TRUE(completion.contains(optionName)) << optionName.toStdString();
        }
    }
    // Which commands write is said the same way everywhere.
    static const QRegularExpression lists(u"(Schreibende|Nur lesende) Befehle: [^\n]*"_s);
    for (const auto& match : lists.globalMatch(help.out)) {
        EXPECT_TRUE(readme.contains(match.captured())) << match.captured().toStdString();
        EXPECT_TRUE(manual.contains(match.captured())) << match.captured().toStdString();
    }
}

TEST(CliHelp, WrongCallsAreRefusedWithWhatIsWrong) {
    const QTemporaryDir work;
    const QString dir = work.filePath(u"kartei"_s);
    const QString csv = work.filePath(u"zwei.csv"_s);
    const QString pdf = work.filePath(u"nie.pdf"_s);
    ASSERT_EQ(cli({u"demo-store"_s, dir}).status, 0);
    ASSERT_TRUE(veltro::testing::writeBytes(csv, "Karte;Ort\nAnna;Hof\n"));
    const struct {
        QStringList args;
        int status;
        const char* reason;
    } cases[] = {
        {{u"import"_s, dir, csv, u"--category"_s, u"X"_s, u"--map"_s, u"Karte=9"_s},
         2,
         "Keine Spalte der Quelldatei (sie hat 2 Spalten): Karte=9"},
        {{u"import"_s, dir, csv, u"--category"_s, u"X"_s, u"--separator"_s, u";;"_s},
         2,
         "genau ein Zeichen"},
        {{u"export"_s, dir, csv, u"--separator"_s, u";;"_s}, 2, "genau ein Zeichen"},
        {{u"export"_s, dir, csv, u"--preset"_s, u"lotus"_s}, 2, "Unbekanntes Programm"},
        {{u"export"_s, dir, csv, u"--category"_s, u"Privat"_s}, 2, "nur mit --vcard"},
        {{u"export"_s, dir, csv, u"--preset"_s, u"google"_s, u"--tab"_s}, 2, "--preset"},
        {{u"export"_s, dir, csv, u"--vcard"_s, u"--version"_s, u"2.1"_s}, 2, "vCard-Fassung"},
        {{u"export"_s, dir}, 2, "Verzeichnis und Datei"},
        {{u"export"_s, dir, csv, u"--frob"_s}, 2, "Unbekannte Option: --frob"},
        {{u"list"_s, dir, work.filePath(u"l.txt"_s)}, 2, "endet auf .pdf"},
        {{u"backups"_s, work.filePath(u"fehlt"_s)}, 1, "gibt es nicht"},
        {{u"show"_s, dir}, 2, "Schlagworte"},
        {{u"generate"_s, dir, u"viele"_s}, 2, "ganze Zahl"},
        {{u"labels"_s, dir, pdf}, 2, "--sheet fehlt"},
        {{u"labels"_s, dir, pdf, u"--sheet"_s, u"9999"_s}, 2, "Unbekannter Bogen"},
        {{u"labels"_s, dir, pdf, u"--sheet"_s, u"3474"_s, u"--start"_s, u"25"_s}, 2, "zwischen 1"},
        {{u"labels"_s, dir, pdf, u"--sheet"_s, u"3474"_s, u"--size"_s, u"5"_s}, 2, "7 und 72"},
        {{u"labels"_s, dir, pdf, u"--sheet"_s, u"3474"_s, u"--category"_s, u"Fehlt"_s}, 1, "Keine"},
        {{u"list"_s, dir, pdf, u"--columns"_s, u"Karte,Geburtstag"_s}, 2, "Unbekannte Spalte"},
        {{u"list"_s, dir, pdf, u"--landscape"_s, u"--landscape"_s}, 2, "doppelt"},
        {{u"envelope"_s, dir, pdf}, 2, "--format fehlt"},
        {{u"envelope"_s, dir, pdf, u"--format"_s, u"C3"_s}, 2, "Unbekanntes Format"},
        {{u"envelope"_s, dir, pdf, u"--format"_s, u"DL"_s, u"--form"_s, u"C"_s}, 2, "A oder B"},
        {{u"envelope"_s, dir, pdf, u"--format"_s, u"DL"_s, u"--card"_s, u"Niemand"_s}, 1, "Keine"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        const std::string call = c.args.join(u' ').toStdString();
        EXPECT_EQ(run.status, c.status) << call;
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.reason))) << call << '\n'
                                                                   << run.err.toStdString();
        // A wrong call shows how the command is called, with the help's placeholders.
        if (c.status == 2) {
            EXPECT_TRUE(run.err.contains(u"Aufruf: veltro-cli "_s + c.args.front() + u" VERZ"_s))
                << call;
        }
        EXPECT_FALSE(QFileInfo::exists(pdf) || QFileInfo::exists(work.filePath(u"l.txt"_s)));
    }
}

// The address block shows as text, every character of the sample card kept; --rtf shows
// what is stored.
TEST(CliHelp, ShowPrintsTheBlocksAsText) {
    const QTemporaryDir work;
    ASSERT_EQ(cli({u"demo-store"_s, work.path()}).status, 0);
    const CliRun plain = cli({u"show"_s, work.path(), u"Yıldız Emre"_s});
    EXPECT_TRUE(plain.out.contains(u"Anschrift:\n  Herrn Emre Yıldız\n  Gereuthstraße 14\n\n"_s))
        << plain.out.toStdString();
    const CliRun rtf = cli({u"show"_s, work.path(), u"Yıldız Emre"_s, u"--rtf"_s});
    EXPECT_TRUE(rtf.out.contains(u"Anschrift: {\\rtf1"_s));
}

TEST(CliHelp, VersionNamesTheDataFolderInUse) {
    const QTemporaryDir folder;
    const CliRun chosen = cli({QStringLiteral("--version")}, folder.path());
    EXPECT_EQ(chosen.status, 0);
    EXPECT_TRUE(chosen.out.startsWith(QStringLiteral("veltro-cli (Veltro Adressbuch) %1.%2.%3\n")
                                          .arg(VELTRO_VERSION_MAJOR)
                                          .arg(VELTRO_VERSION_MINOR)
                                          .arg(VELTRO_VERSION_PATCH)))
        << chosen.out.toStdString();
    EXPECT_TRUE(chosen.out.contains(
        QStringLiteral("Datenordner: %1 (aus VELTRO_HOME)\n").arg(folder.path())))
        << chosen.out.toStdString();

    // The built program's folder is the user's own, so the store lives beside it.
    const CliRun beside = cli({QStringLiteral("-V")});
    const QString programFolder = QFileInfo(QStringLiteral(VELTRO_CLI)).absolutePath();
    EXPECT_TRUE(beside.out.contains(
        QStringLiteral("Datenordner: %1 (Verzeichnis des Programms)\n").arg(programFolder)))
        << beside.out.toStdString();
}

#ifdef VELTRO_PROGRAM

// Help and version need no display; a wrong call is refused before any window.
TEST(WindowProgramCall, HelpAndVersionAnswerOnTheTerminalAndWrongCallsAreRefused) {
    const QTemporaryDir home;
    const struct {
        QStringList args;
        int status;
        const char* said;  // on stdout for status 0, else on stderr
    } cases[] = {
        {{u"--help"_s}, 0, "Aufruf: veltro-adressbuch [DATEI.vcf]"},
        {{u"-V"_s}, 0, "veltro-adressbuch (Veltro Adressbuch) "},
        {{u"--frob"_s}, 2, "Unbekannte Option: --frob"},
        {{home.filePath(u"fehlt.vcf"_s)}, 2, "fehlt"},
        {{home.path()}, 2, "Verzeichnis"},
        {{u"a.vcf"_s, u"b.vcf"_s}, 2, "nur eine Datei"},
    };
    for (const auto& c : cases) {
        const bool answers = c.status == 0;
        const CliRun run = veltro::testing::runProgram(
            QStringLiteral(VELTRO_PROGRAM), c.args,
            {{u"VELTRO_HOME"_s, home.path()},
             {u"XDG_CONFIG_HOME"_s, home.path()},
             {u"QT_QPA_PLATFORM"_s, answers ? QString() : u"offscreen"_s},
             {u"DISPLAY"_s, {}},
             {u"WAYLAND_DISPLAY"_s, {}}});
        EXPECT_EQ(run.status, c.status) << c.args.join(u' ').toStdString();
        EXPECT_TRUE((answers ? run.out : run.err).contains(QString::fromUtf8(c.said)))
            << run.out.toStdString() << run.err.toStdString();
    }
}

#endif

}  // namespace
