#include "richtext/RtfPicture.h"

#include <algorithm>
#include <array>
#include <limits>

namespace veltro::richtext {
namespace {

constexpr qsizetype kMaxWords = 1024;
constexpr int kMaxTwips = 31680;  // 22 inches, the largest page RTF knows
constexpr int kTwipsPerPixel = 15;
constexpr qsizetype kHexLine = 128;

// The words that name the kind of data.
constexpr auto kTypes =
    std::to_array<std::string_view>({"pngblip", "jpegblip", "emfblip", "wmetafile", "dibitmap",
                                     "wbitmap", "macpict", "pmmetafile"});

bool isMetafile(const QByteArray& type) {
    return type.startsWith("emfblip") || type.startsWith("wmetafile") ||
           type.startsWith("macpict") || type.startsWith("pmmetafile");
}

// Words that describe the picture are kept; anything else in the group is not its own.
bool isPictureWord(std::string_view name) {
    return name.starts_with("pic") || name.starts_with("wbm") || name.starts_with("blip");
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

int shownTwips(int goal, int size, bool metafile, int scale) {
    std::int64_t twips = goal;
    if (twips <= 0 && size > 0) {
        // Bitmaps count pixels; metafiles hundredths of a millimetre.
        twips = metafile ? std::int64_t{size} * 1440 / 2540 : std::int64_t{size} * kTwipsPerPixel;
    }
    twips = twips * std::clamp(scale, 1, 10000) / 100;
    return static_cast<int>(std::clamp<std::int64_t>(twips, 0, kMaxTwips));
}

}  // namespace

void RtfPictureReader::word(std::string_view name, bool hasParam, int param) {
    if (std::find(kTypes.begin(), kTypes.end(), name) != kTypes.end()) {
        type_ = QByteArray(name.data(), static_cast<qsizetype>(name.size()));
        if (hasParam) {
            type_ += QByteArray::number(param);
        }
        return;
    }
    if (!isPictureWord(name) || words_.size() > kMaxWords) {
        return;
    }
    words_ += '\\';
    words_.append(name.data(), static_cast<qsizetype>(name.size()));
    if (hasParam) {
        words_ += QByteArray::number(param);
    }
    const int value = hasParam ? param : 0;
    if (name == "picw") {
        width_ = value;
    } else if (name == "pich") {
        height_ = value;
    } else if (name == "picwgoal") {
        goalWidth_ = value;
    } else if (name == "pichgoal") {
        goalHeight_ = value;
    } else if (name == "picscalex") {
        scaleX_ = value;
    } else if (name == "picscaley") {
        scaleY_ = value;
    }
}

void RtfPictureReader::hex(std::string_view text) {
    data_.reserve(data_.size() + static_cast<qsizetype>(text.size() / 2));
    for (const char c : text) {
        const int value = hexValue(c);
        if (value < 0) {
            continue;  // line breaks and blanks between the digits
        }
        if (highNibble_ < 0) {
            highNibble_ = value;
        } else {
            data_ += static_cast<char>(highNibble_ * 16 + value);
            highNibble_ = -1;
        }
    }
}

void RtfPictureReader::binary(std::string_view bytes) {
    data_.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::shared_ptr<const Picture> RtfPictureReader::take() {
    RtfPictureReader taken = std::exchange(*this, RtfPictureReader{});
    if (taken.type_.isEmpty() || taken.data_.isEmpty()) {
        return nullptr;
    }
    auto picture = std::make_shared<Picture>();
    const bool metafile = isMetafile(taken.type_);
    picture->widthTwips = shownTwips(taken.goalWidth_, taken.width_, metafile, taken.scaleX_);
    picture->heightTwips = shownTwips(taken.goalHeight_, taken.height_, metafile, taken.scaleY_);
    picture->type = std::move(taken.type_);
    picture->words = std::move(taken.words_);
    picture->data = std::move(taken.data_);
    return picture;
}

QByteArray rtfPicture(const Picture& picture) {
    static constexpr char kHex[] = "0123456789abcdef";
    QByteArray out;
    out.reserve(picture.data.size() * 2 + picture.data.size() / 32 + 64);
    out += "{\\pict" + picture.words + '\\' + picture.type;
    for (qsizetype i = 0; i < picture.data.size(); ++i) {
        if (i % (kHexLine / 2) == 0) {
            out += "\r\n";
        }
        const auto byte = static_cast<unsigned char>(picture.data[i]);
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
    return out + '}';
}

Picture pngPicture(QByteArray png, int widthPixels, int heightPixels) {
    Picture picture;
    picture.type = "pngblip";
    const int width = std::clamp(widthPixels, 1, kMaxTwips / kTwipsPerPixel);
    const int height = std::clamp(heightPixels, 1, kMaxTwips / kTwipsPerPixel);
    picture.widthTwips = width * kTwipsPerPixel;
    picture.heightTwips = height * kTwipsPerPixel;
    picture.words = "\\picw" + QByteArray::number(widthPixels) + "\\pich" +
                    QByteArray::number(heightPixels) + "\\picwgoal" +
                    QByteArray::number(picture.widthTwips) + "\\pichgoal" +
                    QByteArray::number(picture.heightTwips);
    picture.data = std::move(png);
    return picture;
}

}  // namespace veltro::richtext
