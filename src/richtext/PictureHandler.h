#pragma once

#include "richtext/RichDocument.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTextDocument>
#include <QTextObjectInterface>
#include <QThreadPool>

#include <list>
#include <map>
#include <memory>
#include <vector>

namespace veltro::richtext {

// Lays out and draws the picture characters of every document; one for the application.
// Decoded pictures are kept for as long as they are in use and memory allows.
class PictureHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    static constexpr int kObjectType = QTextFormat::UserObject + 1;
    static PictureHandler& instance();

    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;

    [[nodiscard]] int decodesStarted() const { return decodesStarted_; }

private:
    explicit PictureHandler(QObject* parent);

    struct Entry {
        std::weak_ptr<const Picture> picture;
        QImage image;
        QSize size;  // asked for
        bool pending = false;
        std::vector<QPointer<QTextDocument>> waiting;
    };

    void request(const std::shared_ptr<const Picture>& picture, QSize size,
                 QTextDocument* document);
    void decoded(const Picture* key, QImage image);
    void trim();

    std::map<const Picture*, Entry> entries_;
    std::list<const Picture*> used_;  // least recently decoded first
    int decodesStarted_ = 0;
    QThreadPool pool_;
};

}  // namespace veltro::richtext
