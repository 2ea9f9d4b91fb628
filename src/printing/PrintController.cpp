#include "printing/PrintController.h"

#include "platform/Platform.h"
#include "printing/PrintJob.h"

namespace veltro::printing {

namespace {

QString documentName(PrintLayout layout) {
    return QStringLiteral("Veltro Adressbuch – ") + layoutName(layout);
}

}  // namespace

void PrintController::run(PrintEntry entry, const PrintData& data) {
    execute(commandFor(entry), data);
}

void PrintController::runForFocus(FocusedWidget focus, const PrintData& data) {
    execute(commandForFocus(focus), data);
}

void PrintController::execute(const PrintCommand& command, const PrintData& data) {
    if (command.question) {
        const platform::Answer answer =
            platform::current().message({*command.question, QStringLiteral("Drucken"),
                                         platform::Buttons::YesNo, platform::Icon::Question, 0});
        if (answer != platform::Answer::Yes) {
            return;
        }
    }
    print(command.layout, data);
}

void PrintController::print(PrintLayout layout, const PrintData& data) {
    printer_.setDocName(documentName(layout));
    // No printer, or one that cannot start: the command ends without a word.
    const auto surface = platform::current().startPrintJob(printer_);
    if (!surface) {
        return;
    }
    PrintJob job(*surface, printerFont_);
    printLayout(layout, job, data);
}

void PrintController::preview(FocusedWidget focus, const PrintData& data) {
    const PrintLayout layout = commandForFocus(focus).layout;
    printer_.setDocName(documentName(layout));
    const platform::PrintFont startFont = printerFont_;
    platform::current().showPrintPreview(printer_,
                                         QStringLiteral("Seitenansicht – ") + layoutName(layout),
                                         [&](platform::PrintSurface& surface) {
                                             platform::PrintFont font = startFont;
                                             PrintJob job(surface, font);
                                             printLayout(layout, job, data);
                                         });
}

void PrintController::printList(const QString& title,
                                const std::function<void(PrintJob&)>& layout) {
    if (!platform::current().setupPrinter(printer_)) {
        return;
    }
    printer_.setDocName(QStringLiteral("Veltro Adressbuch – ") + title);
    const auto surface = platform::current().startPrintJob(printer_);
    if (!surface) {
        return;
    }
    PrintJob job(*surface, printerFont_);
    layout(job);
}

void PrintController::choosePrinter() {
    // Cancel leaves the printer as it was.
    platform::current().setupPrinter(printer_);
}

}  // namespace veltro::printing
