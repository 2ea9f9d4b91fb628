#include "store/SampleCards.h"

#include "store/CardStore.h"
#include "store/Schema.h"

#include <QStringEncoder>

namespace veltro::store {

namespace {

void appendRtfText(QString& out, QStringView text) {
    QStringEncoder cp1252("windows-1252", QStringConverter::Flag::Stateless);
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += u'\\';
            out += c;
        } else if (u >= 0x20 && u < 0x80) {
            out += c;
        } else {
            const QByteArray bytes = cp1252.encode(QStringView(&c, 1));
            if (bytes.size() == 1 && bytes[0] != '?') {
                out += QStringLiteral("\\'%1").arg(static_cast<unsigned char>(bytes[0]), 2, 16,
                                                   QLatin1Char('0'));
            } else {
                out += QStringLiteral("\\u%1?").arg(static_cast<short>(u));
            }
        }
    }
}

}  // namespace

QString simpleRtf(const QStringList& paragraphs, bool boldFirst) {
    QString out = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fcharset0 "
        "Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ");
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        const bool bold = boldFirst && i == 0;
        if (bold) {
            out += QStringLiteral("\\b ");
        }
        appendRtfText(out, paragraphs[i]);
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
