#pragma once

#include "platform/Platform.h"

namespace veltro::platform {

// The real dialogs, beeps, desktop and printer of a Qt desktop.
class QtPlatform : public Platform {
public:
    Answer message(const MessageRequest& request) override;
    QString input(const InputRequest& request) override;
    void beep() override;
    std::optional<FileResult> openFile(const FileRequest& request) override;
    std::optional<FileResult> saveFile(const FileRequest& request) override;
    std::optional<QFont> chooseFont(const QFont& initial, const QString& title) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    bool setupPrinter(QPrinter& printer) override;
    bool openUrl(const QUrl& url) override;
    void showHelp(const QString& page) override;
    std::unique_ptr<PrintSurface> startPrintJob(QPrinter& printer) override;
    void showPrintPreview(QPrinter& printer, const QString& title,
                          const std::function<void(PrintSurface&)>& paint) override;

private:
    // Where a file dialog opens: the folder of the file last chosen in this run, else the
    // one the request proposes.
    [[nodiscard]] QString folderFor(const FileRequest& request) const;
    void chosen(const QString& path);

    QString lastFolder_;
};

}  // namespace veltro::platform
