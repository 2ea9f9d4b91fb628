#include <QApplication>

#include <gtest/gtest.h>

// The dialog tests need an application object; the others do not mind one. Test discovery
// runs the program without the test environment, so it never needs a display either.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
