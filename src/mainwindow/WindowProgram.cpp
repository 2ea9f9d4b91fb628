#include "mainwindow/WindowProgram.h"

#include "mainwindow/CardEditor.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/Program.h"
#include "mainwindow/ProgramArguments.h"
#include "mainwindow/TermSignal.h"
#include "platform/ProgramIcon.h"
#include "platform/TellFailure.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include <malloc.h>

namespace veltro::mainwindow {

namespace {

// The last line of defence: whatever escaped a command's own guard is told, never allowed
// to end the program through the event loop.
class Application final : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            platform::tellFailure({}, std::current_exception());
            return false;
        }
    }
};

void loadGermanTranslations(QApplication& app, QTranslator& translator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    if (translator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(&translator);
    }
}

QPointer<Program> running;

// A lost display ends the program from deep inside Qt through exit(): what was typed and
// not saved yet goes to the recovery file on the way out.
void keepTypedOnExit() {
    if (running && running->mainWindow() != nullptr) {
        running->mainWindow()->editor().keepPendingNow();
    }
}

}  // namespace

int runWindowProgram(int& argc, char** argv, const std::function<void(Program&)>& beforeStart) {
    // Large blocks (the growing lists and indexes of a big card file) come from the system
    // and go back to it when freed, rather than staying with the program after their use.
    constexpr int kLargeBlockBytes = 256 * 1024;
    mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes);
    if (const auto answered = answerOnTerminal(argc, argv)) {
        return *answered;
    }
    // Qt's own dialogs speak German with its translations; the desktop's follow the system.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    Application app(argc, argv);
    const StartCall call = readStartCall(QApplication::arguments());
    if (!call.problem.isEmpty()) {
        std::fputs(qUtf8Printable(QStringLiteral("veltro-adressbuch: ") + call.problem + u'\n'),
                   stderr);
        return kWrongCall;
    }
    QApplication::setApplicationName(QStringLiteral("Veltro Adressbuch"));
    QApplication::setWindowIcon(platform::programIcon());
    // Ties the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VELTRO_APP_ID));
    QApplication::setQuitOnLastWindowClosed(true);
    QTranslator translator;
    loadGermanTranslations(app, translator);

    Program program;
    // The desktop passes a vCard file to open.
    if (!call.file.isEmpty()) {
        program.setOpenFile(QFileInfo(call.file).absoluteFilePath());
    }
    if (beforeStart) {
        beforeStart(program);
    }
    if (!program.start()) {
        return program.exitStatus();
    }
    running = &program;
    std::atexit(keepTypedOnExit);
    // A termination request, a closed terminal or Ctrl+C write what was typed and keep the
    // run, without a question.
    const TermSignal term;
    QObject::connect(&term, &TermSignal::received, [&program] {
        if (auto* window = program.mainWindow()) {
            window->endRunKeeping();
        }
        QApplication::exit(0);
    });
    const int status = QApplication::exec();
    // The exit step has written everything and closed the store, the settings are on
    // disk: the system frees the rest at once, faster than the destructors would.
    std::fflush(nullptr);
    std::_Exit(status != 0 ? status : program.exitStatus());
}

}  // namespace veltro::mainwindow
