#include "BenchWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QSignalSpy>

#include <memory>

namespace veltro::bench {

PlatformScope::PlatformScope(std::unique_ptr<platform::Platform> platform)
    : previous_(platform::install(std::move(platform))) {}

PlatformScope::~PlatformScope() {
    platform::install(std::move(previous_));
}

LoadedWindow::LoadedWindow(const BenchContext& context, std::int64_t cards,
                           const std::string& tag) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path());
    const auto dir = context.scratchCopy(cards, tag);
    qputenv("VELTRO_HOME", QByteArray::fromStdString(dir.string()));
    window_.resize(1000, 700);
    QSignalSpy ready(&window_, &mainwindow::MainWindow::fullTextReady);
    window_.Form_Load();
    window_.show();
    QApplication::processEvents();
    if (ready.isEmpty()) {
        ready.wait(600000);
    }
}

void LoadedWindow::reloadAndWait() {
    QSignalSpy ready(&window_, &mainwindow::MainWindow::fullTextReady);
    window_.ImportCommand1();
    if (ready.isEmpty()) {
        ready.wait(600000);
    }
}

namespace {
std::unique_ptr<LoadedWindow> shared;
std::int64_t sharedCards = -1;
}  // namespace

LoadedWindow& sharedWindow(const BenchContext& context, std::int64_t cards) {
    if (sharedCards != cards) {
        shared.reset();
        shared = std::make_unique<LoadedWindow>(context, cards);
        sharedCards = cards;
    }
    return *shared;
}

void releaseSharedWindow() {
    shared.reset();
    sharedCards = -1;
}

void LoadedWindow::chooseCategory(const QString& name) {
    auto* combo = window_.ui().Combo1;
    combo->setCurrentIndex(std::max(0, combo->findText(name)));
    window_.Combo1_Click();
}

void LoadedWindow::repaint() {
    QApplication::processEvents();
}

void LoadedWindow::repaintWhole() {
    QApplication::processEvents();
    window_.repaint();
}

}  // namespace veltro::bench
