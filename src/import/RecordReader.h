#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <vector>

namespace veltro::import {

// What an empty field becomes, so that it still shows.
inline const QString kEmptyValue = QStringLiteral("-");

struct SplitOptions {
    QChar separator = u';';
    bool quoted = false;       // fields are enclosed in double quotes
    bool useFirstLine = true;  // false: the first record is a header line and is skipped
};

// Splits a text into records and fields.
//
// A record ends at CR LF or at a lone CR, and a lone LF belongs to the field (spreadsheets
// write breaks inside a cell that way); a text without any CR ends its records at LF.
// Empty lines hold no record. Every separator splits, and an empty field becomes "-".
//
// Quoted: a field that starts with a double quote runs to the closing quote, separators
// and line breaks included, and "" inside stands for one quote. An unquoted field keeps
// its text, except that a pair of quote marks around it is removed. A record whose quote
// is not closed at the end of a field (a stray quote, or a writer that does not double
// quotes) does not swallow the rest of the file: it is read as a plain line whose fields
// lose the quote marks around them.
class RecordReader {
public:
    RecordReader(QStringView text, const SplitOptions& options);
    // For a piece of a larger text: whether records end at CR is the whole text's matter.
    RecordReader(QStringView text, const SplitOptions& options, bool crLineEnds);

    // The fields of the next record; false at the end of the text. The views stay valid
    // until the next call and as long as the text.
    bool next(std::vector<QStringView>& fields);
    bool next(std::vector<QString>& fields);
    // Steps over the next record; false at the end of the text.
    bool skip();
    // Whether reading the last record looked as far as the end of the text, so that in a
    // longer text the same record might have read differently.
    [[nodiscard]] bool reachedEnd() const { return reachedEnd_; }
    // Where the next record starts.
    [[nodiscard]] qsizetype position() const { return pos_; }

private:
    bool readPlain(std::vector<QStringView>* fields, bool stripQuotes);
    bool readQuoted(std::vector<QStringView>* fields);
    [[nodiscard]] QStringView unescaped(QStringView inner);
    void skipEmptyLines();
    [[nodiscard]] bool isLineEnd(QChar c) const;
    [[nodiscard]] qsizetype lineEnd(qsizetype from) const;
    [[nodiscard]] qsizetype pastLineEnd(qsizetype at) const;
    [[nodiscard]] qsizetype fieldEnd(qsizetype from) const;
    [[nodiscard]] qsizetype closingQuote(qsizetype open) const;

    QStringView text_;
    QChar separator_;
    bool quoted_;
    QChar lineEndChar_;
    qsizetype pos_ = 0;
    mutable bool reachedEnd_ = false;
    std::vector<QString> unescaped_;  // texts of the current record with "" made one quote
    std::vector<QStringView> views_;
};

// An unquoted field without the pair of quote marks around it ("x", 'x', „x“, «x»); a
// lone quote mark gives empty text; any other text stays as it is.
[[nodiscard]] QStringView stripEnclosingQuotes(QStringView field);

}  // namespace veltro::import
