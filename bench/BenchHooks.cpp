#include "BenchHooks.h"

#include "mainwindow/MainWindow.h"
#include "mainwindow/Program.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

using veltro::mainwindow::MainWindow;
using veltro::mainwindow::Program;

// Answers every question at once; `asked` hears of each question first.
class AnsweringPlatform final : public veltro::platform::QtPlatform {
public:
    explicit AnsweringPlatform(veltro::platform::Answer answer, std::function<void()> asked = {})
        : answer_(answer), asked_(std::move(asked)) {}
    veltro::platform::Answer message(const veltro::platform::MessageRequest&) override {
        if (asked_) {
            std::exchange(asked_, {})();
        }
        return answer_;
    }
    void beep() override {}

private:
    veltro::platform::Answer answer_;
    std::function<void()> asked_;
};

void closeKeeping(MainWindow& window) {
    veltro::platform::install(std::make_unique<AnsweringPlatform>(veltro::platform::Answer::Yes));
    window.close();
}

// The first card of the list shown, and a box of it focused as a click would.
QLineEdit* focusShownCard(MainWindow& window) {
    auto* list = window.ui().List1;
    list->setCurrentIndex(list->model()->index(0, 0));
    QApplication::setActiveWindow(&window);
    QLineEdit* field = window.ui().box(8);
    field->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    return field;
}

void press(Qt::Key key, const QString& text) {
    QWidget* target = QApplication::focusWidget();
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    QApplication::sendEvent(target, &up);
}

// Typed into a box of the shown card, then Tab: the first change of the run, with its backup.
void firstChange(MainWindow& window) {
    focusShownCard(window);
    press(Qt::Key_X, QStringLiteral("x"));
    window.repaint();
    QElapsedTimer timer;
    timer.start();
    press(Qt::Key_Tab, QStringLiteral("\t"));
    QApplication::processEvents();
    window.repaint();
    std::printf("first_change %.2f\n", static_cast<double>(timer.nsecsElapsed()) / 1e6);
    std::fflush(stdout);
    closeKeeping(window);
}

// Typed into a box of the shown card, then closed at once: until the exit question.
void closeAfterTyping(MainWindow& window) {
    focusShownCard(window);
    press(Qt::Key_Y, QStringLiteral("y"));
    window.repaint();
    auto timer = std::make_shared<QElapsedTimer>();
    veltro::platform::install(
        std::make_unique<AnsweringPlatform>(veltro::platform::Answer::Yes, [timer] {
            std::printf("question %.2f\n", static_cast<double>(timer->nsecsElapsed()) / 1e6);
            std::fflush(stdout);
        }));
    timer->start();
    window.close();
}

// On a real display: no blinking cursor to paint, the category chosen, the first card shown;
// where the widgets the driver clicks lie, then "ready".
void readyOnScreen(MainWindow& window, const QString& category, bool fullText) {
    QApplication::setCursorFlashTime(0);
    if (!category.isEmpty()) {
        auto* combo = window.ui().Combo1;
        combo->setCurrentIndex(std::max(0, combo->findText(category)));
        window.Combo1_Click();
    }
    auto* list = window.ui().List1;
    list->setCurrentIndex(list->model()->index(0, 0));
    if (fullText) {
        QObject::connect(&window, &MainWindow::fullTextShown, &window, [&window](bool complete) {
            if (!complete) {
                return;
            }
            std::printf("complete\n");
            std::fflush(stdout);
            // Once the answer is on the screen: the index's image is written for the next start.
            QTimer::singleShot(1000, &window, [&window] {
                window.session().fullText().waitForWork();
                std::printf("kept\n");
                std::fflush(stdout);
            });
        });
    }
    QApplication::processEvents();
    // Within the window: where the window manager puts it, the driver asks the display.
    std::printf("window %llu\n", static_cast<unsigned long long>(window.winId()));
    const auto at = [&window](const char* name, const QWidget* widget) {
        const QPoint centre = widget->mapTo(&window, widget->rect().center());
        std::printf("at %s %d %d\n", name, centre.x(), centre.y());
    };
    const auto focusIs = [main = &window](const QWidget* widget) {
        const QString name = widget == nullptr ? QStringLiteral("-")
                             : !widget->objectName().isEmpty()
                                 ? widget->objectName()
                                 : QString::fromLatin1(widget->metaObject()->className());
        const bool inMain = widget != nullptr && widget->window() == main;
        std::printf("focus %s %s\n", qPrintable(name), inMain ? "main" : "other");
        std::fflush(stdout);
    };
    focusIs(QApplication::focusWidget());
    QObject::connect(qApp, &QApplication::focusChanged, &window,
                     [focusIs](QWidget*, QWidget* now) { focusIs(now); });
    const QRect status(window.ui().StatusBar1->mapTo(&window, QPoint()),
                       window.ui().StatusBar1->size());
    std::printf("area StatusBar1 %d %d %d %d\n", status.x(), status.y(), status.width(),
                status.height());
    at("Text1", window.ui().Text1);
    at("Text8", window.ui().box(8));
    at("Text16", window.ui().Text16);
    if (const auto* button = window.findChild<QWidget*>(QStringLiteral("tbrNeueKarte"))) {
        at("tbrNeueKarte", button);
    }
    std::printf("ready\n");
    std::fflush(stdout);
}

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

// The request of the environment, run once the main window is filled.
std::function<void(MainWindow&, const QElapsedTimer&)> requested() {
    if (qEnvironmentVariableIsSet("VELTRO_BENCH_STARTUP")) {
        return reportLoaded;
    }
    if (const QByteArray exit = qgetenv("VELTRO_BENCH_EXIT"); !exit.isEmpty()) {
        return [keep = exit == "keep"](MainWindow& window, const QElapsedTimer&) {
            changeAndClose(window, keep);
        };
    }
    if (const QString text = qEnvironmentVariable("VELTRO_BENCH_FULLTEXT"); !text.isEmpty()) {
        return [text](MainWindow& window, const QElapsedTimer& since) {
            searchFullText(window, text, since);
        };
    }
    if (qEnvironmentVariableIsSet("VELTRO_BENCH_FIRST_CHANGE")) {
        return [](MainWindow& window, const QElapsedTimer&) { firstChange(window); };
    }
    if (qEnvironmentVariableIsSet("VELTRO_BENCH_EXIT_TYPED")) {
        return [](MainWindow& window, const QElapsedTimer&) { closeAfterTyping(window); };
    }
    if (qEnvironmentVariableIsSet("VELTRO_BENCH_X11")) {
        return [category = qEnvironmentVariable("VELTRO_BENCH_X11"),
                fullText = qEnvironmentVariableIsSet("VELTRO_BENCH_X11_FULLTEXT")](
                   MainWindow& window, const QElapsedTimer&) {
            readyOnScreen(window, category, fullText);
        };
    }
    return {};
}

}  // namespace

void installBenchHooks(Program& program, const QElapsedTimer& sinceStart) {
    auto request = requested();
    if (!request) {
        return;
    }
    QObject::connect(&program, &Program::mainWindowLoaded, &program,
                     [&program, &sinceStart, request] {
                         QTimer::singleShot(0, &program, [&program, &sinceStart, request] {
                             request(*program.mainWindow(), sinceStart);
                         });
                     });
}
