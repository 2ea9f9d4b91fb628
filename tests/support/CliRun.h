#pragma once

// A program run as a process of its own, as from a shell; VELTRO_CLI names veltro-cli.
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace veltro::testing {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

// With `env` over the test's environment; a variable given an empty value is removed.
inline CliRun runProgram(const QString& program, const QStringList& args,
                         const std::vector<std::pair<QString, QString>>& env = {}) {
    QProcess process;
    auto environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : env) {
        if (value.isEmpty()) {
            environment.remove(name);
        } else {
            environment.insert(name, value);
        }
    }
    process.setProcessEnvironment(environment);
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(60000)) << args.join(u' ').toStdString();
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

inline CliRun runCli(const QStringList& args,
                     const std::vector<std::pair<QString, QString>>& env = {}) {
    return runProgram(QStringLiteral(VELTRO_CLI), args, env);
}

}  // namespace veltro::testing
