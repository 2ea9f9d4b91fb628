#include <QApplication>

#include <gtest/gtest.h>

// The dialog tests need a QApplication; the others do not mind one.
int main(int argc, char** argv) {
    // Test discovery runs this at build time, outside the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
