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
    std::vector<QStringList> records;
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

QStringList fields(std::initializer_list<const char16_t*> texts) {
    QStringList list;
    for (const auto* text : texts) {
        list << QString::fromUtf16(text);
    }
    return list;
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
    EXPECT_EQ(records, c.records) << c.name;
}

const SplitCase kPlainCases[] = {
    {"neighbouring separators give a dash",
     u"Meier;;Bamberg\r\n",
     u';',
     false,
     {fields({u"Meier", u"-", u"Bamberg"})}},
    {"separator at the end and at the start",
     u"a;b;\r\n;c",
     u';',
     false,
     {fields({u"a", u"b", u"-"}), fields({u"-", u"c"})}},
    {"a line without a separator is one field",
     u"nur ein Feld\r\n",
     u';',
     false,
     {fields({u"nur ein Feld"})}},
    {"quotes mean nothing when not enclosed",
     u"\"Müller; Co\";x\r\n",
     u';',
     false,
     {fields({u"\"Müller", u" Co\"", u"x"})}},
    {"tab separator", u"Anna\t\tFürth\r\n", u'\t', false, {fields({u"Anna", u"-", u"Fürth"})}},
    {"tab file read with ';' is one field a line",
     u"Anna\tFürth\r\nBen\tHof\r\n",
     u';',
     false,
     {fields({u"Anna\tFürth"}), fields({u"Ben\tHof"})}},
    {"lone CR ends a line",
     u"a;b\rc;d\r",
     u';',
     false,
     {fields({u"a", u"b"}), fields({u"c", u"d"})}},
    {"lone LF stays in the field when the file has CRs",
     u"a\nb;c\r\nd;e",
     u';',
     false,
     {fields({u"a\nb", u"c"}), fields({u"d", u"e"})}},
    {"a file without CR ends lines at LF",
     u"a;b\nc;d\n",
     u';',
     false,
     {fields({u"a", u"b"}), fields({u"c", u"d"})}},
    {"empty lines hold no record",
     u"a\r\n\r\n\r\nb\r\n\r\n",
     u';',
     false,
     {fields({u"a"}), fields({u"b"})}},
    {"a last line without line end is read",
     u"a;b\r\nc;d",
     u';',
     false,
     {fields({u"a", u"b"}), fields({u"c", u"d"})}},
};
INSTANTIATE_TEST_SUITE_P(Plain, SplitTest, ::testing::ValuesIn(kPlainCases), caseName);

const SplitCase kQuotedCases[] = {
    {"enclosing quotes are removed",
     u"\"Anna\";\"Fürth\"\r\n",
     u';',
     true,
     {fields({u"Anna", u"Fürth"})}},
    {"a separator inside quotes does not split",
     u"\"Müller; Co\";x\r\n",
     u';',
     true,
     {fields({u"Müller; Co", u"x"})}},
    {"a doubled quote stands for one",
     u"\"Der \"\"Chef\"\"\";b\r\n",
     u';',
     true,
     {fields({u"Der \"Chef\"", u"b"})}},
    {"a quoted field runs over line breaks",
     u"\"Zeile 1\r\nZeile 2\";b\r\nc;d\r\n",
     u';',
     true,
     {fields({u"Zeile 1\r\nZeile 2", u"b"}), fields({u"c", u"d"})}},
    {"two quotes and empty fields give a dash",
     u"\"\";;\"x\"\r\n",
     u';',
     true,
     {fields({u"-", u"-", u"x"})}},
    {"an unquoted field keeps every character",
     u"12209;\"Berlin\";030\r\n",
     u';',
     true,
     {fields({u"12209", u"Berlin", u"030"})}},
    {"other quote marks around a field are removed",
     u"'a';„b“;«c»\r\n",
     u';',
     true,
     {fields({u"a", u"b", u"c"})}},
    {"a lone quote mark field is empty", u"';x\r\n", u';', true, {fields({u"-", u"x"})}},
    {"blanks after the closing quote are dropped",
     u"\"a\" ;b\r\n",
     u';',
     true,
     {fields({u"a", u"b"})}},
    {"a quote inside a field reads the line plainly",
     u"\"a\"b;c\r\n",
     u';',
     true,
     {fields({u"\"a\"b", u"c"})}},
    {"undoubled quotes of a naive writer",
     u"\"Der \"Chef\"\";b\r\n",
     u';',
     true,
     {fields({u"Der \"Chef\"", u"b"})}},
    {"an unclosed quote reads its line plainly",
     u"\"offen;zu\r\nx;\"y\r\n",
     u';',
     true,
     {fields({u"\"offen", u"zu"}), fields({u"x", u"\"y"})}},
    {"a quote as separator reads plainly", u"a\"b\r\n", u'"', true, {fields({u"a", u"b"})}},
    {"quoted fields in a LF-only file",
     u"\"a\nb\";c\nd;e\n",
     u';',
     true,
     {fields({u"a\nb", u"c"}), fields({u"d", u"e"})}},
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
