#include "BenchHooks.h"

#include "mainwindow/MainWindow.h"
#include "mainwindow/Program.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

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

long long peakResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) {
            return std::stoll(line.substr(6));
        }
    }
    return 0;
}

double msSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Clicks into the full-text box as a user would, types the text and presses Enter; notes when
// the first answer and the answer over every card arrive, and how long the window ever
// stopped answering meanwhile (a timer that should tick every 5 ms).
void searchFullText(MainWindow& window, const QString& text, const QElapsedTimer& sinceStart) {
    auto* field = window.ui().Text16;
    auto* ticker = new QTimer(&window);
    auto lastTick = std::make_shared<QElapsedTimer>();
    auto longestStall = std::make_shared<double>(0.0);
    auto firstAnswer = std::make_shared<double>(-1.0);
    lastTick->start();
    QObject::connect(ticker, &QTimer::timeout, &window, [lastTick, longestStall] {
        *longestStall = std::max(*longestStall, msSince(*lastTick));
        lastTick->restart();
    });
    QObject::connect(&window, &MainWindow::fullTextShown, &window,
                     [&window, &sinceStart, lastTick, longestStall, firstAnswer](bool complete) {
                         if (*firstAnswer < 0) {
                             *firstAnswer = msSince(sinceStart);
                         }
                         if (!complete) {
                             return;
                         }
                         window.repaint();
                         *longestStall = std::max(*longestStall, msSince(*lastTick));
                         std::printf("fulltext %.1f %.1f %.1f %lld %d\n", msSince(sinceStart),
                                     *firstAnswer, *longestStall, peakResidentKb(),
                                     window.ui().List1->model()->rowCount());
                         std::fflush(stdout);
                         // An image of the index being saved is there for the next start.
                         window.session().fullText().waitForWork();
                         std::_Exit(0);
                     });
    ticker->start(5);
    field->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();  // entering the box shows all categories first
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(4, 4), field->mapToGlobal(QPointF(4, 4)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &press);
    field->setText(text);
    lastTick->restart();
    window.VolltextSuchen();
}

}  // namespace

void installBenchHooks(Program& program, const QElapsedTimer& sinceStart) {
    const bool startup = qEnvironmentVariableIsSet("VELTRO_BENCH_STARTUP");
    const QByteArray exit = qgetenv("VELTRO_BENCH_EXIT");
    const QString fullText = qEnvironmentVariable("VELTRO_BENCH_FULLTEXT");
    if (!startup && exit.isEmpty() && fullText.isEmpty()) {
        return;
    }
    QObject::connect(&program, &Program::mainWindowLoaded, &program,
                     [&program, &sinceStart, startup, exit, fullText] {
                         QTimer::singleShot(0, &program,
                                            [&program, &sinceStart, startup, exit, fullText] {
                                                MainWindow& window = *program.mainWindow();
                                                if (startup) {
                                                    reportLoaded(window, sinceStart);
                                                } else if (!fullText.isEmpty()) {
                                                    searchFullText(window, fullText, sinceStart);
                                                } else {
                                                    changeAndClose(window, exit == "keep");
                                                }
                                            });
                     });
}
