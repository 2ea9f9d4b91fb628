#include "mainwindow/MainWindowLayout.h"
#include "platform/Placement.h"

#include "mainwindow/MainWindowUi.h"
#include "mainwindow/PreferredWidth.h"
#include "platform/Twips.h"
#include "richtext/RichTextBlock.h"
#include "search/SearchWindow.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace veltro::mainwindow {

namespace {

constexpr double kSmallestTwips = 4000;  // below this the window is not laid out
constexpr double kSplitterMarginTwips = 2000;
constexpr double kSearchFieldInsetTwips = 410;  // search field ends this far before the notes
// The field grid has four columns of boxes; they get this share of extra width, the address
// block the rest.
constexpr int kBoxColumns = 4;
constexpr double kFieldShare = 2.0 / 3.0;

template <typename W>
void setPreferredWidth(W* widget, int width) {
    if (auto* sized = dynamic_cast<PreferredWidth<W>*>(widget)) {
        sized->setPreferredWidth(width);
    }
}

}  // namespace

MainWindowLayout::MainWindowLayout(QMainWindow& window, const MainWindowUi& ui)
    : QObject(&window),
      window_(window),
      ui_(ui),
      notesViewport_(ui.RichTextBox2->viewport()),
      fieldBoxWidth_(ui.box(2)->sizeHint().width()),
      narrowestWidth_(ui.Picture1->sizeHint().width()) {
    // From the first size on, every pixel the window grows goes to the blocks; a small
    // screen still shows all of the window.
    platform::resizeWithin(window_, window_.size().expandedTo(window_.sizeHint()));
    window_.installEventFilter(this);
    ui_.label[7]->installEventFilter(this);
    ui_.Picture1->installEventFilter(this);
    notesViewport_->setMouseTracking(true);
    notesViewport_->installEventFilter(this);
}

int MainWindowLayout::pixels(double twips) const {
    return platform::twipsToPixels(twips, window_);
}

bool MainWindowLayout::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Resize:
            if (watched == &window_) {
                windowResized(static_cast<const QResizeEvent&>(*event));
            } else if (watched == ui_.Picture1) {
                widenFieldBoxes();
                stackAddressButtons();
            }
            break;
        case QEvent::WindowStateChange:
            if (watched == &window_) {
                windowStateChanged(static_cast<const QWindowStateChangeEvent&>(*event));
            }
            break;
        case QEvent::Move:
            // The card area moves down or up when the toolbar area changes its height.
            if (watched == ui_.Picture1 && static_cast<const QMoveEvent&>(*event).oldPos().y() !=
                                               static_cast<const QMoveEvent&>(*event).pos().y()) {
                closeSearchWindowSoon();
            }
            break;
        case QEvent::Show:
            if (watched == &window_) {
                alignSearchField();
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            return mouseEvent(watched, static_cast<const QMouseEvent&>(*event));
        default:
            break;
    }
    return false;
}

bool MainWindowLayout::mouseEvent(const QObject* watched, const QMouseEvent& event) {
    if (watched == ui_.label[7]) {
        return splitterMouse(event);
    }
    if (watched == notesViewport_ && event.type() == QEvent::MouseMove) {
        ui_.Text6->setVisible(false);
    } else if (watched == ui_.Picture1 && event.type() == QEvent::MouseButtonPress &&
               ui_.Picture1->childAt(event.position().toPoint()) == nullptr) {
        // A click on the bare background makes the band paint its own.
        ui_.label[7]->setAutoFillBackground(true);
    }
    return false;
}

void MainWindowLayout::windowResized(const QResizeEvent& event) {
    if (event.size().width() < pixels(kSmallestTwips) ||
        event.size().height() < pixels(kSmallestTwips) || event.size() == event.oldSize()) {
        return;
    }
    closeSearchWindowSoon();
}

void MainWindowLayout::windowStateChanged(const QWindowStateChangeEvent& event) {
    if (event.oldState().testFlag(Qt::WindowMinimized) && !window_.isMinimized()) {
        closeSearchWindowSoon();
    }
}

void MainWindowLayout::closeSearchWindowSoon() {
    // Opening the search window minimises this one. Sizes and states the window system
    // reports for the time before may still be on their way; once they are in, the window
    // must still be up for the user to have resized or restored it.
    QTimer::singleShot(0, this, [this] {
        if (window_.isVisible() && !window_.isMinimized()) {
            if (auto* search = search::SearchWindow::current()) {
                search->close();
            }
        }
    });
}

bool MainWindowLayout::splitterMouse(const QMouseEvent& event) {
    const int x = ui_.label[7]->mapTo(&window_, event.position().toPoint()).x();
    if (event.type() == QEvent::MouseMove && event.buttons() != Qt::NoButton) {
        showDragBar(x);
    } else if (event.type() == QEvent::MouseButtonRelease) {
        moveSplitter(x);
    }
    return true;  // the band takes the press, so the moves and the release come to it
}

void MainWindowLayout::showDragBar(int x) {
    QFrame* bar = ui_.Text6;
    const QRect list = ui_.List1->geometry();
    bar->setGeometry(ui_.Picture1->mapFrom(&window_, QPoint(x, 0)).x(), list.top(),
                     ui_.label[7]->width(), list.height());
    bar->raise();
    bar->show();
}

void MainWindowLayout::moveSplitter(int x) {
    x = std::min(std::max(x, pixels(kSplitterMarginTwips)),
                 window_.width() - pixels(kSplitterMarginTwips));
    // The notes column starts at x, right after the list and the band.
    const int notesLeft = ui_.Picture1->mapFrom(&window_, QPoint(x, 0)).x();
    setPreferredWidth(ui_.List1, notesLeft - ui_.List1->x() - ui_.label[7]->width());
    alignSearchField();
    ui_.Text6->setVisible(false);
}

void MainWindowLayout::alignSearchField() {
    const auto* list = dynamic_cast<const PreferredWidth<CardListView>*>(ui_.List1);
    if (list == nullptr) {
        return;
    }
    const int right = list->x() + list->preferredWidth() - pixels(kSearchFieldInsetTwips);
    // Never narrower than a search field would be on its own.
    setPreferredWidth(ui_.Text1,
                      std::max(right - ui_.Text1->x(), ui_.Text1->QLineEdit::sizeHint().width()));
}

void MainWindowLayout::stackAddressButtons() {
    QBoxLayout* header = ui_.addressHeader;
    const int sideBySide = ui_.label[5]->sizeHint().width() + ui_.Command4->sizeHint().width() +
                           ui_.Command5->sizeHint().width() + 2 * header->spacing();
    const auto wanted =
        ui_.RichTextBox1->width() < sideBySide ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight;
    if (header->direction() != wanted) {
        header->setDirection(wanted);
        // Side by side they may be squeezed, which stacks them; stacked, each keeps its text.
        for (QPushButton* button : {ui_.Command4, ui_.Command5}) {
            button->setMinimumWidth(wanted == QBoxLayout::LeftToRight ? 1 : 0);
        }
    }
}

void MainWindowLayout::widenFieldBoxes() {
    const int extra = std::max(0, ui_.Picture1->width() - narrowestWidth_);
    const int width = fieldBoxWidth_ + static_cast<int>(extra * kFieldShare / kBoxColumns);
    for (QLineEdit* box : ui_.text) {
        setPreferredWidth(box, width);
    }
}

}  // namespace veltro::mainwindow
