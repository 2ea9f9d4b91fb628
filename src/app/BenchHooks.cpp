#include "BenchHooks.h"

#include "mainwindow/MainWindow.h"
#include "mainwindow/Program.h"
#include "platform/QtPlatform.h"

#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using veltro::mainwindow::MainWindow;
using veltro::mainwindow::Program;

class AnsweringPlatform final : public veltro::platform::QtPlatform {
public:
    explicit AnsweringPlatform(veltro::platform::Answer answer) : answer_(answer) {}
    veltro::platform::Answer message(const veltro::platform::MessageRequest&) override {
        return answer_;
    }
    void beep() override {}

private:
    veltro::platform::Answer answer_;
};

void reportLoaded(MainWindow& window, const QElapsedTimer& sinceStart) {
    window.repaint();
    std::printf("loaded %.1f\n", static_cast<double>(sinceStart.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
    std::_Exit(0);
}

void changeAndClose(MainWindow& window, bool keep) {
    auto& store = *window.cardStore();
    const auto rows = store.headings();
    for (std::size_t i = 0; i < 100 && i < rows.size(); ++i) {
        store.writeFields(rows[i * (rows.size() / 100)].id,
                          {{veltro::store::Field::Firma, QStringLiteral("Geändert %1").arg(i)}});
    }
    window.setChangeFlag();
    veltro::platform::install(std::make_unique<AnsweringPlatform>(
        keep ? veltro::platform::Answer::Yes : veltro::platform::Answer::No));
    std::printf("closing\n");
    std::fflush(stdout);
    window.close();
}

}  // namespace

void installBenchHooks(Program& program, const QElapsedTimer& sinceStart) {
    const bool startup = qEnvironmentVariableIsSet("VELTRO_BENCH_STARTUP");
    const QByteArray exit = qgetenv("VELTRO_BENCH_EXIT");
    if (!startup && exit.isEmpty()) {
        return;
    }
    QObject::connect(&program, &Program::mainWindowLoaded, &program,
                     [&program, &sinceStart, startup, exit] {
                         QTimer::singleShot(0, &program, [&program, &sinceStart, startup, exit] {
                             if (startup) {
                                 reportLoaded(*program.mainWindow(), sinceStart);
                             } else {
                                 changeAndClose(*program.mainWindow(), exit == "keep");
                             }
                         });
                     });
}
