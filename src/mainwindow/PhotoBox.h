#pragma once

#include "store/CardExtras.h"

#include <QByteArray>
#include <QImage>
#include <QLabel>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QMimeData;

namespace veltro::session {
class Task;
}

namespace veltro::mainwindow {

// The largest photo a card takes: as a vCard it must still fit what servers and our own
// reader accept of one card.
inline constexpr qsizetype kLargestPhotoBytes = qsizetype{6} * 1024 * 1024;

// The photo beside the card's heading, scaled into its box with its shape kept. The picture is
// decoded on a thread of its own, so a large photo never holds up showing the card. A photo
// comes by dropping an image file, pasting an image or the file dialog of its pop-up menu.
class PhotoBox : public QLabel {
    Q_OBJECT
public:
    explicit PhotoBox(QWidget* parent);
    ~PhotoBox() override;
    PhotoBox(const PhotoBox&) = delete;
    PhotoBox& operator=(const PhotoBox&) = delete;

    void showPhoto(const std::optional<store::Photo>& photo);
    void setLocked(bool locked);
    // The picture has been decoded and shown (or there is none).
    [[nodiscard]] bool settled() const { return decoding_.empty(); }

    // The bytes of a PNG or JPEG file as a photo; throws veltro::Error with a German sentence
    // for anything else, broken pictures and files above the limit.
    [[nodiscard]] static store::Photo checkedPhoto(const QByteArray& bytes);
    // The photo the clipboard or a drop holds: image bytes as they came, else a picture
    // encoded as PNG, else the first file it names; empty when it holds none.
    [[nodiscard]] static QByteArray offeredBytes(const QMimeData& data);

Q_SIGNALS:
    void offered(const QByteArray& bytes);  // dropped, pasted or chosen
    void chooseWanted();                    // "Foto wählen…"
    void removeWanted();                    // "Foto entfernen"
    void decoded();                         // a picture has reached the box

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showEmpty();
    void paste();

    std::uint64_t generation_ = 0;  // of the photo shown; older decodings are dropped
    bool hasPhoto_ = false;
    bool locked_ = true;
    std::vector<std::unique_ptr<session::Task>> decoding_;
};

}  // namespace veltro::mainwindow
