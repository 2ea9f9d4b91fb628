#include "RecordingPlatform.h"
#include "maintenance/FirstStepsDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace veltro::maintenance {
namespace {

using namespace Qt::Literals::StringLiterals;

class FirstStepsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        mainWindow_.setGeometry(300, 120, 640, 480);
        mainWindow_.show();
        dialog_ = FirstStepsDialog::open(&mainWindow_);
    }
    void TearDown() override {
        if (dialog_ != nullptr) {
            dialog_->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    testing::ScopedRecordingPlatform platform_;
    QWidget mainWindow_;
    QPointer<FirstStepsDialog> dialog_;
};

TEST_F(FirstStepsDialogTest, SitsRightOnTopWithTheMainWindowLeft) {
    const QRect screen = dialog_->screen()->geometry();
    EXPECT_EQ(dialog_->frameGeometry().right(), screen.right());
    EXPECT_EQ(mainWindow_.x(), screen.x());
    EXPECT_EQ(mainWindow_.geometry().y(), 120);
    EXPECT_TRUE(dialog_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(dialog_->isModal());
}

TEST_F(FirstStepsDialogTest, NoTextIsCutOff) {
    const auto labels = dialog_->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 13);
    for (const QLabel* label : labels) {
        EXPECT_GE(label->height(), label->heightForWidth(label->width()))
            << label->text().toStdString();
    }
}

TEST_F(FirstStepsDialogTest, OpensOnceClosesOnSchliessen) {
    EXPECT_EQ(FirstStepsDialog::open(&mainWindow_), dialog_.data());
    auto* close = dialog_->findChild<QPushButton*>(u"Command1"_s);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), u"&Schließen"_s);
    QTest::mouseClick(close, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog_.isNull());
}

TEST_F(FirstStepsDialogTest, F1OpensItsHelpPage) {
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_));
    QTest::keyClick(dialog_, Qt::Key_F1);
    EXPECT_EQ(platform_->helpPages, std::vector<QString>{u"erste-schritte.html"_s});
}

}  // namespace
}  // namespace veltro::maintenance
