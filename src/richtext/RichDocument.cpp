#include "richtext/RichDocument.h"

namespace veltro::richtext {
namespace {

constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kParagraphSeparator = 0x2029;
constexpr char16_t kSoftHyphen = 0x00AD;
constexpr char16_t kObjectReplacement = 0xFFFC;

void appendPlain(QStringView text, QStringView lineBreak, QString& out) {
    for (const QChar ch : text) {
        switch (ch.unicode()) {
            case kLineSeparator:
            case kParagraphSeparator:
                out += lineBreak;
                break;
            case kSoftHyphen:
            case kObjectReplacement:
                break;
            default:
                out += ch;
        }
    }
}

}  // namespace

QString plainText(const RichDocument& document, LineBreak lineBreak) {
    const QStringView separator = lineBreak == LineBreak::CrLf ? u"\r\n" : u"\n";
    QString out;
    bool first = true;
    for (const Paragraph& paragraph : document.paragraphs) {
        if (!first) {
            out += separator;
        }
        first = false;
        for (const TextRun& run : paragraph.runs) {
            appendPlain(run.text, separator, out);
        }
    }
    return out;
}

RichDocument documentFromPlainText(QStringView text) {
    RichDocument document;
    qsizetype start = 0;
    const auto addLine = [&](qsizetype end) {
        Paragraph paragraph;
        if (end > start) {
            paragraph.runs.push_back({text.sliced(start, end - start).toString(), {}});
        }
        document.paragraphs.push_back(std::move(paragraph));
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == u'\r' || ch == u'\n' || ch == QChar(kParagraphSeparator)) {
            addLine(i);
            if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < text.size() || document.paragraphs.empty()) {
        addLine(text.size());
    }
    return document;
}

RichDocument normalized(RichDocument document) {
    for (Paragraph& paragraph : document.paragraphs) {
        std::vector<TextRun> merged;
        for (TextRun& run : paragraph.runs) {
            if (run.text.isEmpty()) {
                continue;
            }
            if (!merged.empty() && merged.back().format == run.format) {
                merged.back().text += run.text;
            } else {
                merged.push_back(std::move(run));
            }
        }
        paragraph.runs = std::move(merged);
    }
    return document;
}

}  // namespace veltro::richtext
