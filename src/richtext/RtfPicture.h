#pragma once

#include "richtext/RichDocument.h"

#include <QByteArray>

#include <memory>
#include <string_view>

namespace veltro::richtext {

// Collects one {\pict ...} group: the words that describe the picture, its data in hex or
// \bin, and the size it is shown at.
class RtfPictureReader {
public:
    void word(std::string_view name, bool hasParam, int param);
    void hex(std::string_view text);
    void binary(std::string_view bytes);
    // The picture, or nullptr when the group named no type or held no data; starts anew.
    std::shared_ptr<const Picture> take();

private:
    QByteArray type_;
    QByteArray words_;
    QByteArray data_;
    int width_ = 0;  // \picw, \pich: pixels, or hundredths of a millimetre for metafiles
    int height_ = 0;
    int goalWidth_ = 0;  // \picwgoal, \pichgoal: twips
    int goalHeight_ = 0;
    int scaleX_ = 100;  // per cent
    int scaleY_ = 100;
    int highNibble_ = -1;
};

// {\pict ...} as RTF in hex, with the picture's words as they came.
QByteArray rtfPicture(const Picture& picture);

// A PNG picture of this many pixels, shown at 96 dots per inch.
Picture pngPicture(QByteArray png, int widthPixels, int heightPixels);

}  // namespace veltro::richtext
