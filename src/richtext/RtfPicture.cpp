#include "richtext/RtfPicture.h"

#include <algorithm>
#include <array>
#include <cstdint>

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

constexpr std::uint8_t kNoDigit = 0xff;

// The value of a hex digit; kNoDigit for the line breaks and blanks between digits.
constexpr std::array<std::uint8_t, 256> kHexValues = [] {
    std::array<std::uint8_t, 256> table{};
    table.fill(kNoDigit);
    for (std::uint8_t c = 0; c < 10; ++c) {
        table[std::size_t{'0'} + c] = c;
    }
    for (std::uint8_t c = 0; c < 6; ++c) {
        table[std::size_t{'a'} + c] = static_cast<std::uint8_t>(10 + c);
        table[std::size_t{'A'} + c] = static_cast<std::uint8_t>(10 + c);
    }
    return table;
}();

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

// Pictures run to megabytes: the bytes are written straight into the data.
void RtfPictureReader::hex(std::string_view text) {
    const qsizetype old = data_.size();
    const qsizetype most = old + static_cast<qsizetype>(text.size() / 2) + 1;
    if (data_.capacity() < most) {
        data_.reserve(std::max(most, 2 * data_.capacity()));
    }
    data_.resize(most);
    char* out = data_.data() + old;
    for (const char c : text) {
        const std::uint8_t value = kHexValues[static_cast<unsigned char>(c)];
        if (value == kNoDigit) {
            continue;
        }
        if (highNibble_ < 0) {
            highNibble_ = value;
        } else {
            *out++ = static_cast<char>(highNibble_ * 16 + value);
            highNibble_ = -1;
        }
    }
    data_.resize(out - data_.data());
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
