#include "options/MarginFrame.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

namespace veltro::options {

namespace {

// The frame is laid out in twips (1/1440 inch) from its corner, like the label's travel.
constexpr int kFrameWidth = 7500;
constexpr int kFrameHeight = 3900;
constexpr int kPageLeft = 3075;
constexpr int kPageTop = 675;
constexpr int kPageWidth = 2100;
constexpr int kPageHeight = 2970;

QSlider* slider(Qt::Orientation orientation, const char* name, QWidget* parent) {
    auto* s = new QSlider(orientation, parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(MarginFrame::kMinimum, MarginFrame::kMaximum);
    s->setSingleStep(1);
    s->setPageStep(5);
    return s;
}

QLabel* label(const QString& text, const char* name, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

}  // namespace

MarginFrame::MarginFrame(QWidget* parent)
    : QGroupBox(QStringLiteral("Ausrichtung  der Anschrift"), parent),
      Slider3_(slider(Qt::Vertical, "Slider3", this)),
      Slider4_(slider(Qt::Horizontal, "Slider4", this)),
      Label7_(label(QStringLiteral("Anschrift"), "Label7", this)),
      Label8_(label(QString(), "Label8", this)),
      Label9_(label(QString(), "Label9", this)),
      hint_(label(QStringLiteral("Lage der Anschrift auf dem Blatt beim Drucken der Anschrift. "
                                 "Ziehen Sie die Regler oder benutzen Sie die Pfeiltasten."),
                  "Hinweis", this)),
      Command5_(new QPushButton(QStringLiteral("&Standard"), this)) {
    setObjectName(QStringLiteral("Frame4"));
    Command5_->setObjectName(QStringLiteral("Command5"));
    Command5_->setToolTip(QStringLiteral("Rand oben 50 mm, Rand links 25 mm"));
    // Top of the page at the top of the slider, as on paper.
    Slider3_->setInvertedAppearance(true);
    Slider3_->setInvertedControls(true);
    Slider3_->setToolTip(QStringLiteral("Rand oben"));
    Slider4_->setToolTip(QStringLiteral("Rand links"));
    Label8_->setBuddy(Slider3_);
    Label9_->setBuddy(Slider4_);
    hint_->setWordWrap(true);
    hint_->setForegroundRole(QPalette::PlaceholderText);
    QFont small = Label7_->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    small.setBold(true);
    Label7_->setFont(small);
    QPalette ink = Label7_->palette();
    ink.setColor(QPalette::WindowText, QColor(0x1f, 0x3f, 0x7a));
    Label7_->setPalette(ink);
    connect(Slider3_, &QSlider::valueChanged, this, [this] { refreshPreview(); });
    connect(Slider4_, &QSlider::valueChanged, this, [this] { refreshPreview(); });
    connect(Command5_, &QPushButton::clicked, this, [this] { Command5_Click(); });
    placeAll();
    setMargins(kDefaultTop, kDefaultLeft);
}

QRect MarginFrame::twips(int left, int top, int width, int height) const {
    const auto x = [this](int t) { return t * logicalDpiX() / 1440; };
    const auto y = [this](int t) { return t * logicalDpiY() / 1440; };
    return {x(left), y(top), x(width), y(height)};
}

QRect MarginFrame::pageRect() const {
    return twips(kPageLeft, kPageTop, kPageWidth, kPageHeight);
}

void MarginFrame::placeAll() {
    setMinimumSize(twips(0, 0, kFrameWidth, kFrameHeight).size());
    Slider4_->setGeometry(twips(kPageLeft, 270, kPageWidth, 360));
    Slider3_->setGeometry(twips(kPageLeft - 420, kPageTop, 360, kPageHeight));
    Label8_->setGeometry(twips(240, 700, 2300, 300));
    Label9_->setGeometry(twips(240, 1050, 2300, 300));
    hint_->setGeometry(twips(240, 1500, 2300, 1300));
    Command5_->setGeometry(twips(240, 3150, 1300, 420));
    Label7_->adjustSize();
}

void MarginFrame::setMargins(int top, int left) {
    Slider3_->setValue(std::clamp(top, kMinimum, kMaximum));
    Slider4_->setValue(std::clamp(left, kMinimum, kMaximum));
    refreshPreview();
}

int MarginFrame::topMargin() const {
    return Slider3_->value();
}

int MarginFrame::leftMargin() const {
    return Slider4_->value();
}

void MarginFrame::Command5_Click() {
    setMargins(kDefaultTop, kDefaultLeft);
}

void MarginFrame::refreshPreview() {
    const int top = topMargin();
    const int left = leftMargin();
    Label8_->setText(QStringLiteral("Rand o&ben: %1 mm").arg(top));
    Label9_->setText(QStringLiteral("Rand &links:  %1 mm").arg(left));
    Label7_->move(twips(3400 + 6 * left, 850 + 8 * top, 0, 0).topLeft());
    update();
}

void MarginFrame::paintEvent(QPaintEvent* event) {
    QGroupBox::paintEvent(event);
    QPainter p(this);
    const QRect page = pageRect();
    p.fillRect(page.translated(3, 3), QColor(0, 0, 0, 40));
    p.fillRect(page, Qt::white);
    p.setPen(QColor(0x90, 0x90, 0x90));
    p.drawRect(page.adjusted(0, 0, -1, -1));
    // Guides where the margins end.
    const QPoint corner = Label7_->geometry().topLeft();
    p.setPen(QPen(QColor(0x5a, 0x8c, 0xd8), 1, Qt::DashLine));
    p.drawLine(page.left() + 1, corner.y(), page.right() - 1, corner.y());
    p.drawLine(corner.x(), page.top() + 1, corner.x(), page.bottom() - 1);
    // Address lines under the caption, then the body of a letter.
    p.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 2));
    const int lineGap = twips(0, 0, 0, 120).height();
    int y = Label7_->geometry().bottom() + lineGap;
    for (int i = 0; i < 3; ++i, y += lineGap) {
        p.drawLine(corner.x(), y, corner.x() + page.width() / 3, y);
    }
    p.setPen(QPen(QColor(0xd4, 0xd4, 0xd4), 2));
    y = std::max(y + 2 * lineGap, page.top() + page.height() / 2);
    for (; y < page.bottom() - 2 * lineGap; y += lineGap) {
        p.drawLine(page.left() + page.width() / 7, y, page.right() - page.width() / 7, y);
    }
}

}  // namespace veltro::options
