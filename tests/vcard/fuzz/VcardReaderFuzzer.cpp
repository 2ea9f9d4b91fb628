// libFuzzer target: any bytes through the vCard reader and the mapping to cards. Every card
// that comes out is written again; the written card must be folded at 75 octets, read back
// as exactly one card, and map to the same fields (line breaks in the notes aside, which
// the writer gives as line feeds).
#include "vcard/VcardMapping.h"
#include "vcard/VcardReader.h"
#include "vcard/VcardWriter.h"

#include <cstdint>
#include <cstdlib>

using namespace veltro;

namespace {

QString normalised(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

void checkFolding(const QByteArray& written) {
    for (const QByteArray& line : written.split('\n')) {
        if (line.size() > 76) {  // 75 octets and the CR
            std::abort();
        }
    }
}

void checkRewrite(const store::Card& card) {
    const QByteArray written = vcard::cardToVcard(card, QStringLiteral("uid"));
    checkFolding(written);
    const vcard::ReadResult again = vcard::readVcards(written);
    if (again.cards.size() != 1 || again.skipped != 0) {
        std::abort();
    }
    const auto back = vcard::toCard(again.cards.front(), card.text(store::Field::Kategorien));
    if (!back) {
        std::abort();
    }
    for (std::size_t field = 0; field < store::kFieldCount; ++field) {
        const auto f = static_cast<store::Field>(field);
        if (normalised(back->text(f)) != normalised(card.text(f))) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const vcard::ReadResult read = vcard::readVcards(bytes);
    for (const vcard::Vcard& card : read.cards) {
        if (const auto mapped = vcard::toCard(card, QStringLiteral("Kunden"))) {
            checkRewrite(*mapped);
        }
    }
    return 0;
}
