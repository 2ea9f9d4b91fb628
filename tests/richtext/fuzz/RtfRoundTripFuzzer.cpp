// libFuzzer target: read -> write -> read keeps the plain text, and writing again gives the
// same bytes, which are 7-bit ASCII.
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace veltro::richtext;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray stored =
        QByteArray("{\\rtf1 ").append(QByteArrayView(data, static_cast<qsizetype>(size)));
    const RichDocument first = documentFromStored(QByteArrayView(stored));
    const QByteArray written = writeRtf(first);
    if (!std::all_of(written.begin(), written.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::abort();
    }
    const RichDocument second = documentFromStored(QByteArrayView(written));
    if (plainText(first, LineBreak::Lf) != plainText(second, LineBreak::Lf)) {
        std::abort();
    }
    if (writeRtf(second) != written) {
        std::abort();
    }
    return 0;
}
