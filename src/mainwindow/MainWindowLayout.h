#pragma once

#include <QObject>

class QMainWindow;
class QMouseEvent;
class QWidget;
class QResizeEvent;
class QWindowStateChangeEvent;

namespace veltro::mainwindow {

struct MainWindowUi;

// What the box layouts of the main window do not do on their own: the list splitter, wider
// field boxes in a wider window, and closing the search window when the window is resized or
// comes back from the task bar.
class MainWindowLayout final : public QObject {
public:
    MainWindowLayout(QMainWindow& window, const MainWindowUi& ui);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void windowResized(const QResizeEvent& event);
    void windowStateChanged(const QWindowStateChangeEvent& event);
    void closeSearchWindowSoon();
    bool mouseEvent(const QObject* watched, const QMouseEvent& event);
    bool splitterMouse(const QMouseEvent& event);
    // Moves the border between the card list and the notes column to x (window
    // coordinates), kept 2000 twips from either edge.
    void moveSplitter(int x);
    void showDragBar(int x);
    void alignSearchField();
    void widenFieldBoxes();
    void stackAddressButtons();
    [[nodiscard]] int pixels(double twips) const;

    QMainWindow& window_;
    const MainWindowUi& ui_;
    QWidget* notesViewport_;  // mouse moves over the notes block arrive here
    int fieldBoxWidth_;       // of a one-column box in the narrowest card area
    int narrowestWidth_;      // of the card area with boxes of that width
};

}  // namespace veltro::mainwindow
