#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>

namespace veltro::maintenance {

// Form7 "Erste Schritte": how to make a first category and card. Not modal; it sits at
// the right edge of the screen, above other windows, and moves the main window to the
// left edge so both can be seen side by side.
class FirstStepsDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the one dialog (making it when needed) beside the given main window.
    static FirstStepsDialog* open(QWidget* mainWindow);
    // The dialog when it is open, else null.
    static FirstStepsDialog* current();

    // The texts of the dialog, in the order they are shown.
    static QStringList texts();

    void Command1_Click();  // "&Schließen"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FirstStepsDialog(QWidget* mainWindow);
    void placeBeside();
    void moveMainWindowLeft();

    QPointer<QWidget> mainWindow_;
};

}  // namespace veltro::maintenance
