#pragma once

#include "import/ImportHost.h"

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
    session::Task* startImport(session::Session::StoreWork work, session::Task::Done done,
                               session::Task::Progress progress) override;
    [[nodiscard]] std::int64_t duplicatesOfImport() override;
    void showDuplicatesOfImport() override;
    [[nodiscard]] QString undoStepName() const override;

private:
    MainWindow& window_;
    std::int64_t lastIdBefore_ = 0;  // the highest row id before the last run
};

}  // namespace veltro::mainwindow
