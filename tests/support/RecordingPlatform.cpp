#include "RecordingPlatform.h"

namespace veltro::testing {

namespace {

template <typename T, typename D>
T takeOr(std::deque<T>& queue, D fallback) {
    if (queue.empty()) {
        return fallback;
    }
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

platform::Answer defaultAnswer(const platform::MessageRequest& request) {
    using platform::Answer;
    using platform::Buttons;
    const int d = request.defaultButton;
    switch (request.buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return d == 0 ? Answer::Ok : Answer::Cancel;
        case Buttons::YesNo:
            return d == 0 ? Answer::Yes : Answer::No;
        case Buttons::YesNoCancel:
            return d == 0 ? Answer::Yes : (d == 1 ? Answer::No : Answer::Cancel);
    }
    return Answer::Ok;
}

}  // namespace

platform::Answer RecordingPlatform::message(const platform::MessageRequest& request) {
    messages.push_back(request);
    if (onMessage) {
        onMessage(request);
    }
    return takeOr(answers, defaultAnswer(request));
}

QString RecordingPlatform::input(const platform::InputRequest& request) {
    inputRequests.push_back(request);
    if (onInput) {
        onInput();
    }
    return takeOr(inputs, QString());
}

std::optional<platform::FileResult> RecordingPlatform::openFile(
    const platform::FileRequest& request) {
    openRequests.push_back(request);
    return takeOr(files, std::optional<platform::FileResult>());
}

std::optional<platform::FileResult> RecordingPlatform::saveFile(
    const platform::FileRequest& request) {
    saveRequests.push_back(request);
    return takeOr(files, std::optional<platform::FileResult>());
}

std::optional<QFont> RecordingPlatform::chooseFont(const QFont& initial, const QString&) {
    fontRequests.push_back(initial);
    return takeOr(fonts, std::optional<QFont>());
}

std::optional<QColor> RecordingPlatform::chooseColor(const QColor& initial) {
    colorRequests.push_back(initial);
    return takeOr(colors, std::optional<QColor>());
}

bool RecordingPlatform::setupPrinter(QPrinter&) {
    ++printerSetups;
    return printerSetupAccepted;
}

bool RecordingPlatform::openUrl(const QUrl& url) {
    openedUrls.push_back(url);
    return true;
}

std::unique_ptr<platform::PrintSurface> RecordingPlatform::startPrintJob(QPrinter&) {
    if (!printerAvailable) {
        return nullptr;
    }
    return std::make_unique<RecordingSurface>(printed, finishedJobs);
}

void RecordingPlatform::showPrintPreview(
    QPrinter&, const QString& title, const std::function<void(platform::PrintSurface&)>& paint) {
    previewTitles.push_back(title);
    int finishedPreviews = 0;
    RecordingSurface surface(previewed, finishedPreviews);
    paint(surface);
}

RecordingSurface::RecordingSurface(std::vector<PrintedLine>& lines, int& finished)
    : lines_(lines), finished_(finished) {}

void RecordingSurface::setOrigin(double left, double top) {
    left_ = left;
    top_ = top;
}

void RecordingSurface::printItems(const QStringList& items) {
    lines_.push_back({items.join(u'\t'), items, font_, left_, top_});
}

QStringList RecordingPlatform::printedTexts() const {
    QStringList texts;
    for (const auto& line : printed) {
        texts << line.text;
    }
    return texts;
}

ScopedRecordingPlatform::ScopedRecordingPlatform() {
    auto fake = std::make_unique<RecordingPlatform>();
    platform_ = fake.get();
    previous_ = platform::install(std::move(fake));
}

ScopedRecordingPlatform::~ScopedRecordingPlatform() {
    platform::install(std::move(previous_));
}

}  // namespace veltro::testing
