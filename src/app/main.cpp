#include "mainwindow/MainWindow.h"
#include "mainwindow/Program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {

void loadGermanTranslations(QApplication& app, QTranslator& translator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    if (translator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(&translator);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltro Adressbuch"));
    QApplication::setQuitOnLastWindowClosed(true);
    QTranslator translator;
    loadGermanTranslations(app, translator);

    veltro::mainwindow::Program program;
    // The benchmark measures start-up to the filled card list, then ends the run
    // without the exit step.
    if (qEnvironmentVariableIsSet("VELTRO_BENCH_STARTUP")) {
        QObject::connect(&program, &veltro::mainwindow::Program::mainWindowLoaded, [&] {
            std::printf("loaded %.1f\n", static_cast<double>(sinceStart.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            std::_Exit(0);
        });
    }
    if (!program.start()) {
        return program.exitStatus();
    }
    const int status = QApplication::exec();
    return status != 0 ? status : program.exitStatus();
}
