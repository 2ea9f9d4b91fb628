#include "richtext/RtfField.h"

#include <vector>

namespace veltro::richtext {
namespace {

struct Argument {
    QString text;
    bool isSwitch = false;
};

// Field arguments are separated by blanks; quoted ones may hold blanks, and a backslash inside
// quotes takes the next character literally. An unquoted backslash starts a switch.
std::vector<Argument> fieldArguments(QStringView instruction) {
    std::vector<Argument> arguments;
    qsizetype i = 0;
    const qsizetype n = instruction.size();
    while (i < n) {
        if (instruction[i].isSpace()) {
            ++i;
            continue;
        }
        Argument argument;
        if (instruction[i] == u'"') {
            for (++i; i < n && instruction[i] != u'"'; ++i) {
                if (instruction[i] == u'\\' && i + 1 < n) {
                    ++i;
                }
                argument.text += instruction[i];
            }
            ++i;  // the closing quote
        } else {
            argument.isSwitch = instruction[i] == u'\\';
            for (; i < n && !instruction[i].isSpace() && instruction[i] != u'"'; ++i) {
                argument.text += instruction[i];
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

// Switches of HYPERLINK that take an argument; \m, \n and \h take none.
bool takesArgument(const QString& fieldSwitch) {
    return fieldSwitch.compare(u"\\l", Qt::CaseInsensitive) == 0 ||
           fieldSwitch.compare(u"\\o", Qt::CaseInsensitive) == 0 ||
           fieldSwitch.compare(u"\\t", Qt::CaseInsensitive) == 0;
}

}  // namespace

std::optional<QString> hyperlinkTarget(QStringView instruction) {
    const std::vector<Argument> arguments = fieldArguments(instruction);
    if (arguments.empty() || arguments.front().isSwitch ||
        arguments.front().text.compare(u"HYPERLINK", Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    QString address;
    QString bookmark;
    for (std::size_t k = 1; k < arguments.size(); ++k) {
        const Argument& argument = arguments[k];
        if (argument.isSwitch) {
            if (takesArgument(argument.text) && k + 1 < arguments.size()) {
                if (argument.text.compare(u"\\l", Qt::CaseInsensitive) == 0) {
                    bookmark = arguments[k + 1].text;
                }
                ++k;
            }
        } else if (address.isEmpty()) {
            address = argument.text;
        }
    }
    if (!bookmark.isEmpty()) {
        address += u'#' + bookmark;
    }
    if (address.isEmpty()) {
        return std::nullopt;
    }
    return address;
}

QString hyperlinkInstruction(const QString& target) {
    QString quoted;
    for (const QChar c : target) {
        if (c == u'\\' || c == u'"') {
            quoted += u'\\';
        }
        quoted += c;
    }
    return QStringLiteral("HYPERLINK \"") + quoted + u'"';
}

}  // namespace veltro::richtext
