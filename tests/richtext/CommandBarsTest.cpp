#include "QtPrinters.h"
#include "richtext/BarIcons.h"
#include "richtext/CommandBars.h"

#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <QToolButton>

#include <gtest/gtest.h>

#include <stdexcept>

namespace veltro::richtext {
namespace {

QStringList split(const char* text) {
    return QString::fromLatin1(text).split(QLatin1Char(' '));
}

class CommandBarsTest : public ::testing::Test {
protected:
    QMainWindow window_;
    CommandBars* bars_ = new CommandBars(window_);  // the window owns it
};

// The main window's tests click every button; here: what a button is made of.
TEST_F(CommandBarsTest, ToolButtonsAreFoundByKeyAndOnlyFormatStatesPress) {
    const QStringList pressable =
        split("tbrFett tbrKursiv tbrUnterstrichen tbrBullet tbrLinks tbrMitte tbrRechts");
    for (const CommandBars::Button& button : CommandBars::buttons()) {
        const QString key = QLatin1String(button.key);
        SCOPED_TRACE(button.key);
        QAction* action = bars_->action(key);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->isCheckable(), pressable.contains(key));
        EXPECT_FALSE(action->toolTip().isEmpty());
        action->trigger();
        EXPECT_FALSE(bars_->isPressed(key)) << "a click alone presses nothing";
        auto* widget = window_.findChild<QToolButton*>(key);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->defaultAction(), action);
    }
}

TEST_F(CommandBarsTest, AFailingCommandEndsSilentlyAndTheNextRuns) {
    int runs = 0;
    bars_->setCommand(QStringLiteral("tbrMail"), [] { throw std::runtime_error("kein Netz"); });
    bars_->setCommand(QStringLiteral("tbrCopy"), [&runs] { ++runs; });
    EXPECT_TRUE(bars_->dispatch(QStringLiteral("tbrMail")));
    EXPECT_TRUE(bars_->dispatch(QStringLiteral("tbrCopy")));
    EXPECT_EQ(runs, 1);
}

// Share of pixels that are not transparent.
double inkOf(const QIcon& icon, int size, QIcon::Mode mode = QIcon::Normal) {
    const QImage image =
        icon.pixmap(QSize(size, size), mode).toImage().convertToFormat(QImage::Format_ARGB32);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return image.isNull() ? 0 : double(ink) / (image.width() * image.height());
}

TEST(BarIcons, OurOwnDrawingsAreNeverBlank) {
    QList<QImage> seen;
    for (const CommandBars::Button& button : CommandBars::buttons()) {
        SCOPED_TRACE(button.key);
        const QIcon icon = BarIcons::drawn(QLatin1String(button.key));
        ASSERT_FALSE(icon.isNull());
        for (const int size : {16, 24, 32}) {
            EXPECT_GT(inkOf(icon, size), 0.04) << size;
        }
        const QImage image = icon.pixmap(24, 24).toImage();
        EXPECT_FALSE(seen.contains(image)) << "each button has its own picture";
        seen << image;
    }
    EXPECT_TRUE(BarIcons::drawn(QStringLiteral("tbrUnbekannt")).isNull());
    // Without the theme's icon the drawing stands in.
    EXPECT_FALSE(BarIcons::icon(QStringLiteral("tbrFett"), QStringLiteral("no-such-icon-anywhere"))
                     .isNull());
}

}  // namespace
}  // namespace veltro::richtext
