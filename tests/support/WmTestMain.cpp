// main() for test programs that need a real X server and window manager: starts both, runs
// the tests on them through the xcb platform and ends both afterwards. Listing the tests
// (as CTest does at build time) starts nothing.
#include "WindowManagerSession.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <exception>
#include <iostream>
#include <optional>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    std::optional<veltro::testing::WindowManagerSession> session;
    try {
        session.emplace();
    } catch (const std::exception& error) {
        std::cerr << "Cannot start the X server and window manager for these tests: "
                  << error.what() << '\n';
        return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(session->display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    const QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
