#include "store/SampleCards.h"

#include "richtext/RtfEscape.h"
#include "store/CardStore.h"
#include "store/Schema.h"

namespace veltro::store {

QString simpleRtf(const QStringList& paragraphs, bool boldFirst) {
    QString out = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fcharset0 "
        "Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ");
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        const bool bold = boldFirst && i == 0;
        if (bold) {
            out += QStringLiteral("\\b ");
        }
        // The program's own escaping: Windows-1252 as \'hh, everything else as \uN.
        out += QString::fromLatin1(richtext::rtfEscaped(paragraphs[i]));
        if (bold) {
            out += QStringLiteral("\\b0");
        }
        out += QStringLiteral("\\par\r\n");
    }
    out += QStringLiteral("}\r\n");
    return out;
}

void writeSampleStore(const std::filesystem::path& directory, const SampleSet& set) {
    createEmptyStore(directory);
    auto store = CardStore::open(directory / kStoreFileName);
    Transaction tx(store.db());
    for (const auto& name : set.categories) {
        store.addCategory(name);
    }
    CardInserter inserter(store.db());
    for (const auto& card : set.cards) {
        inserter.insert(card);
    }
    tx.commit();
}

}  // namespace veltro::store
