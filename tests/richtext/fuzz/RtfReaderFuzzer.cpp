// libFuzzer target: any bytes through the reader, as a stored block and forced to RTF. The
// plain text taken directly must equal the plain text of the document the reader builds.
#include "richtext/StoredText.h"

#include <cstdint>
#include <cstdlib>

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
    (void)plainTextFromStored(QString::fromUtf8(bytes), LineBreak::Lf);
    return 0;
}
