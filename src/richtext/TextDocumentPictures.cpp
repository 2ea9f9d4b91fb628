#include "richtext/TextDocumentPictures.h"

#include "richtext/PictureHandler.h"
#include "richtext/RtfPicture.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QPainter>
#include <QTextCursor>

#include <algorithm>

Q_DECLARE_METATYPE(std::shared_ptr<const veltro::richtext::Picture>)

namespace veltro::richtext {
namespace {

constexpr int kPictureProperty = QTextFormat::UserProperty + 4;
constexpr double kTwipsPerPixel = 15.0;
constexpr qsizetype kCacheBytes = qsizetype{96} * 1024 * 1024;
constexpr QSize kUnknownSize(96, 96);

QByteArray imageFormat(const Picture& picture) {
    return picture.type == "jpegblip" ? QByteArray("jpeg") : QByteArray("png");
}

// The size in pixels before the page width is taken into account.
QSizeF naturalSize(const Picture& picture) {
    if (picture.widthTwips > 0 && picture.heightTwips > 0) {
        return {picture.widthTwips / kTwipsPerPixel, picture.heightTwips / kTwipsPerPixel};
    }
    if (picture.isDrawable()) {
        QByteArray data = picture.data;
        QBuffer buffer(&data);
        const QSize size = QImageReader(&buffer, imageFormat(picture)).size();  // the header only
        if (size.isValid()) {
            return size;
        }
    }
    return kUnknownSize;
}

void drawPlaceholder(QPainter& painter, const QRectF& rect, const Picture& picture) {
    painter.save();
    painter.setPen(QColor(0x90, 0x90, 0x90));
    painter.setBrush(QColor(0xEE, 0xEE, 0xEE));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    if (!picture.isDrawable() && rect.width() > 24 && rect.height() > 12) {
        painter.drawText(rect, Qt::AlignCenter, QString::fromLatin1(picture.type));
    }
    painter.restore();
}

}  // namespace

PictureHandler::PictureHandler(QObject* parent) : QObject(parent) {
    pool_.setMaxThreadCount(1);
}

PictureHandler& PictureHandler::instance() {
    // Lives as long as the application, which waits for its decoding at the end.
    static PictureHandler* const handler = new PictureHandler(QCoreApplication::instance());
    return *handler;
}

QSizeF PictureHandler::intrinsicSize(QTextDocument* document, int /*position*/,
                                     const QTextFormat& format) {
    const auto picture = pictureOf(format);
    if (!picture) {
        return {};
    }
    const QSizeF natural = naturalSize(*picture);
    // A picture wider than the text is shown as wide as the text.
    const qreal width = document != nullptr ? document->textWidth() : -1;
    if (width > 0 && natural.width() > width) {
        return {width, natural.height() * width / natural.width()};
    }
    return natural;
}

void PictureHandler::drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document,
                                int /*position*/, const QTextFormat& format) {
    const auto picture = pictureOf(format);
    if (!picture || painter == nullptr) {
        return;
    }
    if (picture->isDrawable()) {
        const qreal ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1;
        const QSize wanted = (rect.size() * ratio).toSize();
        const auto it = entries_.find(picture.get());
        if (it != entries_.end() && it->second.picture.lock() == picture &&
            !it->second.image.isNull()) {
            painter->drawImage(rect, it->second.image);
            return;
        }
        request(picture, wanted, document);
    }
    drawPlaceholder(*painter, rect, *picture);
}

void PictureHandler::request(const std::shared_ptr<const Picture>& picture, QSize size,
                             QTextDocument* document) {
    Entry& entry = entries_[picture.get()];
    if (entry.picture.lock() != picture) {
        entry = Entry{};  // an old picture at the same address
        entry.picture = picture;
    }
    if (std::find(entry.waiting.begin(), entry.waiting.end(), document) == entry.waiting.end()) {
        entry.waiting.emplace_back(document);
    }
    if (entry.pending) {
        return;
    }
    entry.pending = true;
    entry.size = size;
    ++decodesStarted_;
    pool_.start([this, picture, size] {
        QImage image = decodePicture(*picture, size);
        QMetaObject::invokeMethod(
            this,
            [this, key = picture.get(), image = std::move(image)]() mutable {
                decoded(key, std::move(image));
            },
            Qt::QueuedConnection);
    });
}

void PictureHandler::decoded(const Picture* key, QImage image) {
    const auto it = entries_.find(key);
    if (it == entries_.end()) {
        return;
    }
    Entry& entry = it->second;
    entry.pending = false;
    if (image.isNull()) {
        image = QImage(1, 1, QImage::Format_RGB32);  // undecodable: stays a grey box
        image.fill(QColor(0xEE, 0xEE, 0xEE));
    }
    entry.image = std::move(image);
    used_.remove(key);
    used_.push_back(key);
    for (const QPointer<QTextDocument>& document : std::exchange(entry.waiting, {})) {
        if (document && document->documentLayout() != nullptr) {
            Q_EMIT document->documentLayout()->update();  // the picture's size stays; only paint
        }
    }
    trim();
}

void PictureHandler::trim() {
    qsizetype bytes = 0;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second.picture.expired() && !it->second.pending) {
            used_.remove(it->first);
            it = entries_.erase(it);
        } else {
            bytes += it->second.image.sizeInBytes();
            ++it;
        }
    }
    while (bytes > kCacheBytes && used_.size() > 1) {
        Entry& oldest = entries_.at(used_.front());
        bytes -= oldest.image.sizeInBytes();
        oldest.image = QImage();  // decoded again when shown again
        used_.pop_front();
    }
}

void enablePictures(QTextDocument& document) {
    document.documentLayout()->registerHandler(PictureHandler::kObjectType,
                                               &PictureHandler::instance());
}

void insertPicture(QTextCursor& cursor, const std::shared_ptr<const Picture>& picture,
                   const QTextCharFormat& base) {
    QTextCharFormat format = base;
    format.setObjectType(PictureHandler::kObjectType);
    format.setProperty(kPictureProperty, QVariant::fromValue(picture));
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
}

std::shared_ptr<const Picture> pictureOf(const QTextFormat& format) {
    if (format.objectType() != PictureHandler::kObjectType) {
        return nullptr;
    }
    return format.property(kPictureProperty).value<std::shared_ptr<const Picture>>();
}

Picture pictureFromImage(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return pngPicture(std::move(png), image.width(), image.height());
}

QImage decodePicture(const Picture& picture, QSize size) {
    QByteArray data = picture.data;
    QBuffer buffer(&data);
    QImageReader reader(&buffer, imageFormat(picture));
    const QSize full = reader.size();
    // JPEG decodes straight to a smaller size, which is much faster for photographs.
    if (size.isValid() && full.isValid() &&
        (full.width() > size.width() || full.height() > size.height())) {
        reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio));
    }
    return reader.read();
}

int picturesDecoding() {
    return PictureHandler::instance().decodesStarted();
}

}  // namespace veltro::richtext
