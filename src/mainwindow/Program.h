#pragma once

#include "store/CardIndex.h"
#include "store/DataDirectory.h"
#include "store/WriterLock.h"

#include <QObject>
#include <QPointer>

#include <future>
#include <memory>
#include <optional>

namespace veltro::mainwindow {

class MainWindow;
class SplashWindow;

// The program's run: the splash window's load step, the main window on its timer, and
// the exit status.
class Program : public QObject {
    Q_OBJECT
public:
    Program();
    ~Program() override;

    // False when another copy or a writing command runs on this data directory, its lock
    // file cannot be made, or an installed program's first store cannot be made (the user
    // was told).
    bool start();
    // A file to import once the main window stands, as "Öffnen mit" of the desktop gives it.
    void setOpenFile(const QString& path) { openFile_ = path; }

    [[nodiscard]] MainWindow* mainWindow() const;
    [[nodiscard]] SplashWindow* splash() const;
    // Non-zero when the main window could not open its store.
    [[nodiscard]] int exitStatus() const { return exitStatus_; }

Q_SIGNALS:
    void mainWindowLoaded();

private:
    bool storeFree(const std::filesystem::path& directory);
    bool prepareFirstStart(const store::DataFolder& folder);
    void openMainWindow();

    std::optional<store::WriterLock> lock_;
    std::future<std::optional<store::CardIndex>> preload_;
    QPointer<SplashWindow> splash_;
    QPointer<MainWindow> main_;
    int exitStatus_ = 0;
    QString openFile_;
};

}  // namespace veltro::mainwindow
