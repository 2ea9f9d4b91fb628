#include "platform/QtPlatform.h"

#include "platform/HelpWindow.h"
#include "platform/PrinterSurface.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

#include <vector>

namespace veltro::platform {

namespace {

std::vector<std::pair<QMessageBox::StandardButton, Answer>> buttonsOf(Buttons buttons) {
    using B = QMessageBox::StandardButton;
    switch (buttons) {
        case Buttons::Ok:
            return {{B::Ok, Answer::Ok}};
        case Buttons::OkCancel:
            return {{B::Ok, Answer::Ok}, {B::Cancel, Answer::Cancel}};
        case Buttons::YesNo:
            return {{B::Yes, Answer::Yes}, {B::No, Answer::No}};
        case Buttons::YesNoCancel:
            return {{B::Yes, Answer::Yes}, {B::No, Answer::No}, {B::Cancel, Answer::Cancel}};
    }
    return {{B::Ok, Answer::Ok}};
}

QMessageBox::Icon iconOf(Icon icon) {
    switch (icon) {
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QWidget* parentWindow() {
    return QApplication::activeWindow();
}

// Dates in the file list as a German reader writes them, whatever language the system
// speaks: the desktop's own dialogs would follow the system.
class GermanDates final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override {
        constexpr int kDateColumn = 3;
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (files != nullptr && index.column() == kDateColumn && role == Qt::DisplayRole) {
            return QLocale(QLocale::German, QLocale::Germany)
                .toString(files->lastModified(mapToSource(index)),
                          QStringLiteral("ddd, d. MMM yyyy HH:mm"));
        }
        return QIdentityProxyModel::data(index, role);
    }
};

void germanFileDialog(QFileDialog& dialog, const FileRequest& request) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new GermanDates(&dialog));
    dialog.setNameFilters(request.filters);
    dialog.selectNameFilter(request.filters.value(request.selectedFilter));
}

}  // namespace

Answer QtPlatform::message(const MessageRequest& request) {
    QMessageBox box(iconOf(request.icon), request.title, request.text, QMessageBox::NoButton,
                    parentWindow());
    // Read out with the title when the box opens.
    box.setAccessibleDescription(request.text);
    const auto buttons = buttonsOf(request.buttons);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        QPushButton* button = box.addButton(buttons[i].first);
        if (static_cast<int>(i) == request.defaultButton) {
            box.setDefaultButton(button);
        }
    }
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto& [standard, answer] : buttons) {
        if (standard == clicked) {
            return answer;
        }
    }
    // Escape or the close box: the last button's meaning (Cancel or No), as dialogs do.
    return buttons.size() > 1 ? buttons.back().second : Answer::Ok;
}

QString QtPlatform::input(const InputRequest& request) {
    bool ok = false;
    const QString text = QInputDialog::getText(parentWindow(), request.title, request.prompt,
                                               QLineEdit::Normal, request.initial, &ok);
    return ok ? text : QString();
}

void QtPlatform::beep() {
    QApplication::beep();
}

QString QtPlatform::folderFor(const FileRequest& request) const {
    return lastFolder_.isEmpty() ? request.directory : lastFolder_;
}

void QtPlatform::chosen(const QString& path) {
    lastFolder_ = QFileInfo(path).absolutePath();
}

std::optional<FileResult> QtPlatform::openFile(const FileRequest& request) {
    QFileDialog dialog(parentWindow(), request.title, folderFor(request));
    germanFileDialog(dialog, request);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().front();
    chosen(path);
    const auto index = request.filters.indexOf(dialog.selectedNameFilter());
    return FileResult{path, static_cast<int>(std::max<qsizetype>(0, index))};
}

std::optional<FileResult> QtPlatform::saveFile(const FileRequest& request) {
    QFileDialog dialog(parentWindow(), request.title, folderFor(request));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    germanFileDialog(dialog, request);
    dialog.selectFile(request.proposedName);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    chosen(dialog.selectedFiles().front());
    const auto index = request.filters.indexOf(dialog.selectedNameFilter());
    return FileResult{dialog.selectedFiles().front(),
                      static_cast<int>(std::max<qsizetype>(0, index))};
}

std::optional<QFont> QtPlatform::chooseFont(const QFont& initial, const QString& title) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parentWindow(), title);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

std::optional<QColor> QtPlatform::chooseColor(const QColor& initial) {
    const QColor color = QColorDialog::getColor(initial, parentWindow());
    return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
}

bool QtPlatform::setupPrinter(QPrinter& printer) {
    QPrintDialog dialog(&printer, parentWindow());
    return dialog.exec() == QDialog::Accepted;
}

bool QtPlatform::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

void QtPlatform::showHelp(const QString& page) {
    HelpWindow::showPage(page);
}

std::unique_ptr<PrintSurface> QtPlatform::startPrintJob(QPrinter& printer) {
    // Without an installed printer Qt falls back to PDF output with no file: nothing to print on.
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()) {
        return nullptr;
    }
    return PrinterSurface::begin(printer);
}

void QtPlatform::showPrintPreview(QPrinter& printer, const QString& title,
                                  const std::function<void(PrintSurface&)>& paint) {
    QPrintPreviewDialog dialog(&printer, parentWindow());
    dialog.setWindowTitle(title);
    // Its zoom and page boxes come without names.
    for (auto* box : dialog.findChildren<QComboBox*>()) {
        box->setAccessibleName(QStringLiteral("Vergrößerung"));
    }
    for (auto* line : dialog.findChildren<QLineEdit*>()) {
        if (qobject_cast<QComboBox*>(line->parentWidget()) == nullptr) {
            line->setAccessibleName(QStringLiteral("Seite"));
        }
    }
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) {
                         if (auto surface = PrinterSurface::begin(*target)) {
                             paint(*surface);
                         }
                     });
    dialog.exec();
}

namespace {
std::unique_ptr<Platform>& slot() {
    static std::unique_ptr<Platform> platform = std::make_unique<QtPlatform>();
    return platform;
}
}  // namespace

Platform& current() {
    return *slot();
}

std::unique_ptr<Platform> install(std::unique_ptr<Platform> platform) {
    std::swap(slot(), platform);
    return platform;
}

}  // namespace veltro::platform
