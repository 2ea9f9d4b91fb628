#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QPrinter;

namespace veltro::platform {

class PrintSurface;

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Question, Exclamation, Information, Critical };
enum class Answer { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString text;
    QString title;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    int defaultButton = 0;  // index among the buttons, from the left
};

struct InputRequest {
    QString prompt;
    QString title;
    QString initial;
};

struct FileRequest {
    QString title;
    QStringList filters;  // "Beschreibung (*.csv)" entries, in order
    int selectedFilter = 0;
    QString proposedName;
    QString directory;
    bool confirmOverwrite = true;
};

struct FileResult {
    QString path;
    int filterIndex = 0;  // which entry of FileRequest::filters was chosen
};

// Everything that would make a test wait for a person goes through here: message and
// input boxes, beeps, the standard dialogs, the desktop shell, the help viewer and the
// printer. The program installs the Qt implementation; tests install a recording fake.
class Platform {
public:
    virtual ~Platform() = default;

    virtual Answer message(const MessageRequest& request) = 0;
    // The typed text; empty when the user cancels or enters nothing.
    virtual QString input(const InputRequest& request) = 0;
    virtual void beep() = 0;
    virtual std::optional<FileResult> openFile(const FileRequest& request) = 0;
    virtual std::optional<FileResult> saveFile(const FileRequest& request) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& initial, const QString& title) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    // Lets the user pick and set up a printer; false on cancel.
    virtual bool setupPrinter(QPrinter& printer) = 0;
    // Hands an address to the desktop (mail program, web browser).
    virtual bool openUrl(const QUrl& url) = 0;
    virtual void showHelp(const QString& page) = 0;
    // A print job on the given printer; nullptr when no printer can be used.
    virtual std::unique_ptr<PrintSurface> startPrintJob(QPrinter& printer) = 0;
    // Shows the pages that paint draws on the printer, with the choice to print them there.
    virtual void showPrintPreview(QPrinter& printer, const QString& title,
                                  const std::function<void(PrintSurface&)>& paint) = 0;
};

// The platform in use; the Qt implementation unless a test installed another.
Platform& current();
// Installs a platform and returns the one it replaces.
std::unique_ptr<Platform> install(std::unique_ptr<Platform> platform);

}  // namespace veltro::platform
