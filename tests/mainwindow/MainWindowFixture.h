#pragma once

#include "RecordingPlatform.h"
#include "TestHome.h"
#include "mainwindow/MainWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>

#include <gtest/gtest.h>

#include <memory>

namespace veltro::testing {

// A main window on a fresh data directory, driven offscreen.
class MainWindowFixture : public ::testing::Test {
protected:
    void TearDown() override;

    // Makes the store, opens the window and runs its start-up.
    mainwindow::MainWindow& open(const std::vector<QString>& categories,
                                 const std::vector<GivenCard>& cards);
    mainwindow::MainWindow& openExisting();

    [[nodiscard]] mainwindow::MainWindow& window() { return *window_; }
    [[nodiscard]] QLineEdit* box(int number) const { return window_->ui().box(number); }
    [[nodiscard]] QStringList listLines() const;
    [[nodiscard]] QString panel(int number) const { return window_->ui().panel.at(number)->text(); }
    // Types text into a box key by key, as a person would.
    void type(QWidget* widget, const QString& text);
    void focus(QWidget* widget);
    void clickLine(int row);
    // Picks a category in the selector as a click would.
    void chooseCategory(const QString& name);
    // Runs the menu entry of that name, as a click on it would.
    void run(const char* entry);
    void closeOtherWindows();
    // The card as the store file holds it now.
    [[nodiscard]] store::Card storedCard(const QString& heading) const;
    // Whether a message said something that contains `part`.
    [[nodiscard]] bool told(const QString& part);

    TestHome home_;
    ScopedRecordingPlatform platform_;
    std::unique_ptr<mainwindow::MainWindow> window_;
};

}  // namespace veltro::testing
