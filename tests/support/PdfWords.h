#pragma once

// A PDF read back with poppler's pdftotext: its text, and its words with their boxes.
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace veltro::testing {

struct PdfWord {
    int page = 0;                                     // from 1
    double left = 0, top = 0, right = 0, bottom = 0;  // mm from the paper's corner
    QString text;
};

// What pdftotext prints for the arguments (options, then the file).
inline QString pdftotext(const QStringList& arguments) {
    // A missing reader is a broken test machine, never a pass.
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    EXPECT_FALSE(program.isEmpty()) << "pdftotext is missing: install poppler-utils";
    QProcess process;
    process.start(program, arguments + QStringList{QStringLiteral("-")});
    EXPECT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Every word with its box in poppler's reading order, as it was drawn: entities decoded,
// ligatures taken apart.
inline std::vector<PdfWord> pdfWords(const QString& pdf) {
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)re"));
    const double mm = 25.4 / 72.0;
    std::vector<PdfWord> out;
    int page = 0;
    for (auto it = tag.globalMatch(pdftotext({QStringLiteral("-bbox"), pdf})); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(u"<page")) {
            ++page;
            continue;
        }
        using namespace Qt::Literals::StringLiterals;
        QString text = m.captured(5);
        text.replace(u"&apos;"_s, u"'"_s).replace(u"&quot;"_s, u"\""_s).replace(u"&lt;"_s, u"<"_s);
        text.replace(u"&gt;"_s, u">"_s).replace(u"&amp;"_s, u"&"_s);
        // Compatibility forms split "ﬀ" and turn "…" into three dots, which are put back.
        text = text.normalized(QString::NormalizationForm_KC).replace(u"..."_s, u"…"_s);
        out.push_back({page, m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm,
                       m.captured(3).toDouble() * mm, m.captured(4).toDouble() * mm, text});
    }
    return out;
}

}  // namespace veltro::testing
