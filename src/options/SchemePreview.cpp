#include "options/SchemePreview.h"

#include "platform/Contrast.h"
#include "platform/WidgetTools.h"

#include "options/BackgroundPicture.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace veltro::options {

using platform::named;
using platform::setRole;

namespace {

// A field that only shows a colour: no focus, no typing.
QLineEdit* sampleField(const QString& text, const char* name, QWidget* parent) {
    auto* field = named(new QLineEdit(text, parent), name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setCursor(Qt::ArrowCursor);
    return field;
}

// A few card list lines, so the preview reads as the main window.
QListWidget* sampleList(QWidget* parent) {
    auto* list = named(new QListWidget(parent), "Vorschauliste");
    list->addItems({QStringLiteral("Bauer Anna"), QStringLiteral("Bäckerei Schmitt"),
                    QStringLiteral("Muster GmbH"), QStringLiteral("Wolf Peter")});
    list->setFocusPolicy(Qt::NoFocus);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setAttribute(Qt::WA_TransparentForMouseEvents);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

}  // namespace

SchemePreview::SchemePreview(QWidget* parent)
    : QFrame(parent),
      Image1_(named(new QLabel(this), "Image1")),
      Label1_(named(new QLabel(this), "Label1")),
      Label2_(named(new QLabel(QStringLiteral("Kategorie"), this), "Label2")),
      Label3_(named(new QLabel(QStringLiteral("Firma"), this), "Label3")),
      Text1_(sampleField(QStringLiteral("Privat"), "Text1", this)),
      Text2_(sampleField(QStringLiteral("Muster GmbH"), "Text2", this)),
      list_(sampleList(this)) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setMinimumSize(240, 150);
    Label1_->setAutoFillBackground(true);
    Image1_->setVisible(false);
    Image1_->setAccessibleName(QStringLiteral("Hintergrundbild"));
    Label1_->setAccessibleName(QStringLiteral("Hintergrundfarbe"));
    list_->setAccessibleName(QStringLiteral("Kartenliste"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 18, 14, 18);
    grid->setVerticalSpacing(10);
    grid->addWidget(Label2_, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(Text1_, 0, 1);
    grid->addWidget(Label3_, 1, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(Text2_, 1, 1);
    list_->setFixedHeight(list_->fontMetrics().height() * 4 + 2 * list_->frameWidth() + 4);
    grid->addWidget(list_, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);
    fitBackground();
}

void SchemePreview::showPicture(const QPixmap& picture) {
    picture_ = picture;
    Label1_->setVisible(false);
    Image1_->setVisible(true);
    fitBackground();
}

void SchemePreview::showColour(const QColor& colour) {
    Image1_->setVisible(false);
    setRole(Label1_, QPalette::Window, colour);
    Label1_->setVisible(true);
}

void SchemePreview::setColours(const PreviewColours& colours) {
    setRole(Text1_, QPalette::Base, colours.field1);
    setRole(Text2_, QPalette::Base, colours.field2);
    setRole(list_, QPalette::Base, colours.field1);  // the card list is in field group 1
    setRole(Label2_, QPalette::WindowText, colours.label1);
    setRole(Label3_, QPalette::WindowText, colours.label2);
    // Shown as the main window shows them: readable text in the boxes, a backing behind a
    // caption whose colour does not stand out.
    const QColor text = QApplication::palette().color(QPalette::Active, QPalette::Text);
    for (QWidget* box : std::initializer_list<QWidget*>{Text1_, Text2_, list_}) {
        setRole(box, QPalette::Text,
                platform::readableTextOn(text, box->palette().color(QPalette::Base)));
    }
    backCaptions();
}

void SchemePreview::backCaptions() {
    for (QLabel* caption : {Label2_, Label3_}) {
        QColor ground = Label1_->palette().color(QPalette::Window);
        if (pictureShown() && !Image1_->pixmap().isNull()) {
            // Both lie on the preview; the picture fills it from its corner.
            const QRect area = caption->geometry().translated(-Image1_->pos());
            ground = platform::meanColour(Image1_->pixmap().toImage(), area);
        }
        const QColor ink = caption->palette().color(QPalette::WindowText);
        const bool backed =
            ground.isValid() && platform::contrastRatio(ink, ground) < platform::kReadableContrast;
        if (backed) {
            setRole(caption, QPalette::Window, platform::backingFor(ink, ground));
        }
        caption->setAutoFillBackground(backed);
    }
}

bool SchemePreview::pictureShown() const {
    return !Image1_->isHidden();
}

QColor SchemePreview::areaColour() const {
    return Label1_->palette().color(QPalette::Window);
}

PreviewColours SchemePreview::colours() const {
    return {Text1_->palette().color(QPalette::Base), Text2_->palette().color(QPalette::Base),
            Label2_->palette().color(QPalette::WindowText),
            Label3_->palette().color(QPalette::WindowText)};
}

void SchemePreview::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    fitBackground();
}

// Both areas lie behind the samples and fill the frame.
void SchemePreview::fitBackground() {
    const QRect area = contentsRect();
    for (QLabel* layer : {Image1_, Label1_}) {
        layer->setGeometry(area);
        layer->lower();
    }
    Image1_->setPixmap(BackgroundPicture::filling(picture_, area.size()));
    backCaptions();
}

}  // namespace veltro::options
