#include "mainwindow/MainWindow.h"
#include "platform/Platform.h"
#include "store/Snapshot.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>

namespace veltro::mainwindow {

namespace {
const QString kQuestion =
    QStringLiteral("Möchten Sie alle Änderungen speichern ?") + QString(14, u' ');
}

bool MainWindow::Form_QueryUnload() {
    if (!store_) {
        return true;
    }
    bool keep = false;
    if (changeFlag_) {
        QDir::setCurrent(QString::fromStdString(directory_.string()));
        platform::current().beep();
        const auto answer = platform::current().message(
            {kQuestion, QStringLiteral("Veltro Adressbuch"), platform::Buttons::YesNoCancel,
             platform::Icon::Question, 0});
        if (answer == platform::Answer::Cancel) {
            return false;
        }
        keep = answer == platform::Answer::Yes;
    }
    Command2_Click();
    cancelFullTextBuild();
    try {
        if (keep) {
            store::Snapshot::keep(store_->db());
        } else {
            store::Snapshot::discard(store_->db(), discardStepHook_);
        }
    } catch (const store::StoreError&) {
        // The tables keep what they held; the next start takes a fresh snapshot.
    }
    store_.reset();
    closeOtherWindows();
    return true;
}

void MainWindow::closeOtherWindows() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != this && widget->isVisible()) {
            widget->close();
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

}  // namespace veltro::mainwindow
