// With --x11, the window metrics on the real program on an X display of our own (Xvfb and
// openbox): from the event sent with XTest to the last paint seen through X Damage. startup,
// keystroke, first_change, new_card, exit_after_typing, fulltext_complete and rss_mb.
#include "Bench.h"
#include "ProgramRun.h"
#include "X11Screen.h"

#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>

#include <X11/keysym.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <set>

namespace veltro::bench {

namespace {

namespace fs = std::filesystem;

// ---- on a real display ----

X11Display* display() {
    static const std::unique_ptr<X11Display> shared = X11Display::start();
    return shared.get();
}

// The program started on the display, up to its "ready": where its widgets are.
struct OnScreen {
    QProcess process;
    QTemporaryDir config;
    Clock::time_point spawned;
    std::map<QByteArray, QPoint> at;
    unsigned long window = 0;

    std::optional<Clock::time_point> firstPaint;
    std::optional<Clock::time_point> painted;  // the window is there and still
    QByteArray focused;        // the widget with the keyboard focus, as the program last said
    bool focusInMain = false;  // that widget is in the main window
    std::map<QByteArray, QRect> areas;

    bool start(X11Screen& screen, const BenchContext& context, const fs::path& dir,
               const QString& category, bool fullText = false) {
        writeProgramSettings(config.path(), false);
        emptySnapshot(dir);
        removeBackups(dir);
        screen.forget();
        screen.ignore({});
        spawned = Clock::now();
        startProgram(process, context, dir, config.path(),
                     {{QStringLiteral("VELTRO_BENCH_X11"),
                       category.isEmpty() ? QStringLiteral("-Alle-") : category},
                      {QStringLiteral("VELTRO_BENCH_X11_FULLTEXT"),
                       fullText ? QStringLiteral("1") : QString()}},
                     display()->name());
        bool ready = false;
        while (!ready) {
            if (!process.canReadLine() && !process.waitForReadyRead(600000)) {
                std::cerr << "x11: das Programm meldete sich nicht: "
                          << process.readAllStandardError().toStdString() << std::endl;
                return false;
            }
            while (process.canReadLine() && !ready) {
                ready = take(process.readLine().trimmed().split(' '));
            }
        }
        // Mapped and placed by the window manager before anything is clicked.
        painted = screen.lastPaint(fullText ? 100 : 300, 60000);
        firstPaint = screen.firstPaint(0);
        return painted.has_value();
    }
    // One line of the program; true for its "ready".
    bool take(const QList<QByteArray>& words) {
        if (words.front() == "window" && words.size() == 2) {
            window = words[1].toULong();
        } else if (words.front() == "at" && words.size() == 4) {
            at[words[1]] = QPoint(words[2].toInt(), words[3].toInt());
        } else if (words.front() == "area" && words.size() == 6) {
            areas[words[1]] =
                QRect(words[2].toInt(), words[3].toInt(), words[4].toInt(), words[5].toInt());
        } else if (words.front() == "focus" && words.size() == 3) {
            focused = words[1];
            focusInMain = words[2] == "main";
        }
        return words.front() == "ready";
    }
    // The part of the window on the screen.
    QRect onScreen(X11Screen& screen, const QByteArray& name) {
        const auto [x, y] = screen.origin(window);
        return areas[name].translated(x, y);
    }
    void click(X11Screen& screen, const QByteArray& widget) {
        const auto found = at.find(widget);
        const QPoint point = found != at.end() ? found->second : QPoint();
        const auto [x, y] = screen.origin(window);
        screen.click(x + point.x(), y + point.y());
    }
    // A click into a box, and the wait until it has the focus: the window manager may pass
    // the click on only after keys sent later have arrived.
    bool clickInto(X11Screen& screen, const QByteArray& widget) {
        click(screen, widget);
        return waitForFocus([&widget](const QByteArray& now) { return now == widget; });
    }
    // Until the program says `word`, its other lines taken as they come.
    bool waitFor(const QByteArray& word) {
        for (;;) {
            while (process.canReadLine()) {
                const QList<QByteArray> words = process.readLine().trimmed().split(' ');
                take(words);
                if (words.front() == word) {
                    return true;
                }
            }
            if (!process.waitForReadyRead(600000)) {
                return false;
            }
        }
    }
    // Until the focus is where `wanted` says.
    bool waitForFocus(const std::function<bool(const QByteArray&)>& wanted) {
        const auto begun = Clock::now();
        while (!wanted(focused)) {
            if (msBetween(begun, Clock::now()) > 10000) {
                std::cerr << "x11: der Fokus blieb auf " << focused.toStdString() << std::endl;
                return false;
            }
            if (process.canReadLine()) {
                take(process.readLine().trimmed().split(' '));
            } else {
                process.waitForReadyRead(100);
            }
        }
        return true;
    }
    // Return once a question has the focus.
    void answerTheQuestion(X11Screen& screen) {
        (void)waitForFocus([this](const QByteArray& now) { return now != "-" && !focusInMain; });
        screen.key(XK_Return);
    }
    // Closes with Alt+F4 as the window manager does, the question answered with Enter.
    void closeKeeping(X11Screen& screen) {
        screen.key(XK_F4, X11Screen::kAlt);
        answerTheQuestion(screen);
        if (!process.waitForFinished(600000)) {
            process.kill();
        }
    }
    ~OnScreen() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
};

// The screen of the display, or a word why there is none.
X11Screen* screen() {
    static const std::unique_ptr<X11Screen> shared =
        display() != nullptr ? X11Screen::open(display()->name()) : nullptr;
    if (!shared) {
        std::cerr << "x11: kein Bildschirm mit XTest und X Damage (Xvfb fehlt?)" << std::endl;
    }
    return shared.get();
}

// From the event sent to the last paint after it.
double untilPainted(X11Screen& x, Clock::time_point sent) {
    const auto last = x.lastPaint(300, 30000);
    return last ? msBetween(sent, *last) : -1;
}

const std::pair<std::string, std::string> kOnX11 = {"screen", "\"x11\""};

void x11Startup(const BenchContext& context) {
    X11Screen* x = screen();
    for (const auto cards : context.cardCounts) {
        if (x == nullptr) {
            return;
        }
        const auto dir = context.scratchCopy(cards, "x11-startup");
        std::vector<double> firsts;
        std::vector<double> painted;
        Repeats repeats(context, cards);
        while (repeats.another()) {
            OnScreen program;
            if (!program.start(*x, context, dir, {})) {
                return;
            }
            firsts.push_back(msBetween(program.spawned, *program.firstPaint));
            painted.push_back(msBetween(program.spawned, *program.painted));
        }
        report("startup", cards, median(painted), static_cast<int>(painted.size()),
               {kOnX11, {"first_paint_ms", fixed(median(firsts))}, {"splash", "\"off\""}});
    }
}

void x11Keystroke(const BenchContext& context) {
    X11Screen* x = screen();
    for (const auto cards : context.cardCounts) {
        OnScreen program;
        if (x == nullptr ||
            !program.start(*x, context, context.scratchCopy(cards, "x11-keys"), {})) {
            return;
        }
        if (!program.clickInto(*x, "Text1")) {
            return;
        }
        (void)x->lastPaint();
        const QString text = QStringLiteral("mül");
        std::vector<std::vector<double>> samples(static_cast<std::size_t>(text.size()));
        for (int run = 0; run < context.runs; ++run) {
            for (qsizetype i = 0; i < text.size(); ++i) {
                x->forget();
                samples[static_cast<std::size_t>(i)].push_back(
                    untilPainted(*x, x->key(text[i].unicode())));
            }
            for (qsizetype i = 0; i < text.size(); ++i) {
                x->key(XK_BackSpace);
            }
            (void)x->lastPaint();
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            report("keystroke", cards, median(samples[static_cast<std::size_t>(i)]), context.runs,
                   {kOnX11,
                    {"text", '"' + text.left(i + 1).toStdString() + '"'},
                    {"category", "\"-Alle-\""}});
        }
    }
}

void x11FirstChange(const BenchContext& context) {
    X11Screen* x = screen();
    for (const auto cards : context.cardCounts) {
        const auto dir = context.scratchCopy(cards, "x11-first-change");
        std::vector<double> samples;
        BackupsOfRuns backups;
        Repeats repeats(context, cards);
        while (x != nullptr && repeats.another()) {
            OnScreen program;
            if (!program.start(*x, context, dir, {})) {
                return;
            }
            if (!program.clickInto(*x, "Text8")) {
                return;
            }
            x->type(QStringLiteral("x"));
            (void)x->lastPaint();
            // The status line says when the backup is done; the change does not wait for it.
            x->ignore(program.onScreen(*x, "StatusBar1"));
            x->forget();
            samples.push_back(untilPainted(*x, x->key(XK_Tab)));
            program.closeKeeping(*x);
            backups.count(dir);
        }
        auto fields = backups.fields();
        fields.insert(fields.begin(), kOnX11);
        report("first_change", cards, median(samples), static_cast<int>(samples.size()), fields);
    }
}

void x11NewCard(const BenchContext& context) {
    X11Screen* x = screen();
    for (const auto cards : context.cardCounts) {
        OnScreen program;
        if (x == nullptr || !program.start(*x, context, context.scratchCopy(cards, "x11-new-card"),
                                           QStringLiteral("Ärzte"))) {
            return;
        }
        std::vector<double> samples;
        for (int run = 0; run < context.runs; ++run) {
            const QByteArray before = program.focused;
            program.click(*x, "tbrNeueKarte");
            // Typing goes to the name dialog once its box has the focus.
            if (!program.waitForFocus(
                    [&before](const QByteArray& now) { return now != before && now != "-"; })) {
                return;
            }
            (void)x->lastPaint();
            x->type(QStringLiteral("Neue Karte %1").arg(run));
            x->forget();
            samples.push_back(untilPainted(*x, x->key(XK_Return)));
        }
        report("new_card", cards, median(samples), context.runs, {kOnX11});
    }
}

void x11ExitAfterTyping(const BenchContext& context) {
    X11Screen* x = screen();
    for (const auto cards : context.cardCounts) {
        const auto dir = context.scratchCopy(cards, "x11-exit");
        std::vector<double> questions;
        std::vector<double> ends;
        Repeats repeats(context, cards);
        while (x != nullptr && repeats.another()) {
            OnScreen program;
            if (!program.start(*x, context, dir, {})) {
                return;
            }
            if (!program.clickInto(*x, "Text8")) {
                return;
            }
            x->type(QStringLiteral("y"));
            (void)x->lastPaint();
            // The status line says when the backup the change began is done.
            x->ignore(program.onScreen(*x, "StatusBar1"));
            x->forget();
            questions.push_back(untilPainted(*x, x->key(XK_F4, X11Screen::kAlt)));
            program.answerTheQuestion(*x);
            const auto answered = Clock::now();
            if (program.process.waitForFinished(600000)) {
                ends.push_back(msBetween(answered, Clock::now()));
            }
        }
        report("exit_after_typing", cards, median(questions), static_cast<int>(questions.size()),
               {kOnX11, {"answered_to_process_end_ms", fixed(median(ends))}});
    }
}

long long statusKb(qint64 pid, const std::string& key) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(key)) {
            return std::stoll(line.substr(key.size()));
        }
    }
    return 0;
}

// Start-up, then "mül" searched in the full text as soon as the window is there: to the last
// paint of the answer over every card, and the memory the program holds then.
void x11FullText(const BenchContext& context) {
    X11Screen* x = screen();
    static std::set<std::int64_t> done;  // both metrics come from the same runs
    for (const auto cards : context.cardCounts) {
        if (!done.insert(cards).second) {
            continue;
        }
        const auto dir = context.scratchCopy(cards, "x11-fulltext");
        std::vector<double> samples;
        std::vector<double> peaks;
        std::vector<double> nows;
        Repeats repeats(context, cards);
        while (x != nullptr && repeats.another()) {
            OnScreen program;
            if (!program.start(*x, context, dir, {}, true)) {
                return;
            }
            if (!program.clickInto(*x, "Text16")) {
                return;
            }
            x->type(QStringLiteral("mül"));
            x->forget();
            x->key(XK_Return);
            if (!program.waitFor("complete")) {
                return;
            }
            // The complete answer's paint, or the signal itself when it changed nothing shown.
            const auto complete = Clock::now();
            const auto last = x->lastPaint(300, 10000);
            samples.push_back(
                msBetween(program.spawned, std::max(last.value_or(complete), complete)));
            peaks.push_back(static_cast<double>(statusKb(program.process.processId(), "VmHWM:")) /
                            1024.0);
            nows.push_back(static_cast<double>(statusKb(program.process.processId(), "VmRSS:")) /
                           1024.0);
            if (!program.waitFor("kept")) {
                return;
            }
        }
        // The first run may build the index a store without its image needs.
        report("fulltext_complete", cards, median(samples), static_cast<int>(samples.size()),
               {kOnX11,
                {"text", "\"mül\""},
                {"first_run_ms", fixed(samples.empty() ? 0 : samples.front())}});
        report("rss_mb", cards, median(samples), static_cast<int>(samples.size()),
               {kOnX11, {"mb", fixed(median(peaks))}, {"now_mb", fixed(median(nows))}});
    }
}

const Register kX11Startup("x11:startup", x11Startup);
const Register kX11Keystroke("x11:keystroke", x11Keystroke);
const Register kX11FirstChange("x11:first_change", x11FirstChange);
const Register kX11NewCard("x11:new_card", x11NewCard);
const Register kX11Exit("x11:exit_after_typing", x11ExitAfterTyping);
const Register kX11FullText("x11:fulltext_complete", x11FullText);
const Register kX11Rss("x11:rss_mb", x11FullText);

}  // namespace

}  // namespace veltro::bench
