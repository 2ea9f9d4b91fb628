// libFuzzer target: any bytes through the reader, as a stored block and forced to RTF. The
// plain text taken directly must equal the plain text of the document the reader builds,
// and the text read from UTF-8 must equal the text read from UTF-16.
#include "richtext/StoredText.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace veltro::richtext;

namespace {

void check(QByteArrayView stored) {
    const QString direct = plainTextFromStored(stored, LineBreak::CrLf);
    const RichDocument document = documentFromStored(stored);
    if (looksLikeRtf(stored) && direct != plainText(document, LineBreak::CrLf)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    check(bytes);
    check(QByteArray("{\\rtf1 ").append(bytes));
    const QString text = QString::fromUtf8(bytes);
    const QString plain = plainTextFromStored(text, LineBreak::Lf);
    // Well-formed UTF-8 read straight from the store must give the same text.
    if (text.toUtf8() == bytes &&
        plainTextFromStoredUtf8(std::string_view(reinterpret_cast<const char*>(data), size),
                                LineBreak::Lf) != plain) {
        std::abort();
    }
    return 0;
}
