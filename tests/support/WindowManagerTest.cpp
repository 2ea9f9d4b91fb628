// The harness itself, and the focus and frame behaviour under a real window manager that
// the main window's rules build on.
#include "WindowManagerSession.h"
#include "WindowTools.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace veltro::testing {
namespace {

// Window A with two line edits, active, the focus in the first.
class WindowManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_.setWindowTitle(QStringLiteral("Fenster A"));
        auto* layout = new QVBoxLayout(&window_);
        layout->addWidget(first_);
        layout->addWidget(second_);
        ASSERT_TRUE(showActive(window_));
        first_->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return first_->hasFocus(); }));
    }

    QWidget window_;
    QLineEdit* first_ = new QLineEdit(&window_);
    QLineEdit* second_ = new QLineEdit(&window_);
};

TEST_F(WindowManagerTest, RunsOnItsOwnXServer) {
    EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    EXPECT_EQ(QGuiApplication::primaryScreen()->size(), QSize(1280, 1024));
}

TEST_F(WindowManagerTest, ReactivatedWindowGivesTheFocusBackToTheSameBox) {
    const FocusLog log(*first_);
    const auto other = activateOtherWindow();
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(window_.isActiveWindow());

    ASSERT_TRUE(showActive(window_));
    ASSERT_TRUE(QTest::qWaitFor([&] { return first_->hasFocus(); }));
    EXPECT_EQ(log.lastIn(), Qt::ActiveWindowFocusReason);
}

TEST_F(WindowManagerTest, ClosedContextMenuGivesTheFocusBackWithPopupReason) {
    const FocusLog log(*first_);
    rightClick(*first_);
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));

    QApplication::activePopupWidget()->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first_->hasFocus(); }));
    EXPECT_EQ(log.lastIn(), Qt::PopupFocusReason);
    EXPECT_TRUE(window_.isActiveWindow());
}

// How the focus leaves the first box, by what the user does.
struct Leaving {
    std::string name;
    // Returns the window it opened, if any, to keep until the case ends.
    std::function<std::unique_ptr<QWidget>(QLineEdit& first, QLineEdit& second)> act;
    Qt::FocusReason reason;
    bool stillActive;  // window A remains the active window
};

void PrintTo(const Leaving& leaving, std::ostream* os) {
    *os << leaving.name;
}

class FocusLeavingTest : public WindowManagerTest, public ::testing::WithParamInterface<Leaving> {};

const Leaving leavings[] = {
    {"AnotherWindowActivated", [](auto&, auto&) { return activateOtherWindow(); },
     Qt::ActiveWindowFocusReason, false},
    {"ContextMenuOpened", [](auto& first, auto&) { return rightClick(first), nullptr; },
     Qt::PopupFocusReason, true},
    {"ClickIntoAnotherBox", [](auto&, auto& second) { return click(second), nullptr; },
     Qt::MouseFocusReason, true},
    {"RightClickIntoAnotherBox", [](auto&, auto& second) { return rightClick(second), nullptr; },
     Qt::MouseFocusReason, true},
    {"Tab", [](auto& first, auto&) { return QTest::keyClick(&first, Qt::Key_Tab), nullptr; },
     Qt::TabFocusReason, true},
};

TEST_P(FocusLeavingTest, TellsItsReason) {
    const FocusLog log(*first_);
    const auto other = GetParam().act(*first_, *second_);
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.lastOut().has_value(); }));
    settle();

    EXPECT_EQ(log.lastOut(), GetParam().reason);
    EXPECT_EQ(window_.isActiveWindow(), GetParam().stillActive);
    if (auto* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
}

INSTANTIATE_TEST_SUITE_P(ByUserAction, FocusLeavingTest, ::testing::ValuesIn(leavings),
                         [](const auto& row) { return row.param.name; });

TEST(WindowManagerFrameTest, WindowKeepsItsSizeInsideALargerFrame) {
    QWidget window;
    window.resize(800, 600);
    ASSERT_TRUE(showActive(window));
    const QRect frame = placedFrameGeometry(window);

    EXPECT_EQ(window.geometry().size(), QSize(800, 600));
    EXPECT_GT(frame.height(), window.geometry().height());
    EXPECT_GT(frame.width(), window.geometry().width());
    EXPECT_TRUE(frame.contains(window.geometry()));
}

bool socketExists(const std::string& display) {
    return std::filesystem::exists("/tmp/.X11-unix/X" + display.substr(1));
}

// The processes this test program started that are still there (zombies included).
int childProcesses() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) {
            continue;
        }
        // "pid (name) state ppid ...": the name may hold anything, so read after its end.
        std::istringstream rest(line.substr(line.rfind(')') + 1));
        char state = 0;
        pid_t parent = 0;
        rest >> state >> parent;
        count += parent == getpid() ? 1 : 0;
    }
    return count;
}

TEST(WindowManagerSessionTest, SessionsSideBySideGetTheirOwnDisplayAndLeaveNothing) {
    const int before = childProcesses();
    {
        const WindowManagerSession one;
        const WindowManagerSession two;
        EXPECT_NE(one.display(), two.display());
        EXPECT_NE(one.display(), qEnvironmentVariable("DISPLAY").toStdString());
        EXPECT_TRUE(socketExists(one.display()));
        EXPECT_TRUE(socketExists(two.display()));
        EXPECT_EQ(childProcesses(), before + 4);  // two servers, two window managers
    }
    EXPECT_EQ(childProcesses(), before);
}

}  // namespace
}  // namespace veltro::testing
