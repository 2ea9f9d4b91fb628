// The start as a person sees it under a window manager: the first message, the window's size
// from one start to the next, and the start with the search window.
#include "QtPrinters.h"
#include "RecordingPlatform.h"
#include "TestHome.h"
#include "WindowTools.h"

#include "mainwindow/MainWindow.h"
#include "mainwindow/Program.h"
#include "mainwindow/SplashWindow.h"
#include "search/SearchWindow.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

using namespace veltro;
namespace key = veltro::settings::key;
using veltro::testing::TestHome;

namespace {

constexpr int kPatienceMs = 5000;

// What a person saw of the first message box of a start.
struct SeenMessage {
    bool shown = false;
    bool active = false;
    bool splashVisible = false;
    QString text;
};

TEST(StartupWm, AStoreThatCannotBeOpenedIsToldInFrontOfEverything) {
    const TestHome home;  // no store in it
    settings::write(key::OPChk6, QStringLiteral("1"));
    mainwindow::Program program;
    ASSERT_TRUE(program.start());
    SeenMessage seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || seen.shown) {
            return;
        }
        seen.shown = true;
        seen.text = box->text();
        seen.active = QTest::qWaitForWindowActive(box, kPatienceMs);
        seen.splashVisible = program.splash() != nullptr && program.splash()->isVisible();
        box->button(QMessageBox::Ok)->click();
    });
    watch.start(50);
    QTimer::singleShot(20000, [] { QApplication::exit(99); });
    const int status = QApplication::exec();

    EXPECT_EQ(status, 1);
    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(seen.text.contains(u"Kartix.mdb")) << seen.text.toStdString();
    EXPECT_TRUE(seen.active);
    EXPECT_FALSE(seen.splashVisible);
}

class WindowSize : public ::testing::Test {
protected:
    void SetUp() override {
        veltro::testing::makeStore(home_.dir(), {QStringLiteral("Privat")}, {});
        settings::write(key::OPChk3, QStringLiteral("1"));
    }

    // One run of the window: shown and framed, then what `use` does, then closed.
    template <typename Use>
    void run(Use use) {
        mainwindow::MainWindow window;
        ASSERT_TRUE(window.Form_Load());
        window.show();
        static_cast<void>(veltro::testing::placedFrameGeometry(window));
        use(window);
        window.close();
    }

    TestHome home_;
    veltro::testing::ScopedRecordingPlatform platform_;
};

TEST_F(WindowSize, ItIsTheSameAtEveryStart) {
    std::vector<QSize> sizes;
    for (int start = 0; start < 3; ++start) {
        run([&](mainwindow::MainWindow& window) { sizes.push_back(window.size()); });
    }
    EXPECT_EQ(sizes[1], sizes[0]);
    EXPECT_EQ(sizes[2], sizes[0]);
}

TEST_F(WindowSize, AMaximisedWindowComesBackToItsNormalSize) {
    QSize normal;
    run([&](mainwindow::MainWindow& window) {
        normal = window.size();
        window.showMaximized();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.size() != normal; }, kPatienceMs));
    });
    run([&](mainwindow::MainWindow& window) {
        EXPECT_TRUE(window.isMaximized());
        window.showNormal();
        static_cast<void>(QTest::qWaitFor([&] { return window.size() == normal; }, kPatienceMs));
        EXPECT_EQ(window.size(), normal);
    });
}

TEST(StartupWm, TheSearchWindowIsThereAtEveryStart) {
    const TestHome home;
    veltro::testing::makeStore(home.dir(), {QStringLiteral("Privat")},
                               {{QStringLiteral("Anna"), QStringLiteral("Privat")}});
    settings::write(key::OPChk2, QStringLiteral("1"));
    settings::write(key::OPChk6, QStringLiteral("0"));
    const veltro::testing::ScopedRecordingPlatform platform;
    for (int start = 0; start < 5; ++start) {
        SCOPED_TRACE(start);
        mainwindow::Program program;
        ASSERT_TRUE(program.start());
        const auto standing = [&] {
            const auto* search = search::SearchWindow::current();
            return program.mainWindow() != nullptr && program.mainWindow()->isMinimized() &&
                   search != nullptr && search->isVisible();
        };
        ASSERT_TRUE(QTest::qWaitFor(standing, kPatienceMs));
        // The window manager handles the windows in the order shown: what it reports about
        // the main window has come in once it has framed the search window.
        static_cast<void>(veltro::testing::placedFrameGeometry(*search::SearchWindow::current()));
        veltro::testing::settle();
        EXPECT_TRUE(standing());
    }
}

}  // namespace
