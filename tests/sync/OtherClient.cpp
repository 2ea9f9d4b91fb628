#include "OtherClient.h"

#include "TestTools.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace veltro::testing {

namespace {

constexpr int kToolMs = 60000;

QByteArray quoted(const QString& text) {
    return '"' +
           QString(text)
               .replace(u'\\', QStringLiteral("\\\\"))
               .replace(u'"', QStringLiteral("\\\""))
               .toUtf8() +
           '"';
}

}  // namespace

bool OtherClient::installed() {
    return !QStandardPaths::findExecutable(QStringLiteral("vdirsyncer")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("khard")).isEmpty();
}

OtherClient::OtherClient(const QUrl& book, const QString& user, const QString& password) {
    QDir(dir_.path()).mkpath(QStringLiteral("cards"));
    EXPECT_TRUE(writeBytes(
        path(QStringLiteral("vdirsyncer.conf")),
        "[general]\nstatus_path = " + quoted(path(QStringLiteral("status"))) +
            "\n\n[pair buch]\na = \"server\"\nb = \"here\"\ncollections = null\n"
            "conflict_resolution = \"a wins\"\n\n[storage server]\ntype = \"carddav\"\nurl = " +
            quoted(book.toString()) + "\nusername = " + quoted(user) + "\npassword = " +
            quoted(password) + "\n\n[storage here]\ntype = \"filesystem\"\npath = " +
            quoted(path(QStringLiteral("cards"))) + "\nfileext = \".vcf\"\n"));
    EXPECT_TRUE(
        writeBytes(path(QStringLiteral("khard.conf")),
                   "[addressbooks]\n[[buch]]\npath = " + path(QStringLiteral("cards")).toUtf8() +
                       "\n[general]\neditor = false\nmerge_editor = false\n"));
}

QByteArray OtherClient::run(const QString& program, const QStringList& args,
                            const QByteArray& input) {
    QProcess process;
    // Nothing of the user's settings is read or touched.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir_.path());
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        env.insert(QLatin1String(name), path(QStringLiteral("xdg")));
    }
    process.setProcessEnvironment(env);
    process.start(program, args);
    process.write(input);
    process.closeWriteChannel();
    const bool finished = process.waitForFinished(kToolMs);
    const QByteArray out = process.readAllStandardOutput();
    QFile file(path(QStringLiteral("tools.log")));
    if (file.open(QIODevice::Append)) {
        file.write("$ " + program.toUtf8() + ' ' + args.join(u' ').toUtf8() + '\n' + out +
                   process.readAllStandardError() + '\n');
    }
    EXPECT_TRUE(finished && process.exitCode() == 0) << program.toStdString() << " failed:\n"
                                                     << log().toStdString();
    return out;
}

void OtherClient::sync() {
    const QString config = path(QStringLiteral("vdirsyncer.conf"));
    if (!discovered_) {
        run(QStringLiteral("vdirsyncer"),
            {QStringLiteral("-c"), config, QStringLiteral("discover")}, "y\n");
        discovered_ = true;
    }
    run(QStringLiteral("vdirsyncer"), {QStringLiteral("-c"), config, QStringLiteral("sync")});
}

void OtherClient::remove(const QString& name) {
    run(QStringLiteral("khard"), {QStringLiteral("-c"), path(QStringLiteral("khard.conf")),
                                  QStringLiteral("remove"), QStringLiteral("--force"), name});
    sync();
}

void OtherClient::setPhone(const QString& name, const QString& number) {
    edit(name, {{QStringLiteral("^(Phone:\\n +[^:\\n]+:).*$"), number}});
}

void OtherClient::setAddress(const QString& name, const QString& street, const QString& postcode,
                             const QString& town) {
    edit(name, {{QStringLiteral("^( +Street:).*$"), street},
                {QStringLiteral("^( +Code:).*$"), postcode},
                {QStringLiteral("^( +City:).*$"), town}});
}

void OtherClient::edit(const QString& name,
                       const std::vector<std::pair<QString, QString>>& changes) {
    const QString config = path(QStringLiteral("khard.conf"));
    QString yaml = QString::fromUtf8(
        run(QStringLiteral("khard"), {QStringLiteral("-c"), config, QStringLiteral("show"),
                                      QStringLiteral("--format"), QStringLiteral("yaml"), name}));
    for (const auto& [pattern, value] : changes) {
        const QRegularExpression line(pattern, QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = line.match(yaml);
        ASSERT_TRUE(match.hasMatch()) << pattern.toStdString() << " in\n" << yaml.toStdString();
        // Quoted, so that YAML keeps a number such as 0911 as text.
        yaml.replace(match.capturedStart(), match.capturedLength(),
                     match.captured(1) + QStringLiteral(" '") +
                         QString(value).replace(u'\'', QStringLiteral("''")) + u'\'');
    }
    const QString file = path(QStringLiteral("edit.yaml"));
    ASSERT_TRUE(writeBytes(file, yaml.toUtf8()));
    run(QStringLiteral("khard"),
        {QStringLiteral("-c"), config, QStringLiteral("edit"), QStringLiteral("-i"), file, name},
        "y\n");
    sync();
}

std::map<QString, QString> OtherClient::cards() const {
    static const QRegularExpression fn(QStringLiteral("(?:^|\\n)FN:([^\\r\\n]*)"));
    std::map<QString, QString> found;
    const QDir folder(path(QStringLiteral("cards")));
    for (const QString& name : folder.entryList({QStringLiteral("*.vcf")}, QDir::Files)) {
        QString text = QString::fromUtf8(fileBytes(folder.filePath(name)));
        text.replace(QStringLiteral("\r\n "), QString()).replace(QStringLiteral("\n "), QString());
        found[fn.match(text).captured(1)] = text;
    }
    return found;
}

QString OtherClient::log() const {
    return QString::fromUtf8(fileBytes(path(QStringLiteral("tools.log"))));
}

}  // namespace veltro::testing
