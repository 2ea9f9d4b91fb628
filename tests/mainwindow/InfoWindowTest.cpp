#include "MainWindowFixture.h"

#include "mainwindow/InfoWindow.h"
#include "mainwindow/MainMenus.h"
#include "platform/ProgramIcon.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <functional>

using namespace veltro;
using veltro::testing::MainWindowFixture;

namespace {

class Info : public MainWindowFixture {
protected:
    mainwindow::InfoWindow* openInfo() {
        window().menus().action(QStringLiteral("mnuInfo"))->trigger();
        QApplication::processEvents();
        return window().findChild<mainwindow::InfoWindow*>();
    }
    static QStringList texts(const QWidget& widget) {
        QStringList found;
        for (const QLabel* label : widget.findChildren<QLabel*>()) {
            found << label->text();
        }
        return found;
    }
};

TEST_F(Info, ShowsTheVersionAndNoStartUpText) {
    open({}, {});
    auto* info = openInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->isVisible());
    EXPECT_TRUE(texts(*info).contains(QStringLiteral("Version 1.0.0")));
    EXPECT_FALSE(texts(*info).join(u' ').contains(u"Initialisierung"));
    EXPECT_TRUE(texts(*info).contains(QStringLiteral("Datenordner: ") +
                                      QString::fromStdString(home_.dir().string())));
    EXPECT_TRUE(info->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    const auto* symbol = info->findChild<QLabel*>(QStringLiteral("Image1"));
    ASSERT_NE(symbol, nullptr);
    EXPECT_FALSE(symbol->pixmap().isNull());
    EXPECT_FALSE(info->windowFlags().testFlag(Qt::FramelessWindowHint));
    // A second "Info" brings the same window up.
    EXPECT_EQ(openInfo(), info);
    EXPECT_EQ(window().findChildren<mainwindow::InfoWindow*>().size(), 1);
}

TEST(ProgramIcon, IsDrawnAtEverySizeAndShownByTheWindows) {
    const QIcon icon = platform::programIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 32, 48, 256}) {
        SCOPED_TRACE(size);
        const QImage image = icon.pixmap(size, size).toImage();
        EXPECT_EQ(image.size(), QSize(size, size));
        // Opaque in the middle of the front card, clear in the top left corner.
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size * 3 / 4)), 255);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    }
    const mainwindow::MainWindow window;
    EXPECT_FALSE(window.windowIcon().isNull());
}

TEST_F(Info, ClosesWithEscapeOrAClickAnywhere) {
    open({}, {});
    const auto click = [](const char* name) {
        return [name](QWidget& info) {
            QTest::mouseClick(info.findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton);
        };
    };
    const struct {
        const char* name;
        std::function<void(QWidget&)> close;
    } cases[] = {
        {"Escape", [](QWidget& info) { QTest::keyClick(&info, Qt::Key_Escape); }},
        {"click on the picture", click("Image2")},
        {"click on the symbol", click("Image1")},
        {"click on the name", click("Label3")},
        {"click on the version", click("Label4")},
        {"click on the folder", click("Datenordner")},
        {"click beside the texts", [](QWidget& info) { QTest::mouseClick(&info, Qt::LeftButton); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QPointer<mainwindow::InfoWindow> info = openInfo();
        ASSERT_NE(info, nullptr);
        c.close(*info);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(info.isNull());
    }
}

}  // namespace
