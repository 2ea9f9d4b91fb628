#pragma once

#include "search/SearchHost.h"

namespace veltro::mainwindow {

class MainWindow;

// Lets the floating search window drive the main window's search field and card list.
class MainSearchHost final : public search::SearchHost {
public:
    explicit MainSearchHost(MainWindow& window) : window_(window) {}

    void setSearchText(const QString& text) override;
    [[nodiscard]] int lineCount() const override;
    [[nodiscard]] QString lineText(int row) const override;
    [[nodiscard]] int selectedLine() const override;
    void selectLine(int row) override;
    [[nodiscard]] search::ShownCard shownCard() const override;
    void copyAddress() override;
    void copyNotes() override;
    void minimizeMainWindow() override;
    void restoreMainWindow() override;
    [[nodiscard]] bool reactivateOnClose() const override;

private:
    MainWindow& window_;
};

}  // namespace veltro::mainwindow
