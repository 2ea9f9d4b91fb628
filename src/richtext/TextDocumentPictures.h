#pragma once

#include "richtext/RichDocument.h"

#include <QImage>
#include <QSize>
#include <QTextCharFormat>

#include <memory>

class QTextCursor;
class QTextDocument;

namespace veltro::richtext {

// Pictures sit in a QTextDocument as object characters whose format carries the picture. They
// are drawn at the size RTF gives them; PNG and JPEG are decoded in the background the first
// time they are shown, so a document with large pictures is ready at once. What Qt cannot
// draw shows as a frame and is kept as it came.

// Lets a document that is shown draw its pictures; a document that is only read and written
// needs no layout for them.
void enablePictures(QTextDocument& document);

void insertPicture(QTextCursor& cursor, const std::shared_ptr<const Picture>& picture,
                   const QTextCharFormat& base);
// The picture a character's format carries, or nullptr.
std::shared_ptr<const Picture> pictureOf(const QTextFormat& format);

// A picture of an image, stored as PNG.
Picture pictureFromImage(const QImage& image);

// The pixels of a PNG or JPEG picture, at most `size` large when that is valid.
QImage decodePicture(const Picture& picture, QSize size);

// How many pictures have been sent to be decoded so far in this process.
int picturesDecoding();

}  // namespace veltro::richtext
