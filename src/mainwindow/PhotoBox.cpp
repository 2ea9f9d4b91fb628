#include "mainwindow/PhotoBox.h"

#include "base/Error.h"
#include "session/Task.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QImageReader>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPixmap>

#include <algorithm>

namespace veltro::mainwindow {

namespace {

constexpr int kPhotoSide = 72;

Error notAPhoto(const QString& why) {
    return Error(Error::Kind::Input, why);
}

// The picture fitted into `side` pixels with its shape kept; JPEG decodes at that size at once.
QImage decodedFitting(const QByteArray& bytes, int side) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() && (full.width() > side || full.height() > side)) {
        reader.setScaledSize(full.scaled(side, side, Qt::KeepAspectRatio));
    }
    QImage image = reader.read();
    if (image.width() > side || image.height() > side) {
        return image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

}  // namespace

PhotoBox::PhotoBox(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("Foto"));
    setFixedSize(kPhotoSide, kPhotoSide);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Foto"));
    setAccessibleDescription(QStringLiteral(
        "Ein Bild hier ablegen, mit Strg+V einfügen oder über das Kontextmenü wählen."));
    setToolTip(QStringLiteral("Foto: ablegen, einfügen (Strg+V) oder über das Kontextmenü"));
    showEmpty();
}

PhotoBox::~PhotoBox() = default;

void PhotoBox::showEmpty() {
    hasPhoto_ = false;
    setPixmap({});
    setText(locked_ ? QString() : QStringLiteral("Foto"));
}

void PhotoBox::setLocked(bool locked) {
    locked_ = locked;
    setAcceptDrops(!locked);
    if (!hasPhoto_) {
        showEmpty();
    }
}

void PhotoBox::showPhoto(const std::optional<store::Photo>& photo) {
    const std::uint64_t generation = ++generation_;
    showEmpty();
    if (!photo) {
        return;
    }
    hasPhoto_ = true;
    setText(QStringLiteral("…"));
    const int side = static_cast<int>(kPhotoSide * devicePixelRatioF());
    auto picture = std::make_shared<QImage>();
    auto bytes = photo->bytes;  // shared, not copied
    auto self = std::make_shared<const session::Task*>(nullptr);
    auto* task = new session::Task(
        [picture, bytes, side](session::TaskControl&) { *picture = decodedFitting(bytes, side); },
        [this, picture, generation, self](const std::exception_ptr&) {
            if (generation == generation_) {
                QPixmap pixmap = QPixmap::fromImage(*picture);
                pixmap.setDevicePixelRatio(devicePixelRatioF());
                setText(pixmap.isNull() ? QStringLiteral("?") : QString());
                setPixmap(pixmap);
            }
            // The task that ends here may go now (its end allows that).
            std::erase_if(decoding_, [&self](const auto& t) { return t.get() == *self; });
            if (generation == generation_) {
                Q_EMIT decoded();
            }
        });
    *self = task;
    decoding_.emplace_back(task);
}

store::Photo PhotoBox::checkedPhoto(const QByteArray& bytes) {
    if (bytes.size() > kLargestPhotoBytes) {
        throw notAPhoto(QStringLiteral("Das Bild ist %1 MB groß; ein Foto darf höchstens %2 MB "
                                       "groß sein.")
                            .arg(static_cast<double>(bytes.size()) / (1024.0 * 1024.0), 0, 'f', 1)
                            .arg(kLargestPhotoBytes / (qsizetype{1024} * 1024)));
    }
    const QString type = store::pictureType(bytes);
    if (type != u"image/png" && type != u"image/jpeg") {
        throw notAPhoto(
            QStringLiteral("Das ist kein Foto im Format PNG oder JPEG. Bitte ein solches Bild "
                           "wählen."));
    }
    if (decodedFitting(bytes, kPhotoSide).isNull()) {
        throw notAPhoto(QStringLiteral("Das Bild ist beschädigt und lässt sich nicht lesen."));
    }
    return {bytes, type};
}

QByteArray PhotoBox::offeredBytes(const QMimeData& data) {
    for (const char* format : {"image/jpeg", "image/png"}) {
        if (data.hasFormat(QLatin1String(format))) {
            return data.data(QLatin1String(format));
        }
    }
    if (data.hasImage()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        qvariant_cast<QImage>(data.imageData()).save(&buffer, "PNG");
        return png;
    }
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            QFile file(url.toLocalFile());
            // A file far beyond the limit is not read whole just to be refused.
            if (file.open(QIODevice::ReadOnly)) {
                return file.read(kLargestPhotoBytes + 1);
            }
        }
    }
    return {};
}

void PhotoBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("popFoto"));
    QAction* choose = menu.addAction(QStringLiteral("Foto &wählen…"));
    QAction* paste = menu.addAction(QStringLiteral("Foto &einfügen"));
    QAction* remove = menu.addAction(QStringLiteral("Foto &entfernen"));
    choose->setEnabled(!locked_);
    paste->setEnabled(!locked_);
    remove->setEnabled(!locked_ && hasPhoto_);
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == choose) {
        Q_EMIT chooseWanted();
    } else if (chosen == paste) {
        this->paste();
    } else if (chosen == remove) {
        Q_EMIT removeWanted();
    }
}

void PhotoBox::paste() {
    if (const QMimeData* held = QApplication::clipboard()->mimeData(); held != nullptr) {
        Q_EMIT offered(offeredBytes(*held));
    }
}

void PhotoBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) && !locked_) {
        paste();
        return;
    }
    if (event->matches(QKeySequence::Delete) && !locked_ && hasPhoto_) {
        Q_EMIT removeWanted();
        return;
    }
    QLabel::keyPressEvent(event);
}

void PhotoBox::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* dragged = event->mimeData();
    if (!locked_ && (dragged->hasImage() || dragged->hasUrls() ||
                     dragged->hasFormat(QStringLiteral("image/png")) ||
                     dragged->hasFormat(QStringLiteral("image/jpeg")))) {
        event->acceptProposedAction();
    }
}

void PhotoBox::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    Q_EMIT offered(offeredBytes(*event->mimeData()));
}

}  // namespace veltro::mainwindow
