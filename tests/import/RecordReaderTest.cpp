#include "import/RecordReader.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

using veltro::import::RecordReader;
using veltro::import::SplitOptions;

namespace {

struct SplitCase {
    const char* name;
    const char16_t* text;
    char16_t separator;
    bool quoted;
    const char16_t* records;  // fields joined by '|', records by '#'
};

std::vector<QStringList> readAll(const QString& text, const SplitOptions& options) {
    RecordReader reader(text, options);
    std::vector<QStringList> records;
    std::vector<QString> fields;
    while (reader.next(fields)) {
        records.emplace_back(fields.begin(), fields.end());
    }
    return records;
}

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

std::string caseName(const ::testing::TestParamInfo<SplitCase>& info) {
    std::string name = info.param.name;
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return name;
}

TEST_P(SplitTest, GivesTheFieldsOfEveryRecord) {
    const SplitCase& c = GetParam();
    const auto records =
        readAll(QString::fromUtf16(c.text), SplitOptions{QChar(c.separator), c.quoted, true});
    std::vector<QStringList> expected;
    for (const QString& record : QString::fromUtf16(c.records).split(u'#')) {
        expected.push_back(record.split(u'|'));
    }
    EXPECT_EQ(records, expected) << c.name;
}

const SplitCase kPlainCases[] = {
    {"neighbouring separators give a dash", u"Meier;;Bamberg\r\n", u';', false, u"Meier|-|Bamberg"},
    {"separator at the end and at the start", u"a;b;\r\n;c", u';', false, u"a|b|-#-|c"},
    {"a line without a separator is one field", u"nur ein Feld\r\n", u';', false, u"nur ein Feld"},
    {"quotes mean nothing when not enclosed", u"\"Müller; Co\";x\r\n", u';', false,
     u"\"Müller| Co\"|x"},
    {"tab separator", u"Anna\t\tFürth\r\n", u'\t', false, u"Anna|-|Fürth"},
    {"tab file read with ';' is one field a line", u"Anna\tFürth\r\nBen\tHof\r\n", u';', false,
     u"Anna\tFürth#Ben\tHof"},
    {"lone CR ends a line", u"a;b\rc;d\r", u';', false, u"a|b#c|d"},
    {"lone LF stays in the field when the file has CRs", u"a\nb;c\r\nd;e", u';', false,
     u"a\nb|c#d|e"},
    {"a file without CR ends lines at LF", u"a;b\nc;d\n", u';', false, u"a|b#c|d"},
    {"empty lines hold no record", u"a\r\n\r\n\r\nb\r\n\r\n", u';', false, u"a#b"},
    {"a last line without line end is read", u"a;b\r\nc;d", u';', false, u"a|b#c|d"},
};
INSTANTIATE_TEST_SUITE_P(Plain, SplitTest, ::testing::ValuesIn(kPlainCases), caseName);

const SplitCase kQuotedCases[] = {
    {"enclosing quotes are removed", u"\"Anna\";\"Fürth\"\r\n", u';', true, u"Anna|Fürth"},
    {"a separator inside quotes does not split", u"\"Müller; Co\";x\r\n", u';', true,
     u"Müller; Co|x"},
    {"a doubled quote stands for one", u"\"Der \"\"Chef\"\"\";b\r\n", u';', true,
     u"Der \"Chef\"|b"},
    {"a quoted field runs over line breaks", u"\"Zeile 1\r\nZeile 2\";b\r\nc;d\r\n", u';', true,
     u"Zeile 1\r\nZeile 2|b#c|d"},
    {"two quotes and empty fields give a dash", u"\"\";;\"x\"\r\n", u';', true, u"-|-|x"},
    {"an unquoted field keeps every character", u"12209;\"Berlin\";030\r\n", u';', true,
     u"12209|Berlin|030"},
    {"other quote marks around a field are removed", u"'a';„b“;«c»\r\n", u';', true, u"a|b|c"},
    {"a lone quote mark field is empty", u"';x\r\n", u';', true, u"-|x"},
    {"blanks after the closing quote are dropped", u"\"a\" ;b\r\n", u';', true, u"a|b"},
    {"a quote inside a field reads the line plainly", u"\"a\"b;c\r\n", u';', true, u"\"a\"b|c"},
    {"undoubled quotes of a naive writer", u"\"Der \"Chef\"\";b\r\n", u';', true,
     u"Der \"Chef\"|b"},
    {"an unclosed quote reads its line plainly", u"\"offen;zu\r\nx;\"y\r\n", u';', true,
     u"\"offen|zu#x|\"y"},
    {"a quote as separator reads plainly", u"a\"b\r\n", u'"', true, u"a|b"},
    {"quoted fields in a LF-only file", u"\"a\nb\";c\nd;e\n", u';', true, u"a\nb|c#d|e"},
};
INSTANTIATE_TEST_SUITE_P(Quoted, SplitTest, ::testing::ValuesIn(kQuotedCases), caseName);

// Any fields, written the way our export writes them, read back field for field.
TEST(RecordReaderQuoted, ReadsBackWhatAQuotingWriterWrote) {
    const QString alphabet = QStringLiteral("a;,\"\r\n\t 'ä-");
    std::mt19937 random(11);
    for (int round = 0; round < 500; ++round) {
        std::vector<QStringList> written(1 + random() % 4);
        QString csv;
        for (auto& fields : written) {
            QStringList quoted;
            for (std::uint32_t f = 0; f < 1 + random() % 4; ++f) {
                QString field;
                for (std::uint32_t c = 0; c < random() % 7; ++c) {
                    field += alphabet[static_cast<qsizetype>(random() % alphabet.size())];
                }
                quoted << u'"' +
                              QString(field).replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
                              u'"';
                fields << (field.isEmpty() ? QStringLiteral("-") : field);
            }
            csv += quoted.join(u';') + QStringLiteral("\r\n");
        }
        ASSERT_EQ(readAll(csv, SplitOptions{u';', true, true}), written) << csv.toStdString();
    }
}

TEST(RecordReaderSkip, StepsOverTheSameRecordsThatNextReads) {
    const QString text = QStringLiteral("\"a\r\nb\";c\r\n\r\nd;\"e;f\"\r\n\"offen\r\ng\r\n");
    for (const bool quoted : {false, true}) {
        const SplitOptions options{u';', quoted, true};
        RecordReader reader(text, options);
        qsizetype skipped = 0;
        while (reader.skip()) {
            ++skipped;
        }
        EXPECT_EQ(skipped, static_cast<qsizetype>(readAll(text, options).size())) << quoted;
    }
}

}  // namespace
