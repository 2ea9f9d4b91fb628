#pragma once

#include "platform/PrintSurface.h"
#include "printing/PrintCommand.h"
#include "printing/PrintData.h"
#include "printing/PrintJob.h"

#include <QPrinter>

#include <functional>

namespace veltro::printing {

// The main window's print commands: the entry's question, the layout on the printer chosen
// last, the printer selection and the preview. Dialogs and jobs go through the platform.
class PrintController {
public:
    PrintController() = default;
    PrintController(const PrintController&) = delete;
    PrintController& operator=(const PrintController&) = delete;

    // A menu or context-menu entry: its question, if it has one, then the layout on Yes.
    void run(PrintEntry entry, const PrintData& data);
    // The print button: the focused widget's layout after its question.
    void runForFocus(FocusedWidget focus, const PrintData& data);
    // The focused widget's layout as pages on screen, from where it can be printed as well.
    // A preview is no job: the printer's font stays as it was.
    void preview(FocusedWidget focus, const PrintData& data);
    // A list of the caller's: the print dialog first (a PDF file is one of its printers),
    // then the lines `layout` prints. Cancel prints nothing.
    void printList(const QString& title, const std::function<void(PrintJob&)>& layout);
    // The platform's print dialog; the printer chosen there prints every later job.
    void choosePrinter();

    [[nodiscard]] QPrinter& printer() { return printer_; }
    // The font the printer holds after the last job.
    [[nodiscard]] const platform::PrintFont& printerFont() const { return printerFont_; }

private:
    void execute(const PrintCommand& command, const PrintData& data);
    void print(PrintLayout layout, const PrintData& data);

    QPrinter printer_{QPrinter::HighResolution};
    platform::PrintFont printerFont_;
};

}  // namespace veltro::printing
