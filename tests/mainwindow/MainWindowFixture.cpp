#include "MainWindowFixture.h"

#include "mainwindow/MainMenus.h"
#include "store/CardStore.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <algorithm>

namespace veltro::testing {

void MainWindowFixture::TearDown() {
    window_.reset();
}

mainwindow::MainWindow& MainWindowFixture::open(const std::vector<QString>& categories,
                                                const std::vector<GivenCard>& cards) {
    makeStore(home_.dir(), categories, cards);
    return openExisting();
}

mainwindow::MainWindow& MainWindowFixture::openExisting() {
    window_ = std::make_unique<mainwindow::MainWindow>();
    EXPECT_TRUE(window_->Form_Load());
    window_->show();
    QApplication::setActiveWindow(window_.get());
    QApplication::processEvents();
    return *window_;
}

QStringList MainWindowFixture::listLines() const {
    QStringList lines;
    const auto* model = window_->ui().List1->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        lines << model->index(row, 0).data().toString();
    }
    return lines;
}

void MainWindowFixture::focus(QWidget* widget) {
    widget->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
}

void MainWindowFixture::type(QWidget* widget, const QString& text) {
    focus(widget);
    QTest::keyClicks(widget, text);
    QApplication::processEvents();
}

void MainWindowFixture::chooseCategory(const QString& name) {
    auto* combo = window_->ui().Combo1;
    combo->setCurrentIndex(combo->findText(name));
    window_->Combo1_Click();
}

void MainWindowFixture::run(const char* entry) {
    window_->menus().action(QString::fromUtf8(entry))->trigger();
}

void MainWindowFixture::closeOtherWindows() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != window_.get() && widget->isVisible()) {
            widget->close();
        }
    }
    QApplication::processEvents();
}

store::Card MainWindowFixture::storedCard(const QString& heading) const {
    auto cards = store::CardStore::open(home_.storeFile());
    return *cards.loadCard(*cards.findByHeading(heading));
}

bool MainWindowFixture::told(const QString& part) {
    return std::any_of(platform_->messages.begin(), platform_->messages.end(),
                       [&](const auto& message) { return message.text.contains(part); });
}

void MainWindowFixture::clickLine(int row) {
    auto* list = window_->ui().List1;
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QApplication::processEvents();
}

}  // namespace veltro::testing
