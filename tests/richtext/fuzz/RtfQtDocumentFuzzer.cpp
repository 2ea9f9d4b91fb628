// libFuzzer target: the full Qt path. Reading into a QTextDocument and writing it back keeps
// the plain text the core reader sees.
#include "richtext/RtfWriter.h"
#include "richtext/StoredText.h"
#include "richtext/TextDocumentRtf.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace veltro::richtext;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray stored =
        QByteArray("{\\rtf1 ").append(QByteArrayView(data, static_cast<qsizetype>(size)));
    QTextDocument document;
    readRtfInto(document, stored);
    const QString expected = plainTextFromStored(QByteArrayView(stored), LineBreak::Lf);
    if (plainText(richDocumentFrom(document), LineBreak::Lf) != expected) {
        std::abort();
    }
    const QByteArray written = writeRtf(document);
    if (plainTextFromStored(QByteArrayView(written), LineBreak::Lf) != expected) {
        std::abort();
    }
    return 0;
}
