#pragma once

#include "platform/Platform.h"
#include "platform/PrintSurface.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace veltro::testing {

struct PrintedLine {
    QString text;  // the items joined by a tab, which stands for the move to the next zone
    QStringList items;
    platform::PrintFont font;
    double originLeft = 0;
    double originTop = 0;
};

// A print surface that records every line with its font and origin.
class RecordingSurface final : public platform::PrintSurface {
public:
    RecordingSurface(std::vector<PrintedLine>& lines, int& finished);
    void setOrigin(double left, double top) override;
    void setFont(const platform::PrintFont& font) override { font_ = font; }
    void printItems(const QStringList& items) override;
    void finish() override { ++finished_; }

private:
    std::vector<PrintedLine>& lines_;
    int& finished_;
    platform::PrintFont font_;
    double left_ = 0;
    double top_ = 0;
};

// A platform that records every call and answers from a script, so a test can say
// "answer Yes, then check what the box said".
class RecordingPlatform final : public platform::Platform {
public:
    using PrintedLine = testing::PrintedLine;

    // Scripted answers, taken in order; when a queue is empty the defaults below apply.
    std::deque<platform::Answer> answers;                   // default: the request's default button
    std::deque<QString> inputs;                             // default: "" (cancel)
    std::deque<std::optional<platform::FileResult>> files;  // default: cancel
    std::deque<std::optional<QFont>> fonts;
    std::deque<std::optional<QColor>> colors;
    bool printerSetupAccepted = true;
    bool printerAvailable = true;
    // Runs while a message box is "open", e.g. to look at the windows behind it.
    std::function<void(const platform::MessageRequest&)> onMessage;
    // Runs while an input box is "open"; it may throw, as the box itself could.
    std::function<void()> onInput;

    // What was asked.
    std::vector<platform::MessageRequest> messages;
    std::vector<platform::InputRequest> inputRequests;
    std::vector<platform::FileRequest> openRequests;
    std::vector<platform::FileRequest> saveRequests;
    std::vector<QFont> fontRequests;
    std::vector<QColor> colorRequests;
    std::vector<QUrl> openedUrls;
    std::vector<QString> helpPages;
    std::vector<PrintedLine> printed;
    std::vector<QString> previewTitles;
    std::vector<PrintedLine> previewed;  // what the previews painted
    int beeps = 0;
    int printerSetups = 0;
    int finishedJobs = 0;

    platform::Answer message(const platform::MessageRequest& request) override;
    QString input(const platform::InputRequest& request) override;
    void beep() override { ++beeps; }
    std::optional<platform::FileResult> openFile(const platform::FileRequest& request) override;
    std::optional<platform::FileResult> saveFile(const platform::FileRequest& request) override;
    std::optional<QFont> chooseFont(const QFont& initial, const QString& title) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    bool setupPrinter(QPrinter& printer) override;
    bool openUrl(const QUrl& url) override;
    void showHelp(const QString& page) override { helpPages.push_back(page); }
    std::unique_ptr<platform::PrintSurface> startPrintJob(QPrinter& printer) override;
    void showPrintPreview(QPrinter& printer, const QString& title,
                          const std::function<void(platform::PrintSurface&)>& paint) override;

    // Texts of all printed lines, in order.
    [[nodiscard]] QStringList printedTexts() const;
};

// Installs a RecordingPlatform for the lifetime of this object.
class ScopedRecordingPlatform {
public:
    ScopedRecordingPlatform();
    ~ScopedRecordingPlatform();
    ScopedRecordingPlatform(const ScopedRecordingPlatform&) = delete;
    ScopedRecordingPlatform& operator=(const ScopedRecordingPlatform&) = delete;

    RecordingPlatform* operator->() { return platform_; }
    RecordingPlatform& operator*() { return *platform_; }

private:
    RecordingPlatform* platform_;  // owned by the platform slot while installed
    std::unique_ptr<platform::Platform> previous_;
};

}  // namespace veltro::testing
