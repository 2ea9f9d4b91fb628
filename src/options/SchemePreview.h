#pragma once

#include "options/ColourScheme.h"

#include <QFrame>
#include <QPixmap>

class QLabel;
class QLineEdit;
class QListWidget;

namespace veltro::options {

// The "Vorschau" of the colour tab: a small imitation of the main window with a picture
// area (Image1) or a plain colour area (Label1) behind two sample fields (Text1, Text2) and
// two sample labels (Label2, Label3). The main window copies its colours from here.
class SchemePreview : public QFrame {
    Q_OBJECT
public:
    explicit SchemePreview(QWidget* parent = nullptr);

    // Shows the picture; the colour area is hidden and keeps its colour.
    void showPicture(const QPixmap& picture);
    void showColour(const QColor& colour);
    void setColours(const PreviewColours& colours);

    [[nodiscard]] bool pictureShown() const;
    [[nodiscard]] QPixmap picture() const { return picture_; }
    [[nodiscard]] QColor areaColour() const;
    [[nodiscard]] PreviewColours colours() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitBackground();
    void backCaptions();

    QLabel* Image1_;
    QLabel* Label1_;
    QLabel* Label2_;
    QLabel* Label3_;
    QLineEdit* Text1_;
    QLineEdit* Text2_;
    QListWidget* list_;
    QPixmap picture_;
};

}  // namespace veltro::options
