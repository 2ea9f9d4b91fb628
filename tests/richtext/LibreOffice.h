#pragma once

#include "richtext/RichDocument.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace veltro::richtext::test {

// LibreOffice (soffice, headless) as an independent reader and writer of RTF. Each instance
// has its own profile, so test runs can go in parallel; one call converts many files.
class LibreOffice {
public:
    LibreOffice();

    // Converts every input to `filter` ("rtf", "odt", "txt:Text (encoded):UTF8") into outDir,
    // which must differ from the inputs' folder.
    ::testing::AssertionResult convert(const QString& filter, const QStringList& inputs,
                                       const QString& outDir) const;
    // A path inside the instance's temporary folder.
    [[nodiscard]] QString path(const QString& name) const { return dir_.filePath(name); }
    [[nodiscard]] bool isValid() const { return dir_.isValid(); }

private:
    QTemporaryDir dir_;
};

// LibreOffice's text export as our plain text (LF): no byte order mark, no line feed after the
// last paragraph, no list labels, and blanks as blanks.
QString libreOfficeText(const QByteArray& exported);

bool endsWithTable(const RichDocument& document);

// The text as LibreOffice exports it: every paragraph on a line, those of table cells too, and
// an empty paragraph after a table at the end, which Writer cannot do without.
QString libreOfficeLines(RichDocument document);

// LibreOffice's import turns every blank of a run of blanks into U+2006 plus a blank.
QString withPlainBlanks(QString text);

// One line per paragraph of an ODT file, describing what a reader sees: list level and label
// style ("#2 a) "), table cell ("|t0 r1 c0| "), and the text with its formats, e.g.
// "x[2|sup]", "[Beispiel|u <https://x>]", "[img 600x450]".
QStringList describeOdt(const QString& odtPath);

}  // namespace veltro::richtext::test
