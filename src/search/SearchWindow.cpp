#include "search/SearchWindow.h"

#include "platform/Contrast.h"
#include "platform/HelpKey.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "platform/WidgetTools.h"
#include "store/Settings.h"
#include "store/SettingsKeys.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace veltro::search {

namespace {

constexpr double kHeightTwips = 800;
constexpr double kDesignWidthTwips = 4800;
constexpr double kDesignTopTwips = 600;

QPointer<SearchWindow>& openWindow() {
    static QPointer<SearchWindow> window;
    return window;
}

}  // namespace

SearchWindow* SearchWindow::open(SearchHost& host) {
    host.minimizeMainWindow();
    QPointer<SearchWindow>& window = openWindow();
    if (window == nullptr) {
        window = new SearchWindow(host);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

SearchWindow* SearchWindow::current() {
    return openWindow();
}

SearchWindow::SearchWindow(SearchHost& host)
    // No parent: the window must stay when the main window is minimised.
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint),
      host_(host),
      Text1_(new QLineEdit(this)),
      Slider1_(new QSlider(Qt::Vertical, this)),
      Label1_(new QLabel(this)) {
    setObjectName(QStringLiteral("Form4"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);

    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setToolTip(QStringLiteral("Text=suchen;  2xCursor=blättern;  Return=kopieren"));
    Text1_->installEventFilter(this);
    Slider1_->setObjectName(QStringLiteral("Slider1"));
    Slider1_->setRange(0, 1);
    Slider1_->setPageStep(1);
    Slider1_->setInvertedAppearance(true);  // position 0 at the top
    // Reached with Tab: an arrow key switches it and hands the keyboard back to the text.
    Slider1_->setFocusPolicy(Qt::TabFocus);
    Slider1_->setAccessibleName(QStringLiteral("Kopieren: Anschrift oder Notizen"));
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setMinimumWidth(
        Label1_->fontMetrics().horizontalAdvance(QStringLiteral("Anschrift ")));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(Text1_, 1);
    layout->addWidget(Slider1_);
    layout->addWidget(Label1_);

    connect(Text1_, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Slider1_, &QSlider::valueChanged, this, [this] { Slider1_Change(); });
    // A mouse action on the switch hands the keyboard back to the text field.
    connect(Slider1_, &QSlider::sliderReleased, Text1_, [this] { Text1_->setFocus(); });
    connect(Slider1_, &QSlider::actionTriggered, Text1_, [this] { Text1_->setFocus(); });
    platform::setHelpPage(*this, QStringLiteral("suchfenster.html"));
    Form_Load();
}

int SearchWindow::widthForTitle(const QString& title) const {
    // Window managers draw titles in bold; besides the text the bar holds the window's icon
    // and buttons.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    return metrics.horizontalAdvance(title) + 8 * metrics.height();
}

void SearchWindow::Form_Load() {
    setFixedHeight(pixels(kHeightTwips));
    // The title is the window's status line: the first one is seen whole.
    resize(std::max(pixels(kDesignWidthTwips), widthForTitle(SearchTitles::opened())), height());
    restoreGeometry();
    browsing_ = false;
    if (host_.lineCount() > 0) {
        host_.selectLine(0);
    }
    mode_ = CopyMode::Address;
    Label1_->setText(SearchTitles::modeName(mode_));
    Slider1_->setToolTip(SearchTitles::modeSwitched(mode_));
    setWindowTitle(SearchTitles::opened());
}

void SearchWindow::restoreGeometry() {
    const auto top = settings::number(settings::key::SuchFensterTop);
    const auto left = settings::number(settings::key::SuchFensterLeft);
    const auto storedWidth = settings::number(settings::key::SuchFensterwidth);
    QScreen* primary = QGuiApplication::primaryScreen();
    if (top && left) {
        const QRect stored(
            pixels(*left), pixels(*top),
            storedWidth ? std::max(minimumSizeHint().width(), pixels(*storedWidth)) : this->width(),
            height());
        // A position left over from a screen that is gone would put the window out of reach.
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (screen->availableGeometry().intersects(stored)) {
                move(stored.topLeft());
                resize(stored.width(), height());
                return;
            }
        }
    }
    if (primary != nullptr) {
        const QRect area = primary->availableGeometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + pixels(kDesignTopTwips));
    }
}

void SearchWindow::storeGeometry() {
    // Top and left of the frame (where move() puts it); the width the user sees.
    settings::writeNumber(settings::key::SuchFensterTop, std::round(twips(frameGeometry().y())));
    settings::writeNumber(settings::key::SuchFensterLeft, std::round(twips(frameGeometry().x())));
    settings::writeNumber(settings::key::SuchFensterwidth, std::round(twips(width())));
}

int SearchWindow::pixels(double twips) const {
    return platform::twipsToPixels(twips, *this);
}

double SearchWindow::twips(int pixels) const {
    return platform::pixelsToTwips(pixels, *this);
}

void SearchWindow::Text1_Change() {
    host_.setSearchText(Text1_->text());
    const int count = host_.lineCount();
    setWindowTitle(SearchTitles::found(count, mode_, count == 1 ? host_.lineText(0) : QString()));
    const QColor background = SearchTitles::hitColor(count);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, background);
    setPalette(colours);
    platform::setRole(Label1_, QPalette::WindowText, platform::readableOn(background));
}

void SearchWindow::Text1_KeyDown(int key) {
    switch (key) {
        case Qt::Key_Down:
            if (!browsing_) {
                browsing_ = true;
                host_.selectLine(-1);
            } else {
                browse(+1);
            }
            break;
        case Qt::Key_Up:
            if (browsing_) {
                browse(-1);
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            copySelected();
            break;
        default:
            break;
    }
}

void SearchWindow::browse(int step) {
    const int count = host_.lineCount();
    const int selected = host_.selectedLine();
    if (count == 0 || (selected < 0 && step < 0)) {
        return;
    }
    const int row = std::clamp(selected + step, 0, count - 1);
    if (row != selected) {
        host_.selectLine(row);
    }
    setWindowTitle(SearchTitles::browsing(host_.lineText(row), count));
}

void SearchWindow::copySelected() {
    const int selected = host_.selectedLine();
    // With no line selected the card view may show any card; copying it would be a guess.
    if (selected < 0) {
        return;
    }
    const QString heading = host_.lineText(selected);
    const ShownCard card = host_.shownCard();
    const QString prefix = SearchTitles::cardPrefix(card.lastName, card.postcode, card.town);
    const bool empty = mode_ == CopyMode::Address ? card.addressEmpty : card.notesEmpty;
    if (empty) {
        setWindowTitle(SearchTitles::nothingToCopy(prefix, mode_));
        return;
    }
    Text1_->setText(heading);
    // The search finds every heading that contains this one; copy this card, not the first.
    if (host_.selectedLine() < 0 || host_.lineText(host_.selectedLine()) != heading) {
        for (int row = 0; row < host_.lineCount(); ++row) {
            if (host_.lineText(row) == heading) {
                host_.selectLine(row);
                break;
            }
        }
    }
    if (mode_ == CopyMode::Address) {
        host_.copyAddress();
    } else {
        host_.copyNotes();
    }
    Text1_->selectAll();
    browsing_ = false;
    setWindowTitle(SearchTitles::copied(prefix, mode_));
}

void SearchWindow::Slider1_Change() {
    mode_ = Slider1_->value() == 1 ? CopyMode::Notes : CopyMode::Address;
    Label1_->setText(SearchTitles::modeName(mode_));
    Slider1_->setToolTip(SearchTitles::modeSwitched(mode_));
    setWindowTitle(SearchTitles::modeSwitched(mode_));
}

void SearchWindow::Form_Activate() {
    Text1_->setFocus();
    const QString text = Text1_->text();
    if (!text.isEmpty()) {
        Text1_->setText(text.left(text.size() - 1));
        Text1_->setCursorPosition(static_cast<int>(Text1_->text().size()));
    }
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1_) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            Text1_KeyDown(key);
            // Return copies; neither it nor the arrows reach the field.
            return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Up ||
                   key == Qt::Key_Down;
        }
        if (event->type() == QEvent::MouseButtonPress && Text1_->text().isEmpty()) {
            setWindowTitle(SearchTitles::emptyPrompt());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SearchWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Form_Activate();
    }
    QWidget::changeEvent(event);
}

void SearchWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    setTabOrder(Text1_, Slider1_);
    Text1_->setCursorPosition(0);
    Text1_->setFocus();
}

void SearchWindow::closeEvent(QCloseEvent* event) {
    if (host_.reactivateOnClose()) {
        host_.restoreMainWindow();
    }
    storeGeometry();
    event->accept();
    // The window is deleted later; opening again before that must make a new one.
    if (openWindow() == this) {
        openWindow() = nullptr;
    }
}

}  // namespace veltro::search
