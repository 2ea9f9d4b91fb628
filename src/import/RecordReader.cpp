#include "import/RecordReader.h"

#include <algorithm>
#include <array>
#include <utility>

namespace veltro::import {

namespace {

constexpr QChar kQuote = u'"';

constexpr std::array<std::pair<char16_t, char16_t>, 10> kQuotePairs = {{
    {u'"', u'"'},
    {u'\'', u'\''},
    {u'\u201E', u'\u201C'},  // „ “
    {u'\u201E', u'\u201D'},  // „ ”
    {u'\u201C', u'\u201D'},  // “ ”
    {u'\u201A', u'\u2018'},  // ‚ ‘
    {u'\u201A', u'\u2019'},  // ‚ ’
    {u'\u2018', u'\u2019'},  // ‘ ’
    {u'\u00AB', u'\u00BB'},  // « »
    {u'\u00BB', u'\u00AB'},  // » «
}};

bool isQuoteMark(QChar c) {
    return std::any_of(kQuotePairs.begin(), kQuotePairs.end(), [c](const auto& pair) {
        return c == QChar(pair.first) || c == QChar(pair.second);
    });
}

bool encloses(QChar open, QChar close) {
    return std::any_of(kQuotePairs.begin(), kQuotePairs.end(), [=](const auto& pair) {
        return open == QChar(pair.first) && close == QChar(pair.second);
    });
}

QStringView fieldText(QStringView raw) {
    return raw.isEmpty() ? QStringView(kEmptyValue) : raw;
}

}  // namespace

QStringView stripEnclosingQuotes(QStringView field) {
    if (field.size() >= 2 && encloses(field.front(), field.back())) {
        return field.sliced(1, field.size() - 2);
    }
    if (field.size() == 1 && isQuoteMark(field.front())) {
        return {};
    }
    return field;
}

RecordReader::RecordReader(QStringView text, const SplitOptions& options)
    : RecordReader(text, options, text.contains(u'\r')) {}

RecordReader::RecordReader(QStringView text, const SplitOptions& options, bool crLineEnds)
    : text_(text),
      separator_(options.separator),
      // A quote cannot enclose fields that it also separates.
      quoted_(options.quoted && options.separator != kQuote),
      lineEndChar_(crLineEnds ? u'\r' : u'\n') {}

bool RecordReader::next(std::vector<QStringView>& fields) {
    fields.clear();
    unescaped_.clear();
    reachedEnd_ = false;
    return quoted_ ? readQuoted(&fields) : readPlain(&fields, false);
}

bool RecordReader::next(std::vector<QString>& fields) {
    fields.clear();
    if (!next(views_)) {
        return false;
    }
    for (const QStringView view : views_) {
        fields.push_back(view.toString());
    }
    return true;
}

QStringView RecordReader::unescaped(QStringView inner) {
    // Moving a QString keeps its characters where they are, so earlier views stay valid.
    unescaped_.push_back(inner.toString().replace(QStringLiteral("\"\""), QStringLiteral("\"")));
    return unescaped_.back();
}

bool RecordReader::skip() {
    reachedEnd_ = false;
    return quoted_ ? readQuoted(nullptr) : readPlain(nullptr, false);
}

bool RecordReader::isLineEnd(QChar c) const {
    return c == lineEndChar_;
}

qsizetype RecordReader::lineEnd(qsizetype from) const {
    const qsizetype end = text_.indexOf(lineEndChar_, from);
    reachedEnd_ = reachedEnd_ || end < 0;
    return end < 0 ? text_.size() : end;
}

qsizetype RecordReader::pastLineEnd(qsizetype at) const {
    // A CR at the very end may be the first half of a CR LF.
    reachedEnd_ = reachedEnd_ || at + 1 >= text_.size();
    if (at >= text_.size()) {
        return text_.size();
    }
    const bool crLf = text_[at] == u'\r' && at + 1 < text_.size() && text_[at + 1] == u'\n';
    return at + (crLf ? 2 : 1);
}

void RecordReader::skipEmptyLines() {
    while (pos_ < text_.size() && isLineEnd(text_[pos_])) {
        pos_ = pastLineEnd(pos_);
    }
    reachedEnd_ = reachedEnd_ || pos_ >= text_.size();
}

qsizetype RecordReader::fieldEnd(qsizetype from) const {
    qsizetype i = from;
    while (i < text_.size() && text_[i] != separator_ && !isLineEnd(text_[i])) {
        ++i;
    }
    reachedEnd_ = reachedEnd_ || i >= text_.size();
    return i;
}

qsizetype RecordReader::closingQuote(qsizetype open) const {
    qsizetype from = open + 1;
    for (;;) {
        const qsizetype quote = text_.indexOf(kQuote, from);
        // The quote after may be the second of a pair, or the closing one.
        reachedEnd_ = reachedEnd_ || quote < 0 || quote + 1 >= text_.size();
        if (quote < 0) {
            return -1;
        }
        if (quote + 1 < text_.size() && text_[quote + 1] == kQuote) {
            from = quote + 2;
            continue;
        }
        // Only a quote that ends the field closes it; any other is a stray one.
        qsizetype after = quote + 1;
        while (after < text_.size() && text_[after] == u' ' && separator_ != u' ') {
            ++after;
        }
        return fieldEnd(after) == after ? quote : -1;
    }
}

bool RecordReader::readPlain(std::vector<QStringView>* fields, bool stripQuotes) {
    skipEmptyLines();
    if (pos_ >= text_.size()) {
        return false;
    }
    const qsizetype end = lineEnd(pos_);
    const QStringView line = text_.sliced(pos_, end - pos_);
    pos_ = pastLineEnd(end);
    if (fields != nullptr) {
        for (const QStringView part : line.tokenize(separator_)) {
            fields->push_back(fieldText(stripQuotes ? stripEnclosingQuotes(part) : part));
        }
    }
    return true;
}

bool RecordReader::readQuoted(std::vector<QStringView>* fields) {
    skipEmptyLines();
    if (pos_ >= text_.size()) {
        return false;
    }
    const qsizetype start = pos_;
    qsizetype i = pos_;
    for (;;) {
        if (i < text_.size() && text_[i] == kQuote) {
            const qsizetype close = closingQuote(i);
            if (close < 0) {
                pos_ = start;
                if (fields != nullptr) {
                    fields->clear();
                }
                return readPlain(fields, true);
            }
            if (fields != nullptr) {
                const QStringView inner = text_.sliced(i + 1, close - i - 1);
                fields->push_back(inner.isEmpty()          ? QStringView(kEmptyValue)
                                  : inner.contains(kQuote) ? unescaped(inner)
                                                           : inner);
            }
            i = fieldEnd(close + 1);
        } else {
            const qsizetype end = fieldEnd(i);
            if (fields != nullptr) {
                fields->push_back(fieldText(stripEnclosingQuotes(text_.sliced(i, end - i))));
            }
            i = end;
        }
        if (i < text_.size() && text_[i] == separator_) {
            ++i;
            continue;
        }
        pos_ = pastLineEnd(i);
        return true;
    }
}

}  // namespace veltro::import
