#include "CliRun.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using veltro::testing::CliRun;

// With VELTRO_HOME set to the folder given, or not set at all.
CliRun cli(const QStringList& args, const QString& veltroHome = {}) {
    return veltro::testing::runCli(args, {{QStringLiteral("VELTRO_HOME"), veltroHome}});
}

struct HelpCase {
    QStringList args;
    int status;
    bool onStdout;
};

TEST(CliHelp, HelpGoesToStdoutOnRequestAndToStderrOnWrongUse) {
    const HelpCase cases[] = {
        {{QStringLiteral("--help")}, 0, true},
        {{QStringLiteral("-h")}, 0, true},
        {{}, 2, false},
        {{QStringLiteral("frobnicate")}, 2, false},
    };
    for (const HelpCase& c : cases) {
        const CliRun run = cli(c.args);
        const QString name = c.args.join(u' ');
        EXPECT_EQ(run.status, c.status) << name.toStdString();
        const QString& text = c.onStdout ? run.out : run.err;
        // Every command, both options and every exit status are named.
        for (const char* part :
             {"new-store", "import", "export", "--version", "--help", "0   erledigt", "1   Fehler",
              "2   falscher Aufruf", "3   teilweise erledigt", "75  Kartei in Gebrauch"}) {
            EXPECT_TRUE(text.contains(QString::fromUtf8(part)))
                << name.toStdString() << ": " << part;
        }
        EXPECT_TRUE((c.onStdout ? run.err : run.out).isEmpty()) << name.toStdString();
    }
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

}  // namespace
