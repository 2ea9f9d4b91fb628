#pragma once

#include "search/SearchHost.h"
#include "search/SearchTitles.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QSlider;

namespace veltro::search {

// Form4: the small floating search window. It finds a card by its keywords through the
// main window and copies its address or notes, without bringing up the main window.
class SearchWindow : public QWidget {
    Q_OBJECT
public:
    // "&Suchfenster einblenden": minimises the main window, then shows the one search window.
    static SearchWindow* open(SearchHost& host);
    // The open search window, if any.
    static SearchWindow* current();

    // Handlers, named after the widget and event they serve.
    void Text1_Change();
    void Text1_KeyDown(int key);
    void Slider1_Change();
    void Form_Activate();

    [[nodiscard]] CopyMode mode() const { return mode_; }
    [[nodiscard]] bool browsing() const { return browsing_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    explicit SearchWindow(SearchHost& host);
    void Form_Load();
    void restoreGeometry();
    void storeGeometry();
    void browse(int step);
    void copySelected();
    [[nodiscard]] int widthForTitle(const QString& title) const;
    [[nodiscard]] int pixels(double twips) const;
    [[nodiscard]] double twips(int pixels) const;

    SearchHost& host_;
    QLineEdit* Text1_;
    QSlider* Slider1_;
    QLabel* Label1_;
    bool browsing_ = false;
    CopyMode mode_ = CopyMode::Address;
};

}  // namespace veltro::search
