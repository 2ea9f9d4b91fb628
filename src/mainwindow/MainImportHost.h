#pragma once

#include "import/ImportHost.h"
#include "session/Session.h"

#include <optional>

namespace veltro::mainwindow {

class MainWindow;

// What the import dialog reads from and does to the main window.
class MainImportHost final : public import::ImportHost {
public:
    explicit MainImportHost(MainWindow& window) : window_(window) {}

    [[nodiscard]] std::filesystem::path storeFile() const override;
    [[nodiscard]] QString selectedCategory() const override;
    void setChanged() override;
    void ImportCommand1() override;
    void importRunning(bool running) override;
    [[nodiscard]] std::int64_t duplicatesOfImport() override;
    void showDuplicatesOfImport() override;
    [[nodiscard]] QString undoStepName() const override;

private:
    MainWindow& window_;
    std::int64_t lastIdBefore_ = 0;  // the highest row id before the last run
    std::optional<session::Session::Busy> running_;
};

}  // namespace veltro::mainwindow
