#include "ProgramRun.h"

#include "store/Schema.h"
#include "store/Sqlite.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

namespace veltro::bench {

void writeProgramSettings(const QString& configDir, bool splash) {
    QDir().mkpath(configDir + QStringLiteral("/Veltrix"));
    QFile file(configDir + QStringLiteral("/Veltrix/Veltrix.conf"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(splash ? "[Setting]\nOPChk6=1\n" : "[Setting]\nOPChk6=0\n");
    }
}

void emptySnapshot(const std::filesystem::path& storeDir) {
    auto db = store::Database::open(storeDir / store::kStoreFileName);
    db.exec("DELETE FROM zKontakte");
    db.exec("DELETE FROM ztblAdrCfg");
}

void startProgram(QProcess& process, const BenchContext& context,
                  const std::filesystem::path& storeDir, const QString& configDir,
                  const char* request, const QString& value) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELTRO_HOME"), QString::fromStdString(storeDir.string()));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QString::fromLatin1(request), value);
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(QString::fromStdString((context.binDir / "veltro-adressbuch").string()), {});
}

}  // namespace veltro::bench
