// What the two programs say about themselves, and the command table against the README, the
// manual page and the completion.
#include "CliRun.h"
#include "TestTools.h"

#include "app/cli/CommandTable.h"

#include <QDir>
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

// All that the pattern finds in the document, line by line.
QString found(const QString& document, const QString& pattern) {
    QString all;
    for (const auto& match :
         QRegularExpression(pattern, QRegularExpression::MultilineOption).globalMatch(document)) {
        all += match.captured();
    }
    return all;
}

TEST(CliHelp, EveryCommandAndOptionIsInTheHelpTheManualTheReadmeAndTheCompletion) {
    const CliRun help = cli({u"--help"_s});
    ASSERT_TRUE(help.status == 0 && help.err.isEmpty());
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
        // The README's calls of the command with their indented lines, and the manual's items.
        const QString inReadme = found(readme, u"^veltro-cli "_s + name + u"\\b.*(\n\\s+\\S.*)*"_s);
        const QString inManual =
            found(manual, u"^\\.BI? "_s + name + u"\\b(.*\n)*?(?=\\.(TP|SH))"_s);
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
    ASSERT_EQ(cli({u"demo-store"_s, work.filePath(u"kartei"_s)}).status, 0);
    ASSERT_TRUE(veltro::testing::writeBytes(work.filePath(u"zwei.csv"_s), "Karte;Ort\nAnna;Hof\n"));
    const struct {
        const char* call;  // DIR, CSV and PDF stand for the store, a list and a PDF file
        int status;
        const char* reason;
    } cases[] = {
        {"import DIR CSV --category X --map Karte=9", 2, "Quelldatei (sie hat 2 Spalten): Karte=9"},
        {"import DIR CSV --category X --separator ;;", 2, "genau ein Zeichen"},
        {"export DIR CSV --separator ;;", 2, "genau ein Zeichen"},
        {"export DIR CSV --preset lotus", 2, "Unbekanntes Programm"},
        {"export DIR CSV --category Privat", 2, "nur mit --vcard"},
        {"export DIR CSV --preset google --tab", 2, "legt das Format selbst fest"},
        {"export DIR CSV --vcard --version 2.1", 2, "vCard-Fassung"},
        {"export DIR CSV --frob", 2, "Unbekannte Option: --frob"},
        {"list DIR PDF.txt", 2, "endet auf .pdf"},
        {"backups DIR/fehlt", 1, "gibt es nicht"},
        {"show DIR", 2, "Schlagworte"},
        {"labels DIR PDF", 2, "--sheet fehlt"},
        {"labels DIR PDF --sheet 9999", 2, "Unbekannter Bogen"},
        {"labels DIR PDF --sheet 3474 --start 25", 2, "zwischen 1"},
        {"labels DIR PDF --sheet 3474 --category Fehlt", 1, "Keine"},
        {"list DIR PDF --columns Karte,Geburtstag", 2, "Unbekannte Spalte"},
        {"list DIR PDF --landscape --landscape", 2, "doppelt"},
        {"envelope DIR PDF", 2, "--format fehlt"},
        {"envelope DIR PDF --format C3", 2, "Unbekanntes Format"},
        {"envelope DIR PDF --format DL --form C", 2, "A oder B"},
        {"envelope DIR PDF --format DL --card Niemand", 1, "Keine"},
    };
    for (const auto& c : cases) {
        QStringList args = QString::fromUtf8(c.call).split(u' ');
        args.replaceInStrings(u"DIR"_s, work.filePath(u"kartei"_s))
            .replaceInStrings(u"CSV"_s, work.filePath(u"zwei.csv"_s))
            .replaceInStrings(u"PDF"_s, work.filePath(u"nie.pdf"_s));
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, c.status) << c.call;
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.reason))) << c.call << '\n'
                                                                   << run.err.toStdString();
        // A wrong call shows how the command is called, with the help's placeholders.
        EXPECT_EQ(run.err.contains(u"Aufruf: veltro-cli "_s + args.front() + u" VERZ"_s),
                  c.status == 2)
            << c.call;
    }
    EXPECT_EQ(QDir(work.path()).entryList(QDir::Files), QStringList{u"zwei.csv"_s});
    // A right one: show prints the address as text, every character kept, or with --rtf as stored.
    const QStringList show = {u"show"_s, work.filePath(u"kartei"_s), u"Yıldız Emre"_s};
    EXPECT_TRUE(
        cli(show).out.contains(u"Anschrift:\n  Herrn Emre Yıldız\n  Gereuthstraße 14\n\n"_s));
    EXPECT_TRUE(cli(show + QStringList{u"--rtf"_s}).out.contains(u"Anschrift: {\\rtf1"_s));
}

// Help and version need no display and name the data folder in use; the window program
// refuses a wrong call before any window.
TEST(CliHelp, BothProgramsAnswerOnTheTerminal) {
    const QTemporaryDir home;
    const QString version = u"(Veltro Adressbuch) %1.%2.%3\nDatenordner: %4 (aus VELTRO_HOME)\n"_s
                                .arg(VELTRO_VERSION_MAJOR)
                                .arg(VELTRO_VERSION_MINOR)
                                .arg(VELTRO_VERSION_PATCH)
                                .arg(home.path());
    const QString cliFolder = QFileInfo(QStringLiteral(VELTRO_CLI)).absolutePath();
    const struct {
        const char* program;
        QStringList args;
        bool home;  // VELTRO_HOME set
        int status;
        QString said;  // on stdout for status 0, else on stderr
    } cases[] = {
        {VELTRO_CLI, {u"--version"_s}, true, 0, u"veltro-cli "_s + version},
        // The built program's folder is the user's own, so the store lives beside it.
        {VELTRO_CLI, {u"-V"_s}, false, 0, cliFolder + u" (Verzeichnis des Programms)\n"_s},
#ifdef VELTRO_PROGRAM
        {VELTRO_PROGRAM, {u"--help"_s}, true, 0, u"Aufruf: veltro-adressbuch [DATEI.vcf]"_s},
        {VELTRO_PROGRAM, {u"-V"_s}, true, 0, u"veltro-adressbuch "_s + version},
        {VELTRO_PROGRAM, {u"--frob"_s}, true, 2, u"Unbekannte Option: --frob"_s},
        {VELTRO_PROGRAM, {home.filePath(u"fehlt.vcf"_s)}, true, 2, u"fehlt"_s},
        {VELTRO_PROGRAM, {home.path()}, true, 2, u"Verzeichnis"_s},
        {VELTRO_PROGRAM, {u"a.vcf"_s, u"b.vcf"_s}, true, 2, u"nur eine Datei"_s},
#endif
    };
    for (const auto& c : cases) {
        const bool answers = c.status == 0;
        const CliRun run = veltro::testing::runProgram(
            QString::fromUtf8(c.program), c.args,
            {{u"VELTRO_HOME"_s, c.home ? home.path() : QString()},
             {u"XDG_CONFIG_HOME"_s, home.path()},
             {u"QT_QPA_PLATFORM"_s, answers ? QString() : u"offscreen"_s},
             {u"DISPLAY"_s, {}},
             {u"WAYLAND_DISPLAY"_s, {}}});
        EXPECT_EQ(run.status, c.status) << c.args.join(u' ').toStdString();
        EXPECT_TRUE((answers ? run.out : run.err).contains(c.said))
            << run.out.toStdString() << run.err.toStdString();
    }
}

}  // namespace
