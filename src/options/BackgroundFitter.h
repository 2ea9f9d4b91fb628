#pragma once

#include <QObject>
#include <QPixmap>

class QLabel;

namespace veltro::options {

// Keeps a background picture label filling its parent widget: the picture is scaled to
// cover the parent and cropped around its centre whenever the parent changes size.
class BackgroundFitter : public QObject {
    Q_OBJECT
public:
    // Gives the label this picture and keeps it fitted from now on.
    static void fit(QLabel& image, const QPixmap& picture);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit BackgroundFitter(QLabel& image);
    void refit();

    QLabel& image_;
    QPixmap picture_;
};

}  // namespace veltro::options
